#pragma once

#include "TableDocument.h"
#include "TableExport.h"

#include <QString>

namespace statistics
{

class StatisticsChartPanel;
class StatisticsTable;

// The files a view leaves as: its table as a workbook or a CSV file (the spreadsheet writers), its charts as
// a PNG image or a PDF page. Each file is in place whole or not at all; a failure comes back as a French
// reason.
class StatisticsFiles
{
public:
    StatisticsFiles() = delete;

    // The table's figures as numbers (an exact decimal for a surface), with a "Notes" sheet in a workbook:
    // the selection, the date and the view's note.
    static spreadsheet::TableWriteResult ecrireTableau(spreadsheet::TableFormat format,
                                                       const StatisticsTable &table, const QString &selection,
                                                       const QString &path);
    // The charts, drawn at twice their size on screen (PNG) or on an A4 landscape page (PDF).
    static QString ecrireGraphique(const StatisticsChartPanel &graphe, const QString &titre,
                                   const QString &path);
};

} // namespace statistics
