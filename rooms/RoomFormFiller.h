#pragma once

#include "EODisplayGroup.h"
#include "EOGenericRecord.h"
#include "EOPrefetch.h"
#include "EOSortOrdering.h"

#include <QString>
#include <QVariant>

namespace Ui
{
class Creation;
}

namespace data
{
class KORDataBusOC;
}

namespace rooms
{

struct RoomDisplayGroups;

// Fills the room form from a room of the result list: its own attributes, then its sub-lists (custodian,
// outlets, configurations, equipment lines, occupation lines) fetched from the database, then the
// department's attributes and the office assignments. Filling changes neither the mode nor the look of the
// controls. Also fills the lists that depend on a selection in the sub-list panels.
class RoomFormFiller
{
public:
    RoomFormFiller(data::KORDataBusOC &dataBus, Ui::Creation &ui, RoomDisplayGroups &tables);

    void remplir(const eo::EORecord &salle);
    // The reads that filling the form with that room makes, for a caller that asks for them ahead along
    // with its own.
    QList<eo::EOPrefetch::Fetch> lectures(const QVariant &numero);
    // The members of the custodian group selected in tableGroupe.
    void groupeChoisi();
    // The equipment types of the family selected in tableFamilleMatos, with the type of the selected
    // equipment line chosen among them.
    void familleChoisie();

    // How values are shown: "" for an empty value; numbers as written ("20"); two decimals ("0.00" for an
    // empty one); a flag is on exactly for "O".
    static QString texte(const QVariant &valeur);
    static QString deuxDecimales(const QVariant &valeur);
    static bool drapeau(const QVariant &valeur);

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
    void remplirSalle(const eo::EORecord &salle);
    void remplirComplement(const eo::EORecord &salle);

    data::KORDataBusOC &m_dataBus;
    Ui::Creation &ui;
    RoomDisplayGroups &m_tables;
};

} // namespace rooms
