#pragma once

#include "TableSource.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace spreadsheet
{

// A small table of texts written beside the main one: the criteria that produced a list, notes.
struct TableAnnex {
    QString name; // the sheet's name
    QStringList headers;
    QList<QStringList> rows;
};

// What a spreadsheet file holds: the main table on a sheet of its own name, and annexes on sheets of
// their own. A CSV file holds the main table only.
struct TableDocument {
    QString sheetName;
    const TableSource *table = nullptr;
    QList<TableAnnex> annexes;
};

// Told the rows written out of the total; answering false cancels the writing.
using TableProgress = std::function<bool(qsizetype done, qsizetype total)>;

struct TableWriteResult {
    enum class Outcome { Written, Cancelled, Failed };
    Outcome outcome = Outcome::Failed;
    QString error; // why, in French, when Failed

    bool succeeded() const { return outcome == Outcome::Written; }
    static TableWriteResult written() { return {Outcome::Written, {}}; }
    static TableWriteResult cancelled() { return {Outcome::Cancelled, {}}; }
    static TableWriteResult failed(const QString &reason) { return {Outcome::Failed, reason}; }
};

// How often a writer tells its progress (and may be cancelled), in rows.
constexpr qsizetype progressStep = 500;

} // namespace spreadsheet
