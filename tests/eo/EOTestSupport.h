#pragma once

#include "EOException.h"
#include "EOGenericRecord.h"

#include <QVariantMap>
#include <optional>

// The layer's error raised by a call, or nothing when the call went through. Any other exception escapes
// and fails the test.
template <typename Call> std::optional<eo::EOException> eoExceptionOf(Call &&call)
{
    try {
        call();
    } catch (const eo::EOException &exception) {
        return exception;
    }
    return std::nullopt;
}

// A dictionary line (a record without entity) holding the given keys.
inline eo::EORecord makeLine(const QVariantMap &values)
{
    eo::EORecord line = eo::EOGenericRecord::create();
    for (auto it = values.constBegin(); it != values.constEnd(); ++it)
        line->takeValueForKey(it.value(), it.key());
    return line;
}
