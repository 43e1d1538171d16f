#pragma once

#include "RoomFilter.h"
#include "RoomStatistics.h"

#include <QList>
#include <memory>
#include <vector>

#include <QAbstractBarSeries>
#include <QChart>

namespace statistics
{

// The charts of the views, drawn from the same figures as the tables: horizontal bars by building (sorted
// by surface, the largest on top), horizontal bars by room type, stacked bars by use (one colour per use, the
// same in every chart), bars of the first departments then "Autres" and "Non affecté".
class StatisticsCharts
{
public:
    struct Graphique {
        std::unique_ptr<QChart> chart;
        QAbstractBarSeries *series = nullptr; // owned by the chart
        QList<RoomFilter> filtres;            // the rooms behind each bar, by the bar's place
        int hauteur = 1;                      // its share of the height the fixed charts leave
        int hauteurFixe = 0;                  // a chart of one bar and no scale: this height, not a share
        bool legende = false;                 // its series named in the legend under the charts
    };

    StatisticsCharts() = delete;

    static std::vector<Graphique> parBatiment(const RoomStatistics &figures);
    static std::vector<Graphique> parType(const RoomStatistics &figures);
    static std::vector<Graphique> parUsage(const RoomStatistics &figures);
    static std::vector<Graphique> parDepartement(const RoomStatistics &figures);

    // Departments shown one by one; the others are added up in "Autres".
    static constexpr int premiersDepartements = 20;
};

} // namespace statistics
