#include "RoomDecimalDelegate.h"

#include "KORFormHelpers.h"

namespace rooms
{

QString RoomDecimalDelegate::displayText(const QVariant &value, const QLocale &) const
{
    if (value.toString().isEmpty())
        return {};
    return framework::KORFormHelpers::formatter(value.toString());
}

} // namespace rooms
