#pragma once

#include <QMetaType>
#include <QVariant>

namespace eo
{

// The null marker: the value of an absent attribute, distinct from "none" (an invalid QVariant).
struct EONull {
    bool operator==(const EONull &) const { return true; }
};

// The one null marker value.
QVariant eoNull();
bool isEONull(const QVariant &value);
// None, the null marker or a SQL NULL read back: the value holds nothing.
bool isNullOrNone(const QVariant &value);

} // namespace eo

Q_DECLARE_METATYPE(eo::EONull)
