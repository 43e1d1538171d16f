#include "RoomContainsQualifier.h"

#include "EOGenericRecord.h"
#include "EONull.h"
#include "EOSQLDialect.h"
#include "EOSQLExpression.h"
#include "EOValues.h"

namespace rooms
{

RoomContainsQualifier::RoomContainsQualifier(QString keyPath, QString texte)
    : m_keyPath(std::move(keyPath)), m_texte(std::move(texte))
{
}

bool RoomContainsQualifier::evaluateWithObject(const eo::EOGenericRecord &record) const
{
    const QVariant value = record.valueForKeyPath(m_keyPath);
    if (eo::isNullOrNone(value))
        return false;
    return eo::EOValues::displayText(value).contains(m_texte, Qt::CaseSensitive);
}

QString RoomContainsQualifier::description() const
{
    return m_keyPath + QStringLiteral(" like ") +
           eo::EOValues::literalText(QLatin1Char('*') + m_texte + QLatin1Char('*'));
}

void RoomContainsQualifier::appendSql(eo::EOSQLExpression &expression, QString &out) const
{
    const QString column = expression.sqlForKeyPath(m_keyPath);
    const QString pattern = QLatin1Char('%') + eo::EOValues::escapeForSqlLike(m_texte) + QLatin1Char('%');
    out += column + QStringLiteral(" LIKE ") + expression.bindValue(pattern) +
           expression.dialect().likeEscapeClause();
}

} // namespace rooms
