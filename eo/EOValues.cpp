#include "EOValues.h"

#include "EOCollation.h"
#include "EODecimal.h"
#include "EONull.h"

#include <cmath>

namespace eo::EOValues
{

bool isNumeric(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<EODecimal>())
        return true;
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

bool toNumber(const QVariant &value, double *number)
{
    if (isNullOrNone(value))
        return false;
    if (value.metaType() == QMetaType::fromType<EODecimal>()) {
        *number = value.value<EODecimal>().toDouble();
        return value.value<EODecimal>().isValid();
    }
    if (isNumeric(value)) {
        *number = value.toDouble();
        return true;
    }
    if (value.metaType().id() == QMetaType::QString) {
        bool ok = false;
        const double parsed = value.toString().trimmed().toDouble(&ok);
        if (ok)
            *number = parsed;
        return ok;
    }
    return false;
}

bool toInteger(const QVariant &value, qint64 *integer)
{
    double number = 0;
    // 2^63 is the first double outside the range; converting beyond it is undefined.
    if (!toNumber(value, &number) || !(number >= -9223372036854775808.0 && number < 9223372036854775808.0) ||
        number != std::trunc(number))
        return false;
    *integer = qint64(number);
    return true;
}

int compare(const QVariant &left, const QVariant &right, Qt::CaseSensitivity sensitivity)
{
    const bool leftNull = isNullOrNone(left);
    const bool rightNull = isNullOrNone(right);
    if (leftNull || rightNull)
        return leftNull == rightNull ? 0 : (leftNull ? -1 : 1);
    if (isNumeric(left) || isNumeric(right)) {
        double a = 0;
        double b = 0;
        if (toNumber(left, &a) && toNumber(right, &b))
            return a < b ? -1 : (a > b ? 1 : 0);
    }
    const QString leftText = left.toString();
    const QString rightText = right.toString();
    // Without regard to case is French order, as the databases sort.
    if (sensitivity == Qt::CaseInsensitive)
        return EOCollation::compare(leftText, rightText);
    const int result = QString::compare(leftText, rightText, Qt::CaseSensitive);
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

int compareLetters(const QVariant &left, const QVariant &right)
{
    const bool leftNull = isNullOrNone(left);
    const bool rightNull = isNullOrNone(right);
    if (leftNull || rightNull)
        return leftNull == rightNull ? 0 : (leftNull ? -1 : 1);
    if (isNumeric(left) || isNumeric(right)) {
        double a = 0;
        double b = 0;
        if (toNumber(left, &a) && toNumber(right, &b))
            return a < b ? -1 : (a > b ? 1 : 0);
    }
    return EOCollation::compareLetters(left.toString(), right.toString());
}

bool equal(const QVariant &left, const QVariant &right)
{
    return compare(left, right, Qt::CaseSensitive) == 0;
}

QString displayText(const QVariant &value)
{
    if (isNullOrNone(value))
        return {};
    if (value.metaType() == QMetaType::fromType<EODecimal>())
        return value.value<EODecimal>().toString();
    if (value.metaType().id() == QMetaType::Double || value.metaType().id() == QMetaType::Float) {
        const double d = value.toDouble();
        if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e15)
            return QString::number(qint64(d));
        return QString::number(d, 'g', 15);
    }
    return value.toString();
}

QString literalText(const QVariant &value)
{
    if (isNullOrNone(value))
        return QStringLiteral("nil");
    if (isNumeric(value))
        return displayText(value);
    QString text = value.toString();
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    text.replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

namespace
{

bool likeMatchFrom(const QChar *text, qsizetype textLength, const QChar *pattern, qsizetype patternLength,
                   Qt::CaseSensitivity sensitivity)
{
    // Iterative wildcard matching with backtracking to the last star.
    qsizetype t = 0;
    qsizetype p = 0;
    qsizetype starP = -1;
    qsizetype starT = 0;
    auto same = [sensitivity](QChar a, QChar b) {
        return sensitivity == Qt::CaseSensitive ? a == b : a.toCaseFolded() == b.toCaseFolded();
    };
    while (t < textLength) {
        if (p < patternLength && (pattern[p] == u'?' || (pattern[p] != u'*' && same(pattern[p], text[t])))) {
            ++t;
            ++p;
        } else if (p < patternLength && pattern[p] == u'*') {
            starP = p++;
            starT = t;
        } else if (starP >= 0) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < patternLength && pattern[p] == u'*')
        ++p;
    return p == patternLength;
}

} // namespace

bool likeMatch(const QString &text, const QString &pattern, Qt::CaseSensitivity sensitivity)
{
    return likeMatchFrom(text.constData(), text.size(), pattern.constData(), pattern.size(), sensitivity);
}

QString likePatternToSql(const QString &pattern)
{
    QString sql;
    sql.reserve(pattern.size() + 4);
    for (const QChar c : pattern) {
        if (c == u'*')
            sql.append(QLatin1Char('%'));
        else if (c == u'?')
            sql.append(QLatin1Char('_'));
        else if (c == u'%' || c == u'_' || c == u'\\')
            sql.append(QLatin1Char('\\')).append(c);
        else
            sql.append(c);
    }
    return sql;
}

} // namespace eo::EOValues
