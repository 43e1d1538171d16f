#pragma once

#include "EOGenericRecord.h"
#include "EOQualifier.h"
#include "EOSortOrdering.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace data
{
class KORDataBusOC;
}

namespace buildings
{

// The room list of a building as a text file for spreadsheets: a header line, then one line per room with
// its 20 fields and, for each of its use-percentage lines, the department, the percentage and the kind of
// use; fields separated by "|", decimal commas, lines ended by a line feed.
class RoomListExport
{
public:
    using LignesParSalle = QHash<qint64, QList<eo::EORecord>>;

    RoomListExport() = delete;

    // The rooms of a building that are listed: those whose bookable flag is set (O or N).
    static eo::EOQualifierPtr qualifierSalles(const QString &appellation);
    // The order of the file: building code, floor, door, each without regard to case.
    static QList<eo::EOSortOrdering> ordreDuFichier();
    // The use-percentage lines of the listed rooms of a building, and their order: by room, then as they
    // were recorded.
    static eo::EOQualifierPtr qualifierLignes(const QString &appellation);
    static QList<eo::EOSortOrdering> ordreDesLignes();
    // The use-percentage lines of the listed rooms of a building, read in one fetch, by room number, each
    // room's lines in the order they were recorded (the order a fetch of one room's lines gives).
    static LignesParSalle lignesParSalle(data::KORDataBusOC &dataBus, const QString &appellation,
                                         QList<eo::EORecord> *toutes = nullptr);

    static QString entete();
    static const QStringList &champs();
    // A value as a field: "" when empty; a line break becomes a space and "|" becomes "¦", so that a room
    // keeps one line and its fields their places.
    static QString champ(const QVariant &valeur);
    // One room's line, line feed included (before the decimal commas).
    static QString ligne(const eo::EORecord &salle, const QList<eo::EORecord> &lignes);
    // The whole file: header, rooms in the given order, every "." written ",".
    static QString texte(const QList<eo::EORecord> &salles, const LignesParSalle &lignes);
};

} // namespace buildings
