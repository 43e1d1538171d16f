#pragma once

#include "EOQualifier.h"
#include "EOSortOrdering.h"

#include <QList>
#include <QString>

namespace eo
{

// What to fetch: an entity, a condition (none: every row), an order (none: the database's order), and
// whether records already held are refreshed and duplicate rows dropped.
struct EOFetchRequest {
    QString entityName;
    EOQualifierPtr qualifier;
    QList<EOSortOrdering> sortOrderings;
    bool refreshesRefetchedObjects = true;
    bool usesDistinct = false;
};

} // namespace eo
