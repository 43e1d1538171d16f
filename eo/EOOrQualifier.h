#pragma once

#include "EOCompoundQualifier.h"

namespace eo
{

class EOOrQualifier : public EOCompoundQualifier
{
public:
    explicit EOOrQualifier(QList<EOQualifierPtr> qualifiers)
        : EOCompoundQualifier(std::move(qualifiers), Junction::Or)
    {
    }
};

} // namespace eo
