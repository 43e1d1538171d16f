#pragma once

#include "TableColumn.h"

#include <QString>
#include <QVariant>

namespace spreadsheet
{

// One value of a table as a spreadsheet cell: nothing, a number or a text, read by the kind of its column.
struct TableCell {
    enum class Type { Empty, Number, Text };

    Type type = Type::Empty;
    double number = 0;
    QString text; // a Text cell's text

    // An invalid or null value, an empty text, or a number that is not finite is empty. In a numeric
    // column a number, or a text holding one (sign, digits, one "." or ","), is a number; any other value
    // is text. A yes/no value is "Oui" or "Non".
    static TableCell from(const QVariant &value, const TableColumn &column);

    // The cell as a French reader writes it: a decimal comma, a Decimal column's places, no thousands
    // separator ("12,50", "30"); a text as it stands; "" when empty.
    QString frenchText(const TableColumn &column) const;
    // How many characters the cell shows across: its longest line.
    qsizetype displayWidth(const TableColumn &column) const;

    // The number a text holds, when it holds nothing else.
    static bool parseNumber(const QString &text, double *number);
};

} // namespace spreadsheet
