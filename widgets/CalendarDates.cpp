#include "CalendarDates.h"

#include <QLocale>
#include <QTime>
#include <algorithm>
#include <array>

namespace widgets
{

namespace
{

constexpr std::array<int, 12> monthLengths{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Qt carries the French names in its own locale data, so they do not depend on the system's locales.
const QLocale &french()
{
    static const QLocale locale(QLocale::French, QLocale::France);
    return locale;
}

} // namespace

bool CalendarDates::isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int CalendarDates::nonLeapDays(int month)
{
    return month >= 1 && month <= 12 ? monthLengths[std::size_t(month - 1)] : 0;
}

int CalendarDates::daysInMonth(int month, int year)
{
    return nonLeapDays(month) + (month == 2 && isLeapYear(year) ? 1 : 0);
}

int CalendarDates::startOffset(int month, int year)
{
    const QDate first(year, month, 1);
    // Qt numbers the weekdays from Monday = 1 to Sunday = 7.
    return first.isValid() ? first.dayOfWeek() % 7 : 0;
}

QDateTime CalendarDates::endOfDay(int year, int month, int day)
{
    const QDate date(year, month, day);
    if (!date.isValid())
        return {};
    return QDateTime(date, QTime(23, 59, 59));
}

QDate CalendarDates::steppedMonth(const QDate &date, int step)
{
    if (!date.isValid())
        return date;
    int year = date.year();
    int month = date.month() + (step > 0 ? 1 : -1);
    if (month > 12) {
        month = 1;
        ++year;
    } else if (month < 1) {
        month = 12;
        --year;
    }
    if (year < firstYear || year > lastYear)
        return date;
    const int day = std::min(date.day(), nonLeapDays(month));
    return QDate(year, month, day);
}

QString CalendarDates::monthTitle(int month, int year)
{
    return QStringLiteral("%1 %2").arg(monthName(month)).arg(year);
}

QString CalendarDates::dayTitle(const QDate &date)
{
    if (!date.isValid())
        return {};
    return QStringLiteral("%1 %2 %3")
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(monthName(date.month()))
        .arg(date.year());
}

QString CalendarDates::monthName(int month)
{
    return month >= 1 && month <= 12 ? french().monthName(month, QLocale::LongFormat) : QString();
}

QString CalendarDates::weekdayName(int weekday)
{
    if (weekday < 0 || weekday > 6)
        return {};
    return french().dayName(weekday == 0 ? 7 : weekday, QLocale::ShortFormat);
}

} // namespace widgets
