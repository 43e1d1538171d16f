#pragma once

#include "RoomStatistics.h"
#include "StatisticsTable.h"

namespace statistics
{

// What each view's table shows of the figures: the columns, the lines in their order, the totals line and
// the note that says how many rooms had no surface (or no occupation line).
class StatisticsTables
{
public:
    struct Contenu {
        QString titre;
        QList<spreadsheet::TableColumn> colonnes;
        QList<StatisticsTable::Ligne> lignes;
        QString note;
    };

    StatisticsTables() = delete;

    static Contenu parBatiment(const RoomStatistics &figures);
    static Contenu parType(const RoomStatistics &figures);
    static Contenu parUsage(const RoomStatistics &figures);
    static Contenu parDepartement(const RoomStatistics &figures);

    static void remplir(StatisticsTable &table, const Contenu &contenu)
    {
        table.remplir(contenu.titre, contenu.colonnes, contenu.lignes, contenu.note);
    }

    // "3 salles sans surface." ("" when every room has one).
    static QString noteSansSurface(qint64 salles);
    // The share of the selection's surface, in hundredths of a percent.
    static qint64 part(qint64 surfacePonderee, qint64 surfaceTotale);
};

} // namespace statistics
