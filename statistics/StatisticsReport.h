#pragma once

#include <QList>
#include <QString>

namespace statistics
{

class StatisticsChartPanel;
class StatisticsTable;

// The statistics printed as a PDF report: one page per view (A4 landscape), its title, the selection and
// the date, its charts above and its table below; a table too long for its page goes on over the next
// pages of the same view, under its header again (see StatisticsReportTable).
class StatisticsReport
{
public:
    struct Page {
        const StatisticsTable *table = nullptr;
        const StatisticsChartPanel *graphe = nullptr;
    };

    StatisticsReport() = delete;

    // "" when written, else why not (in French).
    static QString ecrire(const QList<Page> &pages, const QString &selection, const QString &path);
};

} // namespace statistics
