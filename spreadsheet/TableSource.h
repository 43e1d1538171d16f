#pragma once

#include "TableColumn.h"

#include <QList>
#include <QVariantList>

namespace spreadsheet
{

// A table read one row at a time, so that a writer holds one row and never the whole table.
//
// Values are read by the kind of their column: an invalid or null value, or an empty text, is an empty
// cell; a numeric column takes numbers, or texts holding a number ("12.5" or "12,5"), and keeps any other
// text as text, so that nothing typed is lost.
class TableSource
{
public:
    virtual ~TableSource() = default;

    virtual const QList<TableColumn> &columns() const = 0;
    virtual qsizetype rowCount() const = 0;
    // The values of one row, one per column, in the columns' order (values is cleared first).
    virtual void readRow(qsizetype row, QVariantList &values) const = 0;
};

} // namespace spreadsheet
