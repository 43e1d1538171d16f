#include "EONull.h"

namespace eo
{

QVariant eoNull()
{
    static const QVariant null = QVariant::fromValue(EONull{});
    return null;
}

bool isEONull(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<EONull>();
}

bool isNullOrNone(const QVariant &value)
{
    return !value.isValid() || isEONull(value) || value.isNull();
}

} // namespace eo
