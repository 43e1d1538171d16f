#include "EOCompoundQualifier.h"

#include "EOGenericRecord.h"

namespace eo
{

EOCompoundQualifier::EOCompoundQualifier(QList<EOQualifierPtr> qualifiers, Junction junction)
    : m_qualifiers(std::move(qualifiers)), m_junction(junction)
{
}

bool EOCompoundQualifier::evaluateWithObject(const EOGenericRecord &record) const
{
    // A conjunction stops at the first condition that fails, a disjunction at the first that holds.
    const bool stopOn = m_junction == Junction::Or;
    for (const EOQualifierPtr &qualifier : m_qualifiers) {
        if (qualifier && qualifier->evaluateWithObject(record) == stopOn)
            return stopOn;
    }
    return !stopOn;
}

QString EOCompoundQualifier::description() const
{
    QStringList parts;
    for (const EOQualifierPtr &qualifier : m_qualifiers) {
        if (qualifier)
            parts.append(qualifier->description());
    }
    const QLatin1String word = m_junction == Junction::And ? QLatin1String(" and ") : QLatin1String(" or ");
    return QLatin1Char('(') + parts.join(word) + QLatin1Char(')');
}

void EOCompoundQualifier::appendSql(EOSQLExpression &expression, QString &out) const
{
    QStringList parts;
    for (const EOQualifierPtr &qualifier : m_qualifiers) {
        if (!qualifier)
            continue;
        QString part;
        qualifier->appendSql(expression, part);
        parts.append(QLatin1Char('(') + part + QLatin1Char(')'));
    }
    if (parts.isEmpty())
        out += m_junction == Junction::And ? QStringLiteral("1 = 1") : QStringLiteral("1 = 0");
    else
        out += parts.join(m_junction == Junction::And ? QLatin1String(" AND ") : QLatin1String(" OR "));
}

} // namespace eo
