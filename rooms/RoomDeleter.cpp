#include "RoomDeleter.h"

#include "KORDataBusOC.h"
#include "RoomDisplayGroups.h"
#include "RoomTransaction.h"

namespace rooms
{

RoomDeleter::RoomDeleter(data::KORDataBusOC &dataBus, RoomDisplayGroups &tables)
    : m_dataBus(dataBus), m_tables(tables)
{
}

bool RoomDeleter::supprimer()
{
    const eo::EORecord salle = m_tables.tableSalles.selectedObject();
    if (!salle)
        return false;
    const QString refus = QStringLiteral("La salle n'a pas ete supprimee !!");
    RoomTransaction suppression(m_dataBus, refus);
    suppression.appeler(QStringLiteral("delSalles"),
                        {{QStringLiteral("salnumero"), salle->valueForKey(QStringLiteral("salNumero"))}},
                        refus);
    if (!suppression.terminer())
        return false;
    // Only the list forgets the row; the database no longer has it. The selection moves to the next row,
    // which tells the form to follow.
    m_tables.tableSalles.deleteSelection();
    return true;
}

} // namespace rooms
