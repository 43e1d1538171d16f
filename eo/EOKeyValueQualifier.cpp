#include "EOKeyValueQualifier.h"

#include "EOGenericRecord.h"
#include "EONull.h"
#include "EOSQLDialect.h"
#include "EOSQLExpression.h"
#include "EOValues.h"

namespace eo
{

EOKeyValueQualifier::EOKeyValueQualifier(QString key, Operator op, QVariant value)
    : m_key(std::move(key)), m_operator(op), m_value(std::move(value))
{
}

QString EOKeyValueQualifier::operatorText(Operator op)
{
    switch (op) {
    case Operator::Equal:
        return QStringLiteral("=");
    case Operator::NotEqual:
        return QStringLiteral("!=");
    case Operator::Less:
        return QStringLiteral("<");
    case Operator::Greater:
        return QStringLiteral(">");
    case Operator::LessOrEqual:
        return QStringLiteral("<=");
    case Operator::GreaterOrEqual:
        return QStringLiteral(">=");
    case Operator::Like:
        return QStringLiteral("like");
    case Operator::CaseInsensitiveLike:
        return QStringLiteral("caseInsensitiveLike");
    }
    return {};
}

bool EOKeyValueQualifier::compareWith(Operator op, const QVariant &left, const QVariant &right)
{
    const bool leftNull = isNullOrNone(left);
    const bool rightNull = isNullOrNone(right);
    switch (op) {
    case Operator::Equal:
        return leftNull || rightNull ? leftNull == rightNull : EOValues::equal(left, right);
    case Operator::NotEqual:
        return leftNull || rightNull ? leftNull != rightNull : !EOValues::equal(left, right);
    case Operator::Like:
    case Operator::CaseInsensitiveLike:
        if (leftNull || rightNull)
            return false;
        return EOValues::likeMatch(EOValues::displayText(left), EOValues::displayText(right),
                                   op == Operator::Like ? Qt::CaseSensitive : Qt::CaseInsensitive);
    default:
        break;
    }
    // Ordering comparisons never hold for a null, as in the database.
    if (leftNull || rightNull)
        return false;
    const int c = EOValues::compare(left, right, Qt::CaseSensitive);
    switch (op) {
    case Operator::Less:
        return c < 0;
    case Operator::Greater:
        return c > 0;
    case Operator::LessOrEqual:
        return c <= 0;
    case Operator::GreaterOrEqual:
        return c >= 0;
    default:
        return false;
    }
}

bool EOKeyValueQualifier::evaluateWithObject(const EOGenericRecord &record) const
{
    return compareWith(m_operator, record.valueForKeyPath(m_key), m_value);
}

QString EOKeyValueQualifier::description() const
{
    return QStringLiteral("(%1 %2 %3)").arg(m_key, operatorText(m_operator), EOValues::literalText(m_value));
}

void EOKeyValueQualifier::appendSql(EOSQLExpression &expression, QString &out) const
{
    const EOAttribute *attribute = nullptr;
    const QString column = expression.sqlForKeyPath(m_key, &attribute);
    if (isNullOrNone(m_value)) {
        switch (m_operator) {
        case Operator::Equal:
            out += column + QStringLiteral(" IS NULL");
            return;
        case Operator::NotEqual:
            out += column + QStringLiteral(" IS NOT NULL");
            return;
        default:
            // A comparison with null holds for no row.
            out += QStringLiteral("1 = 0");
            return;
        }
    }
    switch (m_operator) {
    case Operator::Like:
        out += column + QStringLiteral(" LIKE ") +
               expression.bindValue(EOValues::likePatternToSql(EOValues::displayText(m_value))) +
               expression.dialect().likeEscapeClause();
        return;
    case Operator::CaseInsensitiveLike:
        out += expression.dialect().upper(column) + QStringLiteral(" LIKE ") +
               expression.dialect().upper(
                   expression.bindValue(EOValues::likePatternToSql(EOValues::displayText(m_value)))) +
               expression.dialect().likeEscapeClause();
        return;
    case Operator::NotEqual:
        out += column + QStringLiteral(" <> ") +
               expression.bindValue(EOSQLExpression::coerce(m_value, attribute));
        return;
    default:
        out += column + QLatin1Char(' ') + operatorText(m_operator) + QLatin1Char(' ') +
               expression.bindValue(EOSQLExpression::coerce(m_value, attribute));
        return;
    }
}

} // namespace eo
