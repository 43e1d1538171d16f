#include "RoomFormFiller.h"

#include "KORDataBusOC.h"
#include "KORFormHelpers.h"
#include "RoomDisplayGroups.h"
#include "RoomForm.h"
#include "RoomSearchBuilder.h"
#include "SaisieSalle.h"

namespace rooms
{

using framework::KORFormHelpers;

namespace
{

constexpr auto sansCasse = eo::EOSortOrdering::Selector::CompareCaseInsensitiveAscending;

} // namespace

RoomFormFiller::RoomFormFiller(data::KORDataBusOC &dataBus, RoomForm &formulaire, RoomDisplayGroups &tables)
    : m_dataBus(dataBus), m_formulaire(formulaire), m_tables(tables)
{
}

void RoomFormFiller::remplir(const eo::EORecord &salle)
{
    if (!salle)
        return;
    // The record and the department's attributes come with the room's row; its lists are read.
    m_formulaire.remplir(SaisieSalle::depuis(salle));
    const QVariant numero = salle->valueForKey(QStringLiteral("salNumero"));
    // The room's lists do not depend on each other: asked for together, a server across a slow link makes
    // the user wait once for them all (and once more for the groups they name), not once per list.
    const eo::EOPrefetch enAvance = m_dataBus.prefetch(lectures(numero));
    for (const Liste &liste : listes(numero))
        remplirListe(liste);
}

void RoomFormFiller::montrerSeule(const QVariant &numero)
{
    const eo::EOQualifierPtr laSalle =
        eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("salNumero=%@"), {numero});
    const eo::EOPrefetch enAvance =
        m_dataBus.prefetch(QList<eo::EOPrefetch::Fetch>{data::KORDataBusOC::declaredFetch(
                               RoomSearchBuilder::entite(), laSalle, {}, &m_tables.tableSalles)} +
                           lectures(numero));
    KORFormHelpers::fetchTable(m_dataBus, &m_tables.tableSalles, RoomSearchBuilder::entite(), laSalle, {},
                               true);
}

void RoomFormFiller::relire()
{
    // The outlets then carry their stored keys, so that a further modification updates them instead of
    // inserting them again.
    eo::EODisplayGroup &salles = m_tables.tableSalles;
    const eo::EORecord ancienne = salles.selectedObject();
    if (!ancienne)
        return;
    QList<eo::EORecord> lignes = salles.allObjects();
    const QVariant numero = ancienne->valueForKey(QStringLiteral("salNumero"));
    const eo::EOQualifierPtr laSalle =
        eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("salNumero=%@"), {numero});
    // The row and the lists the form shows again, asked for together.
    const eo::EOPrefetch enAvance =
        m_dataBus.prefetch(QList<eo::EOPrefetch::Fetch>{
                               data::KORDataBusOC::declaredFetch(RoomSearchBuilder::entite(), laSalle)} +
                           lectures(numero));
    const QList<eo::EORecord> lue = m_dataBus.fetchArray(RoomSearchBuilder::entite(), laSalle, {});
    const eo::EORecord salle = lue.isEmpty() ? ancienne : lue.first();
    const qsizetype index = lignes.indexOf(ancienne);
    if (index >= 0)
        lignes[index] = salle;
    salles.setSelectsFirstObjectAfterFetch(false);
    salles.setObjectArray(lignes); // the room stays selected, which fills the form again
    if (salles.selectedObject() != salle)
        salles.selectObject(salle);
}

QList<eo::EOPrefetch::Fetch> RoomFormFiller::lectures(const QVariant &numero)
{
    QList<eo::EOPrefetch::Fetch> aLire;
    for (const Liste &liste : listes(numero))
        aLire.append(
            data::KORDataBusOC::declaredFetch(liste.entite, liste.condition, liste.ordre, liste.table));
    return aLire;
}

QList<RoomFormFiller::Liste> RoomFormFiller::listes(const QVariant &numero)
{
    const eo::EOQualifierPtr salle =
        eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("salNumero=%@"), {numero});
    // Office assignments are keyed by the room number; they come last.
    const eo::EOQualifierPtr bureau =
        eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("burOrdre=%@"), {numero});
    return {
        {&m_tables.tableDepositaire, QStringLiteral("DepositaireVix"), salle, {}},
        {&m_tables.tablePrise,
         QStringLiteral("Prises"),
         salle,
         {{QStringLiteral("priType"), sansCasse}, {QStringLiteral("priCode"), sansCasse}}},
        {&m_tables.tableConf, QStringLiteral("Configuration"), salle, {}},
        {&m_tables.tableDetailSalle, QStringLiteral("DetailSalle"), salle, {}},
        {&m_tables.tableDetailPourcentage, QStringLiteral("DetailPourcentage"), salle, {}},
        {&m_tables.tableRepartBureau, QStringLiteral("RepartBureauVix"), bureau, {}},
    };
}

void RoomFormFiller::remplirListe(const Liste &liste)
{
    KORFormHelpers::fetchTable(m_dataBus, liste.table, liste.entite, liste.condition, liste.ordre, true);
}

void RoomFormFiller::groupeChoisi()
{
    const eo::EORecord groupe = m_tables.tableGroupe.selectedObject();
    if (!groupe) {
        KORFormHelpers::viderTable(&m_tables.tableAdresseGroupe);
        return;
    }
    const eo::EOQualifierPtr membres = eo::EOQualifier::qualifierWithQualifierFormat(
        QStringLiteral("cStructure=%@"), {groupe->valueForKey(QStringLiteral("cStructure"))});
    KORFormHelpers::fetchTable(m_dataBus, &m_tables.tableAdresseGroupe, QStringLiteral("RepartStructIndVix"),
                               membres, {}, true);
}

void RoomFormFiller::familleChoisie()
{
    if (m_tables.tableFamilleMatos.selectionIndexes().size() != 1) {
        KORFormHelpers::viderTable(&m_tables.tableTypeMateriel);
        return;
    }
    const eo::EORecord famille = m_tables.tableFamilleMatos.selectedObject();
    const eo::EOQualifierPtr types = eo::EOQualifier::qualifierWithQualifierFormat(
        QStringLiteral("tavPere=%@"), {famille->valueForKey(QStringLiteral("tavType"))});
    KORFormHelpers::fetchTable(m_dataBus, &m_tables.tableTypeMateriel, QStringLiteral("TypeMateriel"), types,
                               {{QStringLiteral("tavLibelle"), sansCasse}}, true);

    // Modifying an equipment line: its own type is the one chosen in the family's types.
    if (m_tables.tableDetailSalle.selectionIndexes().size() != 1)
        return;
    const qint64 typeDeLaLigne = KORFormHelpers::recupererOrdre(
        m_tables.tableDetailSalle.selectedObject()->valueForKey(QStringLiteral("tavType")));
    const QList<eo::EORecord> &liste = m_tables.tableTypeMateriel.displayedObjects();
    for (qsizetype i = 0; i < liste.size(); ++i) {
        if (KORFormHelpers::recupererOrdre(liste.at(i)->valueForKey(QStringLiteral("tavType"))) ==
            typeDeLaLigne) {
            m_tables.tableTypeMateriel.setSelectionIndexes({int(i)});
            return;
        }
    }
}

} // namespace rooms
