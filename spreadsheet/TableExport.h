#pragma once

#include "TableDocument.h"

#include <QString>

namespace spreadsheet
{

enum class TableFormat { Xlsx, Csv };

// Writes a table to the file the user chose, whole or not at all: the file is written under a temporary
// name in the same folder, then renamed over the chosen path. A failure or a cancellation leaves nothing
// behind, and a file that was at the chosen path stays as it was.
class TableExport
{
public:
    TableExport() = delete;

    static TableWriteResult write(TableFormat format, const TableDocument &document, const QString &path,
                                  const TableProgress &progress = {});
    static QString extension(TableFormat format);
};

} // namespace spreadsheet
