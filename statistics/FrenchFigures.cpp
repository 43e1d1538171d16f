#include "FrenchFigures.h"

#include <cstdlib>

namespace statistics
{

namespace
{

qint64 powerOfTen(int exponent)
{
    qint64 power = 1;
    for (int i = 0; i < exponent; ++i)
        power *= 10;
    return power;
}

QString grouped(qint64 magnitude)
{
    const QString digits = QString::number(magnitude);
    QString text;
    text.reserve(digits.size() + digits.size() / 3);
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += FrenchFigures::thousandsSeparator;
        text += digits.at(i);
    }
    return text;
}

// The sign, the whole part and the fraction (places digits) of a value already rounded to places.
struct Parts {
    bool negative;
    qint64 whole;
    QString fraction;
};

Parts split(qint64 value, int scale, int places)
{
    const qint64 rounded = FrenchFigures::rounded(value, scale, places);
    const qint64 unit = powerOfTen(places);
    const qint64 magnitude = rounded < 0 ? -rounded : rounded;
    QString fraction;
    if (places > 0)
        fraction = QStringLiteral("%1").arg(magnitude % unit, places, 10, QLatin1Char('0'));
    return {rounded < 0, magnitude / unit, fraction};
}

} // namespace

qint64 FrenchFigures::rounded(qint64 value, int from, int to)
{
    if (to >= from)
        return value * powerOfTen(to - from);
    const qint64 divisor = powerOfTen(from - to);
    const qint64 quotient = value / divisor;
    const qint64 remainder = value % divisor;
    // Half away from zero, as a reader rounds the figure he sees.
    if (std::llabs(remainder) * 2 >= divisor)
        return quotient + (value < 0 ? -1 : 1);
    return quotient;
}

QString FrenchFigures::decimal(qint64 value, int scale, int places)
{
    const Parts parts = split(value, scale, places);
    QString text = parts.negative ? QStringLiteral("-") : QString();
    text += grouped(parts.whole);
    if (places > 0)
        text += QLatin1Char(',') + parts.fraction;
    return text;
}

QString FrenchFigures::decimalText(qint64 value, int scale, int places)
{
    const Parts parts = split(value, scale, places);
    QString text = parts.negative ? QStringLiteral("-") : QString();
    text += QString::number(parts.whole);
    if (places > 0)
        text += QLatin1Char('.') + parts.fraction;
    return text;
}

QString FrenchFigures::integer(qint64 value)
{
    return value < 0 ? QLatin1Char('-') + grouped(-value) : grouped(value);
}

double FrenchFigures::approximate(qint64 value, int scale)
{
    return double(value) / double(powerOfTen(scale));
}

} // namespace statistics
