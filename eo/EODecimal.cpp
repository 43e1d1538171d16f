#include "EODecimal.h"

#include <algorithm>

namespace eo
{

namespace
{

// A decimal as a sign and its digits without the point, aligned on a common number of fraction digits.
struct Chiffres {
    bool negative = false;
    QString integer;
    QString fraction;
};

Chiffres split(const QString &text)
{
    Chiffres parts;
    QString rest = text;
    if (rest.startsWith(u'-')) {
        parts.negative = true;
        rest.remove(0, 1);
    }
    const qsizetype point = rest.indexOf(u'.');
    parts.integer = point < 0 ? rest : rest.left(point);
    parts.fraction = point < 0 ? QString() : rest.mid(point + 1);
    return parts;
}

// Both magnitudes as digit strings of one length, the point dropped at the same place.
std::pair<QString, QString> aligned(const Chiffres &a, const Chiffres &b, qsizetype *scale)
{
    *scale = std::max(a.fraction.size(), b.fraction.size());
    QString left = a.integer + a.fraction + QString(*scale - a.fraction.size(), u'0');
    QString right = b.integer + b.fraction + QString(*scale - b.fraction.size(), u'0');
    const qsizetype width = std::max(left.size(), right.size());
    left.prepend(QString(width - left.size(), u'0'));
    right.prepend(QString(width - right.size(), u'0'));
    return {left, right};
}

QString addDigits(const QString &a, const QString &b)
{
    QString sum(a.size() + 1, u'0');
    int carry = 0;
    for (qsizetype i = a.size() - 1; i >= 0; --i) {
        const int digit = a.at(i).digitValue() + b.at(i).digitValue() + carry;
        sum[i + 1] = QChar(u'0' + digit % 10);
        carry = digit / 10;
    }
    sum[0] = QChar(u'0' + carry);
    return sum;
}

// a - b for a >= b, both of one length.
QString subtractDigits(const QString &a, const QString &b)
{
    QString difference(a.size(), u'0');
    int borrow = 0;
    for (qsizetype i = a.size() - 1; i >= 0; --i) {
        int digit = a.at(i).digitValue() - b.at(i).digitValue() - borrow;
        borrow = digit < 0 ? 1 : 0;
        difference[i] = QChar(u'0' + digit + 10 * borrow);
    }
    return difference;
}

QString textOf(bool negative, const QString &digits, qsizetype scale)
{
    QString integer = digits.left(digits.size() - scale);
    QString fraction = digits.right(scale);
    while (integer.size() > 1 && integer.startsWith(u'0'))
        integer.remove(0, 1);
    if (integer.isEmpty())
        integer = QStringLiteral("0");
    while (fraction.endsWith(u'0'))
        fraction.chop(1);
    const bool zero = integer == u"0" && fraction.isEmpty();
    QString text = (negative && !zero ? QStringLiteral("-") : QString()) + integer;
    if (!fraction.isEmpty())
        text += u'.' + fraction;
    return text;
}

} // namespace

EODecimal EODecimal::fromString(const QString &text)
{
    const QString trimmed = text.trimmed();
    qsizetype i = 0;
    if (i < trimmed.size() && (trimmed.at(i) == u'-' || trimmed.at(i) == u'+'))
        ++i;
    bool digits = false;
    bool point = false;
    for (; i < trimmed.size(); ++i) {
        const QChar c = trimmed.at(i);
        if (c >= u'0' && c <= u'9') {
            digits = true;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            return {};
        }
    }
    EODecimal decimal;
    if (digits)
        decimal.m_text = trimmed.startsWith(u'+') ? trimmed.mid(1) : trimmed;
    return decimal;
}

EODecimal EODecimal::operator+(const EODecimal &other) const
{
    if (!isValid() || !other.isValid())
        return {};
    const Chiffres a = split(m_text);
    const Chiffres b = split(other.m_text);
    qsizetype scale = 0;
    const auto [left, right] = aligned(a, b, &scale);
    if (a.negative == b.negative)
        return fromString(textOf(a.negative, addDigits(left, right), scale));
    // Opposite signs: the larger magnitude gives the sign.
    if (left >= right)
        return fromString(textOf(a.negative, subtractDigits(left, right), scale));
    return fromString(textOf(b.negative, subtractDigits(right, left), scale));
}

int EODecimal::compare(const EODecimal &other) const
{
    const EODecimal zero = fromString(QStringLiteral("0"));
    const Chiffres a = split(isValid() ? m_text : zero.m_text);
    const Chiffres b = split(other.isValid() ? other.m_text : zero.m_text);
    qsizetype scale = 0;
    const auto [left, right] = aligned(a, b, &scale);
    const auto isZero = [](const QString &digits) {
        return std::all_of(digits.cbegin(), digits.cend(), [](QChar c) { return c == u'0'; });
    };
    const bool leftZero = isZero(left);
    const bool rightZero = isZero(right);
    const bool leftNegative = a.negative && !leftZero;
    const bool rightNegative = b.negative && !rightZero;
    if (leftNegative != rightNegative)
        return leftNegative ? -1 : 1;
    const int magnitude = left < right ? -1 : (left > right ? 1 : 0);
    return leftNegative ? -magnitude : magnitude;
}

} // namespace eo
