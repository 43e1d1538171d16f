#pragma once

#include "EODecimal.h"
#include "EOGenericRecord.h"
#include "RoomExportColumns.h"

#include <QHash>
#include <QList>
#include <QString>

namespace data
{
class KORDataBusOC;
}

namespace rooms
{

// The occupation of the listed rooms by department, for the export of every column: one column per
// department that occupies at least one of them, titled with the department's short name and holding the
// room's percentage for it (the sum of its lines of every kind of occupation).
class RoomListOccupations
{
public:
    // Reads the occupation lines of the rooms and the names of their departments.
    static RoomListOccupations lire(data::KORDataBusOC &dataBus, const QList<eo::EORecord> &salles);

    // One column per department, in the order of their short names.
    const QList<RoomExportColumn> &colonnes() const { return m_colonnes; }
    // The place of a department (by code) among those read; -1 for one that occupies no listed room.
    int indexDe(const QString &departement) const { return m_index.value(departement, -1); }
    // The room's percentage for a department (by its place), as exact decimal text; none when it has no
    // line for it.
    QVariant pourcentage(qint64 salle, int departement) const;

    static QString titre(const QString &nomCourt);

private:
    QHash<QString, int> m_index;                           // department code → its place
    QHash<std::pair<qint64, int>, eo::EODecimal> m_sommes; // (room, department) → percentage
    QList<RoomExportColumn> m_colonnes;
};

} // namespace rooms
