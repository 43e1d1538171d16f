#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

namespace widgets
{

// The date arithmetic and the French texts of the month calendar. Names of months and days are French
// whatever the system's locale, since the whole interface speaks French.
class CalendarDates
{
public:
    CalendarDates() = delete;

    // The years a calendar can show: stepping stops at their ends rather than leave the calendar.
    static constexpr int firstYear = 1;
    static constexpr int lastYear = 9999;

    // Divisible by 4 and not by 100, or divisible by 400.
    static bool isLeapYear(int year);
    // The length of a month (1 to 12) in a non-leap year: 31, 28, 31, 30...; 0 for another number.
    static int nonLeapDays(int month);
    // The length of a month of a year, 29 for February in a leap year; 0 for another month number.
    static int daysInMonth(int month, int year);
    // The weekday of the first of a month, 0 = Sunday to 6 = Saturday: the blank cells before day 1.
    static int startOffset(int month, int year);

    // A day at 23:59:59 local time, the time every date the calendar computes carries; invalid (none) for a
    // day that does not exist.
    static QDateTime endOfDay(int year, int month, int day);
    // The same month a step later (+1) or earlier (-1), the day kept or brought back to the last day of the
    // new month by the non-leap table, so that 31 January gives 28 February in every year. A step that
    // would leave the years the calendar shows gives the date unchanged.
    static QDate steppedMonth(const QDate &date, int step);

    // "mars 2024": the month title ("%B %Y").
    static QString monthTitle(int month, int year);
    // "05 mars 2024": the chosen day ("%d %B %Y"); empty for none.
    static QString dayTitle(const QDate &date);
    // "janvier"... for 1 to 12.
    static QString monthName(int month);
    // The short French name of a weekday, 0 = Sunday ("dim.") to 6 = Saturday ("sam.").
    static QString weekdayName(int weekday);
};

} // namespace widgets
