#pragma once

#include <QDateTime>
#include <functional>

namespace platform
{

// The application's clock: the current local date and time, read wherever a file is named after the time
// it is made. Tests set it to a fixed instant.
class Clock
{
public:
    using Source = std::function<QDateTime()>;

    Clock() = delete;

    static QDateTime now();
    // Replaces the source (none: the system clock); answers the previous one.
    static Source setSource(Source source);
};

} // namespace platform
