#pragma once

#include <QMetaType>
#include <QString>

namespace eo
{

// An exact decimal number kept as its text ("12.50"), so that it reaches NUMERIC columns without passing
// through binary floating point.
class EODecimal
{
public:
    EODecimal() = default;
    // Accepts an optional sign, digits and one decimal point; anything else gives an invalid decimal.
    static EODecimal fromString(const QString &text);

    bool isValid() const { return !m_text.isEmpty(); }
    const QString &toString() const { return m_text; }
    double toDouble() const { return m_text.toDouble(); }
    bool operator==(const EODecimal &other) const { return m_text == other.m_text; }

    // Exact arithmetic on the digits, whatever their number: percentages that add up to exactly 100 are
    // exactly 100. An invalid operand gives an invalid sum; invalid decimals compare as equal to zero.
    EODecimal operator+(const EODecimal &other) const;
    // -1, 0 or 1 as this decimal is below, equal to or above the other.
    int compare(const EODecimal &other) const;

private:
    QString m_text;
};

} // namespace eo

Q_DECLARE_METATYPE(eo::EODecimal)
