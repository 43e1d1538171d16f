#include "EONotQualifier.h"

#include "EOGenericRecord.h"

namespace eo
{

EONotQualifier::EONotQualifier(EOQualifierPtr qualifier) : m_qualifier(std::move(qualifier)) {}

bool EONotQualifier::evaluateWithObject(const EOGenericRecord &record) const
{
    return !m_qualifier->evaluateWithObject(record);
}

QString EONotQualifier::description() const
{
    return QStringLiteral("(not %1)").arg(m_qualifier->description());
}

void EONotQualifier::appendSql(EOSQLExpression &expression, QString &out) const
{
    QString inner;
    m_qualifier->appendSql(expression, inner);
    out += QStringLiteral("NOT (") + inner + QLatin1Char(')');
}

} // namespace eo
