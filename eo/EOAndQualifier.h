#pragma once

#include "EOCompoundQualifier.h"

namespace eo
{

class EOAndQualifier : public EOCompoundQualifier
{
public:
    explicit EOAndQualifier(QList<EOQualifierPtr> qualifiers)
        : EOCompoundQualifier(std::move(qualifiers), Junction::And)
    {
    }
};

} // namespace eo
