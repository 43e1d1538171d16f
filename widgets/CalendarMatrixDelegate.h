#pragma once

#include <QDateTime>

namespace widgets
{

class CalendarMatrix;

// What the owner of a month calendar learns from it. Both calls do nothing unless overridden.
class CalendarMatrixDelegate
{
public:
    virtual ~CalendarMatrixDelegate() = default;
    // The calendar stepped to another month (1 to 12) of a year.
    virtual void calendarMatrixDidChangeToMonth(CalendarMatrix *, int /*month*/, int /*year*/) {}
    // A day was chosen; the date is that day at 23:59:59 local time.
    virtual void calendarMatrixDidChangeToDate(CalendarMatrix *, const QDateTime &) {}
};

} // namespace widgets
