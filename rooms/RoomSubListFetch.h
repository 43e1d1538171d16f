#pragma once

#include "EOGenericRecord.h"
#include "EOSortOrdering.h"

#include <QHash>
#include <QList>
#include <QString>
#include <functional>

namespace data
{
class KORDataBusOC;
}

namespace rooms
{

// The lines of one sub-list (outlets, equipment, occupation, custodian) of many rooms at once, by room
// number, in a few fetches instead of one per room: rooms are asked for by groups, and past a few thousand
// rooms by ranges of room numbers.
class RoomSubListFetch
{
public:
    using ParSalle = QHash<qint64, QList<eo::EORecord>>;

    RoomSubListFetch() = delete;

    // The lines of the entity (keyed by salNumero) of the given rooms, each room's lines in the given order.
    static ParSalle lire(data::KORDataBusOC &dataBus, const QString &entite, const QList<qint64> &salles,
                         const QList<eo::EOSortOrdering> &ordre = {});
    // The same lines handed one at a time to visiter, each room's lines in the given order, so that a caller
    // that keeps only a summary never holds them all: past a few thousand rooms they are read by ranges of
    // room numbers, one range's lines at a time.
    static void parcourir(data::KORDataBusOC &dataBus, const QString &entite, const QList<qint64> &salles,
                          const QList<eo::EOSortOrdering> &ordre,
                          const std::function<void(qint64 salle, const eo::EORecord &ligne)> &visiter);
    // Records of an entity whose key (a text attribute) is among the given ones, by key.
    static QHash<QString, eo::EORecord> parCle(data::KORDataBusOC &dataBus, const QString &entite,
                                               const QString &cle, const QStringList &valeurs);

    // Rooms asked for by one fetch: a disjunction stays well within what a statement may bind.
    static constexpr qsizetype sallesParFetch = 200;
    // Past this many rooms, ranges of room numbers cost less than groups of single rooms; a range spans
    // this many of the rooms asked for.
    static constexpr qsizetype seuilParTranches = 2000;
    static constexpr qsizetype sallesParTranche = 2000;
};

} // namespace rooms
