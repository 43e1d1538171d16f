#pragma once

#include "RoomFilter.h"
#include "RoomScope.h"
#include "RoomStatistics.h"

#include <QList>
#include <QString>

namespace data
{
class KORDataBusOC;
}

namespace statistics
{

// Reads the figures of a set of rooms: every sum is made by the database (GROUP BY), never by loading the
// rooms. A list of rooms is read in parts of a few hundred numbers whose sums are added here, exactly.
// Surfaces and percentages are taken to the hundredth, as the room form writes them.
class StatisticsReader
{
public:
    // The statements of the views, in the order lire() runs them, each with the condition that picks the
    // rooms on v.SAL_NUMERO ("1 = 1" for every room).
    enum class Vue { Batiments, Types, Departements, NonAffecte };
    static QString requete(Vue vue, const QString &condition);
    static const QList<Vue> &vues();

    StatisticsReader() = delete;

    // The figures of every view. Fetch errors (EOException) go to the caller.
    static RoomStatistics lire(data::KORDataBusOC &dataBus, const RoomScope &scope);
    // The rooms behind a line, among those of the scope, by room number.
    static QList<qint64> salles(data::KORDataBusOC &dataBus, const RoomScope &scope,
                                const RoomFilter &filtre);

    static QString libelleSansBatiment() { return QStringLiteral("Sans bâtiment"); }
    static QString libelleSansType() { return QStringLiteral("Sans type"); }
    static QString libelleNonAffecte() { return QStringLiteral("Non affecté"); }
};

} // namespace statistics
