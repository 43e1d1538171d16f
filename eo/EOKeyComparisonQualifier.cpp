#include "EOKeyComparisonQualifier.h"

#include "EOGenericRecord.h"
#include "EOSQLExpression.h"

namespace eo
{

EOKeyComparisonQualifier::EOKeyComparisonQualifier(QString leftKey, EOKeyValueQualifier::Operator op,
                                                   QString rightKey)
    : m_leftKey(std::move(leftKey)), m_operator(op), m_rightKey(std::move(rightKey))
{
}

bool EOKeyComparisonQualifier::evaluateWithObject(const EOGenericRecord &record) const
{
    return EOKeyValueQualifier::compareWith(m_operator, record.valueForKeyPath(m_leftKey),
                                            record.valueForKeyPath(m_rightKey));
}

QString EOKeyComparisonQualifier::description() const
{
    return QStringLiteral("(%1 %2 %3)")
        .arg(m_leftKey, EOKeyValueQualifier::operatorText(m_operator), m_rightKey);
}

void EOKeyComparisonQualifier::appendSql(EOSQLExpression &expression, QString &out) const
{
    using Op = EOKeyValueQualifier::Operator;
    const QString left = expression.sqlForKeyPath(m_leftKey);
    const QString right = expression.sqlForKeyPath(m_rightKey);
    switch (m_operator) {
    case Op::Like:
        out += left + QStringLiteral(" LIKE ") + right;
        return;
    case Op::CaseInsensitiveLike:
        out += QStringLiteral("UPPER(%1) LIKE UPPER(%2)").arg(left, right);
        return;
    case Op::NotEqual:
        out += left + QStringLiteral(" <> ") + right;
        return;
    default:
        out += left + QLatin1Char(' ') + EOKeyValueQualifier::operatorText(m_operator) + QLatin1Char(' ') +
               right;
        return;
    }
}

} // namespace eo
