#include "Clock.h"

namespace platform
{

namespace
{

Clock::Source &currentSource()
{
    static Clock::Source source;
    return source;
}

} // namespace

QDateTime Clock::now()
{
    const Source &source = currentSource();
    return source ? source() : QDateTime::currentDateTime();
}

Clock::Source Clock::setSource(Source source)
{
    Source previous = std::move(currentSource());
    currentSource() = std::move(source);
    return previous;
}

} // namespace platform
