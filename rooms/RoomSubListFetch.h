#pragma once

#include "EOGenericRecord.h"
#include "EOSortOrdering.h"

#include <QHash>
#include <QList>
#include <QString>

namespace data
{
class KORDataBusOC;
}

namespace rooms
{

// The lines of one sub-list (outlets, equipment, occupation, custodian) of many rooms at once, by room
// number, in a few fetches instead of one per room: rooms are asked for by groups, and past a few thousand
// rooms every line is read once and sorted out.
class RoomSubListFetch
{
public:
    using ParSalle = QHash<qint64, QList<eo::EORecord>>;

    RoomSubListFetch() = delete;

    // The lines of the entity (keyed by salNumero) of the given rooms, each room's lines in the given order.
    static ParSalle lire(data::KORDataBusOC &dataBus, const QString &entite, const QList<qint64> &salles,
                         const QList<eo::EOSortOrdering> &ordre = {});
    // Records of an entity whose key (a text attribute) is among the given ones, by key.
    static QHash<QString, eo::EORecord> parCle(data::KORDataBusOC &dataBus, const QString &entite,
                                               const QString &cle, const QStringList &valeurs);

    // Rooms asked for by one fetch: a disjunction stays well within what a statement may bind.
    static constexpr qsizetype sallesParFetch = 200;
    // Past this many rooms, one fetch of every line costs less than the groups.
    static constexpr qsizetype seuilToutesLesLignes = 2000;
};

} // namespace rooms
