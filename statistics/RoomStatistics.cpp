#include "RoomStatistics.h"

#include "UseKinds.h"

namespace statistics
{

qint64 RoomStatistics::Usages::nonReparti() const
{
    // The surface in millionths, less every use's share.
    qint64 reste = surface * 10000;
    for (const qint64 part : parUsage)
        reste -= part;
    return reste;
}

RoomStatistics::Groupe RoomStatistics::total() const
{
    Groupe total;
    total.libelle = QStringLiteral("Total");
    for (const Groupe &groupe : parBatiment) {
        total.salles += groupe.salles;
        total.places += groupe.places;
        total.surface += groupe.surface;
        total.surfaceVitree += groupe.surfaceVitree;
        total.sansSurface += groupe.sansSurface;
    }
    return total;
}

RoomStatistics::Usages RoomStatistics::totalUsages() const
{
    Usages total;
    total.libelle = QStringLiteral("Total");
    total.parUsage = QList<qint64>(UseKinds::nombre(), 0);
    for (const Usages &batiment : parUsage) {
        total.salles += batiment.salles;
        total.sansSurface += batiment.sansSurface;
        total.surface += batiment.surface;
        for (qsizetype i = 0; i < batiment.parUsage.size() && i < total.parUsage.size(); ++i)
            total.parUsage[i] += batiment.parUsage.at(i);
    }
    return total;
}

} // namespace statistics
