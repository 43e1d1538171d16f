#pragma once

#include "TableDocument.h"

#include <QIODevice>
#include <QString>

namespace spreadsheet
{

// A table as CSV for French spreadsheets: UTF-8 with a byte-order mark (so that accented letters are read
// as such), ";" between fields (the comma being the decimal separator), numbers with a decimal comma and
// no thousands separator, lines ended by CR LF, and a field quoted as RFC 4180 says (its quotes doubled)
// when it holds ";", a quote or a line break. The first line holds the column titles.
class CsvTableWriter
{
public:
    CsvTableWriter() = delete;

    static TableWriteResult write(const TableSource &table, QIODevice &device,
                                  const TableProgress &progress = {});
    static QString field(const QString &text);
};

} // namespace spreadsheet
