#pragma once

#include "TableDocument.h"

#include <QString>
#include <QStringList>

namespace spreadsheet
{

// A table as an XLSX workbook, written with libxlsxwriter in its constant-memory mode: each row goes to
// disk as it is written, so that the memory used does not grow with the table.
//
// The main sheet has a bold header row, frozen, with an autofilter over the whole table; numbers are
// numeric cells (a Decimal column shown with its places, an Integer column without decimals); an empty
// value writes no cell; each column is as wide as its widest cell (within bounds). Each annex gets a sheet
// of its own, every cell a text.
class XlsxTableWriter
{
public:
    XlsxTableWriter() = delete;

    static TableWriteResult write(const TableDocument &document, const QString &path,
                                  const TableProgress &progress = {});

    // A name a sheet may take: at most 31 characters, none of []:*?/\ (each becomes "-"), no apostrophe at
    // either end, not empty, and none of the taken names (compared without regard to case).
    static QString sheetName(const QString &wanted, const QStringList &taken = {});

    // The rows a sheet holds below its header row.
    static constexpr qsizetype maximumRows = 1048575;
    static constexpr qsizetype maximumColumns = 16384;
    // The characters a cell holds; a longer text is cut there.
    static constexpr qsizetype maximumCellText = 32767;
};

} // namespace spreadsheet
