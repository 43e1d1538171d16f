#pragma once

#include "EOGenericRecord.h"
#include "RoomListExport.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace data
{
class KORDataBusOC;
}

namespace buildings
{

// What the printed room list shows beside the rooms' own values: the use of each room in short
// ("repartition") and the departments that occupy it ("repartService"), and the name of the printed file.
class RoomListPrint
{
public:
    RoomListPrint() = delete;

    // The positive use percentages, whole, in a fixed order: ", 60% Ens., 40% Rech.".
    static QString repartition(const eo::EORecord &salle);
    // The short labels of the departments of the room's use-percentage lines: ",SCI,DROIT".
    static QString repartService(const eo::EORecord &salle);
    // "liste_salle-_<yyyy-MM-dd>-<seconds><milliseconds>.pdf"; hours and minutes are not part of it.
    static QString nomFichier(const QDateTime &moment);

    // Hangs on each room its use-percentage lines (detailPourcentages) and on each line its department
    // (structureZebVix), read in two fetches for the whole list instead of two per room.
    static void relier(data::KORDataBusOC &dataBus, const QList<eo::EORecord> &salles,
                       const RoomListExport::LignesParSalle &lignes);
    // Sets "repartition" and "repartService" on every room.
    static void etiqueter(const QList<eo::EORecord> &salles);
};

} // namespace buildings
