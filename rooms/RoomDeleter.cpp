#include "RoomDeleter.h"

#include "KORDataBusOC.h"
#include "RoomConflictCheck.h"
#include "RoomDisplayGroups.h"
#include "SaveTransaction.h"

namespace rooms
{

RoomDeleter::RoomDeleter(data::KORDataBusOC &dataBus, RoomDisplayGroups &tables)
    : m_dataBus(dataBus), m_tables(tables)
{
}

RoomDeleter::Issue RoomDeleter::supprimer(RoomConflictCheck &verification)
{
    const eo::EORecord salle = m_tables.tableSalles.selectedObject();
    if (!salle)
        return Issue::refusee;
    const QString refus = QStringLiteral("La salle n'a pas ete supprimee !!");
    data::SaveTransaction suppression(m_dataBus, refus);
    if (verification.verifier(false) == RoomConflictCheck::Etat::supprimee) {
        suppression.abandonner();
        return Issue::dejaSupprimee;
    }
    suppression.etape(true);
    suppression.ajouter(QStringLiteral("delSalles"),
                        {{QStringLiteral("salnumero"), salle->valueForKey(QStringLiteral("salNumero"))}},
                        refus);
    if (suppression.terminer() != data::SaveTransaction::Issue::enregistree)
        return Issue::refusee;
    // Only the list forgets the row; the database no longer has it. The selection moves to the next row,
    // which tells the form to follow.
    m_tables.tableSalles.deleteSelection();
    return Issue::supprimee;
}

} // namespace rooms
