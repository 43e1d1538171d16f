#pragma once

#include <QString>

namespace statistics
{

// Exact figures kept as whole numbers of a small unit (hundredths of a square metre, millionths of a
// square metre), written as people read them in France: a space between thousands, a decimal comma.
class FrenchFigures
{
public:
    FrenchFigures() = delete;

    // The value (in units of 10^-scale) rounded half away from zero to the given places: "1 234,50".
    static QString decimal(qint64 value, int scale, int places);
    // The same value as an exact decimal text for a spreadsheet cell ("1234.50").
    static QString decimalText(qint64 value, int scale, int places);
    // A whole number with its thousands apart: "12 345".
    static QString integer(qint64 value);
    // The value rounded to the given places, as a number for a chart's bar (display only).
    static double approximate(qint64 value, int scale);
    // The value of units of 10^-from in units of 10^-to (to <= from), rounded half away from zero.
    static qint64 rounded(qint64 value, int from, int to);

    // Between the thousands: a no-break space, so that a figure is never cut at the end of a line.
    static constexpr QChar thousandsSeparator = QChar(0x00A0);
};

} // namespace statistics
