#pragma once

#include "EOGenericRecord.h"

#include <QHash>
#include <QList>
#include <QVariantList>
#include <QVariantMap>

namespace data
{
class KORDataBusOC;
}

namespace rooms
{

// What the printed sheet of a room shows (the report template FicheSalle): its location and type, every
// field of the room form that has a value, grouped as the form groups them, its custodian, outlets,
// equipment lines and occupation by department, and its description.
class RoomSheet
{
public:
    // The four lists of one room, and the departments they name (by code).
    struct Listes {
        QList<eo::EORecord> depositaires;
        QList<eo::EORecord> prises;
        QList<eo::EORecord> materiels;
        QList<eo::EORecord> occupations;
        QHash<QString, eo::EORecord> departements;
    };

    RoomSheet() = delete;

    // The sheets of the rooms, in their order, their lists read in a few fetches for all of them.
    static QVariantList fiches(data::KORDataBusOC &dataBus, const QList<eo::EORecord> &salles);
    // The sheet of one room: a dictionary of the keys the template reads.
    static QVariantMap fiche(const eo::EORecord &salle, const Listes &listes);

    // A decimal as the sheet shows it: two places, a decimal comma ("40,50"); "" when empty.
    static QString decimal(const QVariant &valeur);
};

} // namespace rooms
