#pragma once

#include "EODisplayGroup.h"
#include "EOGenericRecord.h"
#include "EOPrefetch.h"
#include "EOSortOrdering.h"

#include <QString>
#include <QVariant>

namespace data
{
class KORDataBusOC;
}

namespace rooms
{

struct RoomDisplayGroups;
class RoomForm;

// Fills the room form from a room of the result list: its own attributes, then its sub-lists (custodian,
// outlets, configurations, equipment lines, occupation lines) fetched from the database, then the
// department's attributes and the office assignments. Filling changes neither the mode nor the look of the
// controls. Also fills the lists that depend on a selection in the sub-list panels.
class RoomFormFiller
{
public:
    RoomFormFiller(data::KORDataBusOC &dataBus, RoomForm &formulaire, RoomDisplayGroups &tables);

    void remplir(const eo::EORecord &salle);
    // After a creation: the stored room alone in the list, selected, which fills the form with it. Its row
    // and its lists are asked for together.
    void montrerSeule(const QVariant &numero);
    // After a modification: the selected room's row read again in place, the list keeping its length and
    // order, and the form filled again from what is stored.
    void relire();
    // The reads that filling the form with that room makes, for a caller that asks for them ahead along
    // with its own.
    QList<eo::EOPrefetch::Fetch> lectures(const QVariant &numero);
    // The members of the custodian group selected in tableGroupe.
    void groupeChoisi();
    // The equipment types of the family selected in tableFamilleMatos, with the type of the selected
    // equipment line chosen among them.
    void familleChoisie();

private:
    // One list of the room read from the database: its group, entity, condition and order.
    struct Liste {
        eo::EODisplayGroup *table;
        QString entite;
        eo::EOQualifierPtr condition;
        QList<eo::EOSortOrdering> ordre;
    };
    // The room's sub-lists, then its office assignments, as they are fetched and declared ahead.
    QList<Liste> listes(const QVariant &numero);
    void remplirListe(const Liste &liste);

    data::KORDataBusOC &m_dataBus;
    RoomForm &m_formulaire;
    RoomDisplayGroups &m_tables;
};

} // namespace rooms
