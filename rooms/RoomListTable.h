#pragma once

#include "EOGenericRecord.h"
#include "RoomExportColumns.h"
#include "TableSource.h"

#include <QList>
#include <optional>

namespace rooms
{

class RoomListOccupations;

// A room list as a table to export: the rooms in the order given, the values of the given columns read
// from each room as it is written (nothing is copied beforehand). Empty values (the null marker) are empty
// cells, exact decimals keep their digits, yes/no flags are "Oui" and "Non".
class RoomListTable : public spreadsheet::TableSource
{
public:
    // The rooms and the occupations must outlive the table.
    RoomListTable(const QList<eo::EORecord> &salles, const QList<RoomExportColumn> &colonnes,
                  const RoomListOccupations *occupations = nullptr);

    const QList<spreadsheet::TableColumn> &columns() const override { return m_columns; }
    qsizetype rowCount() const override { return m_salles.size(); }
    void readRow(qsizetype row, QVariantList &values) const override;

    // A room's value as a cell takes it.
    static QVariant valeur(const QVariant &brute, bool ouiNon);

private:
    const QList<eo::EORecord> &m_salles;
    QList<RoomExportColumn> m_colonnes;
    QList<spreadsheet::TableColumn> m_columns;
    QList<int> m_index; // per column: the attribute's place in the rooms' entity (or the department's
                        // among the occupations), or -1 for a key path
    int m_numero = -1;  // the place of the room's number
    const eo::EOEntity *m_entity = nullptr;
    const RoomListOccupations *m_occupations;
};

} // namespace rooms
