#pragma once

#include "EOGenericRecord.h"

#include <QList>

namespace eo
{

class EODisplayGroup;

// What the owner of a display group learns from it. Both calls do nothing unless overridden.
class EODisplayGroupDelegate
{
public:
    virtual ~EODisplayGroupDelegate() = default;
    virtual void displayGroupDidChangeSelection(EODisplayGroup *) {}
    virtual void displayGroupDidFetchObjects(EODisplayGroup *, const QList<EORecord> &) {}
};

} // namespace eo
