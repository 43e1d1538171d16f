#pragma once

#include <QString>

namespace spreadsheet
{

// How the values of a column are written: as text, or as numbers a spreadsheet can add up.
enum class ColumnKind {
    Text,    // as it stands
    Integer, // a count: a numeric cell, shown without decimals
    Decimal, // a measure (a surface, a percentage): a numeric cell shown with a fixed number of decimals
};

struct TableColumn {
    QString title;
    ColumnKind kind = ColumnKind::Text;
    int decimals = 2; // places shown by a Decimal column
};

} // namespace spreadsheet
