#pragma once

#include "EOQualifier.h"

namespace eo
{

class EONotQualifier : public EOQualifier
{
public:
    explicit EONotQualifier(EOQualifierPtr qualifier);

    bool evaluateWithObject(const EOGenericRecord &record) const override;
    QString description() const override;
    void appendSql(EOSQLExpression &expression, QString &out) const override;

private:
    EOQualifierPtr m_qualifier;
};

} // namespace eo
