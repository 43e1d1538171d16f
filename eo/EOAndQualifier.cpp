#include "EOAndQualifier.h"

#include "EOGenericRecord.h"

namespace eo
{

EOAndQualifier::EOAndQualifier(QList<EOQualifierPtr> qualifiers) : m_qualifiers(std::move(qualifiers)) {}

bool EOAndQualifier::evaluateWithObject(const EOGenericRecord &record) const
{
    for (const EOQualifierPtr &qualifier : m_qualifiers) {
        if (qualifier && !qualifier->evaluateWithObject(record))
            return false;
    }
    return true;
}

QString EOAndQualifier::description() const
{
    QStringList parts;
    for (const EOQualifierPtr &qualifier : m_qualifiers) {
        if (qualifier)
            parts.append(qualifier->description());
    }
    return QLatin1Char('(') + parts.join(QLatin1String(" and ")) + QLatin1Char(')');
}

void EOAndQualifier::appendSql(EOSQLExpression &expression, QString &out) const
{
    QStringList parts;
    for (const EOQualifierPtr &qualifier : m_qualifiers) {
        if (!qualifier)
            continue;
        QString part;
        qualifier->appendSql(expression, part);
        parts.append(QLatin1Char('(') + part + QLatin1Char(')'));
    }
    out += parts.isEmpty() ? QStringLiteral("1 = 1") : parts.join(QLatin1String(" AND "));
}

} // namespace eo
