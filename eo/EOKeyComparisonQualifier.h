#pragma once

#include "EOKeyValueQualifier.h"

namespace eo
{

// Two key paths compared with each other: "salNumero = burOrdre".
class EOKeyComparisonQualifier : public EOQualifier
{
public:
    EOKeyComparisonQualifier(QString leftKey, EOKeyValueQualifier::Operator op, QString rightKey);

    bool evaluateWithObject(const EOGenericRecord &record) const override;
    QString description() const override;
    void appendSql(EOSQLExpression &expression, QString &out) const override;

private:
    QString m_leftKey;
    EOKeyValueQualifier::Operator m_operator;
    QString m_rightKey;
};

} // namespace eo
