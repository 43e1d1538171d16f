#include "EOOrQualifier.h"

#include "EOGenericRecord.h"

namespace eo
{

EOOrQualifier::EOOrQualifier(QList<EOQualifierPtr> qualifiers) : m_qualifiers(std::move(qualifiers)) {}

bool EOOrQualifier::evaluateWithObject(const EOGenericRecord &record) const
{
    for (const EOQualifierPtr &qualifier : m_qualifiers) {
        if (qualifier && qualifier->evaluateWithObject(record))
            return true;
    }
    return false;
}

QString EOOrQualifier::description() const
{
    QStringList parts;
    for (const EOQualifierPtr &qualifier : m_qualifiers) {
        if (qualifier)
            parts.append(qualifier->description());
    }
    return QLatin1Char('(') + parts.join(QLatin1String(" or ")) + QLatin1Char(')');
}

void EOOrQualifier::appendSql(EOSQLExpression &expression, QString &out) const
{
    QStringList parts;
    for (const EOQualifierPtr &qualifier : m_qualifiers) {
        if (!qualifier)
            continue;
        QString part;
        qualifier->appendSql(expression, part);
        parts.append(QLatin1Char('(') + part + QLatin1Char(')'));
    }
    out += parts.isEmpty() ? QStringLiteral("1 = 0") : parts.join(QLatin1String(" OR "));
}

} // namespace eo
