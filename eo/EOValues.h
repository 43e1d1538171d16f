#pragma once

#include <QString>
#include <QVariant>

namespace eo
{

// Comparisons and conversions of attribute values shared by the in-memory sort, qualifier evaluation and
// the SQL generation. Nulls (none and the null marker) sort before every value.
namespace EOValues
{

bool isNumeric(const QVariant &value);
// Reads a number from a number or a text holding a number; false when the value holds none.
bool toNumber(const QVariant &value, double *number);
// Reads a whole number that fits in 64 bits; false for anything else (fractions, huge values, not a number).
bool toInteger(const QVariant &value, qint64 *integer);
// Numbers compare as numbers; texts by their characters, or in French order (EOCollation) when case does not
// matter.
int compare(const QVariant &left, const QVariant &right, Qt::CaseSensitivity sensitivity);
// The first look of a sort by several keys without regard to case: numbers as numbers, texts by their letters
// alone, accents and case aside (EOCollation::compareLetters); compare() then breaks the ties.
int compareLetters(const QVariant &left, const QVariant &right);
bool equal(const QVariant &left, const QVariant &right);
// The value as the user reads it: "" for nulls, numbers without trailing zeros, texts as they are.
QString displayText(const QVariant &value);
// The value as a qualifier's text form writes it: 'text', 12, nil.
QString literalText(const QVariant &value);
// Matches a like pattern whose only wildcards are * (any run) and ? (one character).
bool likeMatch(const QString &text, const QString &pattern, Qt::CaseSensitivity sensitivity);
// Turns a like pattern into an SQL LIKE pattern escaped with a backslash: % and _ match themselves.
QString likePatternToSql(const QString &pattern);

} // namespace EOValues
} // namespace eo
