#pragma once

#include "TableColumn.h"

#include <QList>
#include <QString>

class QTableView;

namespace eo
{
class EODisplayGroup;
}

namespace rooms
{

// A column of an exported room list: a key of the room and how its values are written.
struct RoomExportColumn {
    QString key; // an attribute or key path of the room; "" for an occupation column
    spreadsheet::TableColumn column;
    bool flag = false;  // "O" and "N" are written "Oui" and "Non"
    QString department; // an occupation column: the department's code (cStructure)
};

// The columns a room list is exported with: those the result window shows, in the order it shows them, or
// every attribute of a room that the room tab keeps (the occupation by department is added by
// RoomListOccupations).
class RoomExportColumns
{
public:
    RoomExportColumns() = delete;

    // Every attribute of a room, in the order of the room form.
    static const QList<RoomExportColumn> &toutes();
    // The columns of the view, in their visual order, hidden ones left out, titled as the view titles them;
    // a key the catalogue knows keeps its kind, any other is text.
    static QList<RoomExportColumn> affichees(const QTableView &vue, const eo::EODisplayGroup &groupe);
    // The catalogue's column of a key; a text column titled by the key when it does not know it.
    static RoomExportColumn pourCle(const QString &key);
};

} // namespace rooms
