#include "RoomFormFiller.h"

#include "EONull.h"
#include "EOValues.h"
#include "KORConversions.h"
#include "KORDataBusOC.h"
#include "KORFormHelpers.h"
#include "RoomDisplayGroups.h"
#include "ui_Creation.h"

namespace rooms
{

using framework::KORConversions;
using framework::KORFormHelpers;

namespace
{

constexpr auto sansCasse = eo::EOSortOrdering::Selector::CompareCaseInsensitiveAscending;

// Moving from room to room mostly changes a few fields: a text set again would be laid out again for
// nothing.
void afficher(QLineEdit *champ, const QString &texte)
{
    if (champ->text() != texte)
        champ->setText(texte);
}

void choisirTitre(QComboBox *popUp, const QString &titre)
{
    // A title the list does not hold (a building or a type removed since) shows the blank item.
    if (popUp->currentIndex() > 0 && popUp->currentText() == titre)
        return;
    const int index = popUp->findText(titre);
    popUp->setCurrentIndex(index >= 0 ? index : 0);
}

} // namespace

RoomFormFiller::RoomFormFiller(data::KORDataBusOC &dataBus, Ui::Creation &ui, RoomDisplayGroups &tables)
    : m_dataBus(dataBus), ui(ui), m_tables(tables)
{
}

QString RoomFormFiller::texte(const QVariant &valeur)
{
    return KORConversions::recupererChaine(valeur);
}

QString RoomFormFiller::deuxDecimales(const QVariant &valeur)
{
    return KORFormHelpers::formatter(valeur);
}

bool RoomFormFiller::drapeau(const QVariant &valeur)
{
    return KORConversions::recupererChaine(valeur) == QLatin1String("O");
}

void RoomFormFiller::remplir(const eo::EORecord &salle)
{
    if (!salle)
        return;
    remplirSalle(salle);
    const QVariant numero = salle->valueForKey(QStringLiteral("salNumero"));
    const QList<Liste> aLire = listes(numero);
    // The room's lists do not depend on each other: asked for together, a server across a slow link makes
    // the user wait once for them all (and once more for the groups they name), not once per list.
    const eo::EOPrefetch enAvance = m_dataBus.prefetch(lectures(numero));
    // The sub-lists, then the department's attributes and the office assignments.
    for (qsizetype i = 0; i + 1 < aLire.size(); ++i)
        remplirListe(aLire.at(i));
    remplirComplement(salle);
    remplirListe(aLire.constLast());
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

void RoomFormFiller::remplirSalle(const eo::EORecord &salle)
{
    auto valeur = [&salle](const char *cle) { return salle->valueForKey(QString::fromLatin1(cle)); };

    choisirTitre(ui.localisationBatiment, texte(valeur("appellation")));
    afficher(ui.localisationEtage, texte(valeur("salEtage")));
    afficher(ui.localisationPorte, texte(valeur("salPorte")));
    afficher(ui.architecturePlaces, texte(valeur("salCapacite")));
    KORFormHelpers::afficherDecimal(ui.architectureSurface, valeur("salSuperficie"));
    afficher(ui.architectureFenetres, texte(valeur("salNbFenetres")));
    ui.reservable->setChecked(drapeau(valeur("salReservable")));
    afficher(ui.nbTablNoir, texte(valeur("salTableau")));
    afficher(ui.nbTablBlanc, texte(valeur("salTableauBlanc")));
    afficher(ui.nbTablPapier, texte(valeur("salTableauPapier")));
    afficher(ui.nbPostesTP, texte(valeur("salNoPoste")));
    ui.equipementEcran->setChecked(drapeau(valeur("salEcran")));
    ui.equipementRetro->setChecked(drapeau(valeur("salRetro")));
    ui.equipementTV->setChecked(drapeau(valeur("salTelevision")));
    ui.equipementObscurite->setChecked(drapeau(valeur("salObscur")));
    ui.equipementInsonorise->setChecked(drapeau(valeur("salInsonorisee")));
    afficher(ui.nombreChaises, texte(valeur("salNbChaises")));
    afficher(ui.nombreTables, texte(valeur("salNbTables")));
    afficher(ui.nombreBureaux, texte(valeur("salNbBureaux")));
    afficher(ui.nombreArmoires, texte(valeur("salNbArmoires")));
    KORFormHelpers::afficherDecimal(ui.pourcEnseignement, valeur("salPourEnseignement"));
    KORFormHelpers::afficherDecimal(ui.pourcRecherche, valeur("salPourRecherche"));
    KORFormHelpers::afficherDecimal(ui.pourcAdministration, valeur("salPourAdministration"));
    KORFormHelpers::afficherDecimal(ui.pourcDocumentation, valeur("salPourDocumentation"));
    KORFormHelpers::afficherDecimal(ui.pourcTechnique, valeur("salPourTechnique"));
    const QString descriptif = texte(valeur("salDescriptif"));
    if (ui.descriptif->toPlainText() != descriptif)
        ui.descriptif->setPlainText(descriptif);
    choisirTitre(ui.typePopup, texte(valeur("toTypeSalle_tsalLibelle")));
}

void RoomFormFiller::remplirComplement(const eo::EORecord &salle)
{
    auto valeur = [&salle](const char *cle) { return salle->valueForKey(QString::fromLatin1(cle)); };

    KORFormHelpers::afficherDecimal(ui.hauteurMoyenPlafond, valeur("tavHauteurMoyenPlafond"));
    afficher(ui.nbPortes, texte(valeur("tavNombrePortes")));
    KORFormHelpers::afficherDecimal(ui.surfaceVitree, valeur("tavSurfaceVitree"));
    KORFormHelpers::afficherDecimal(ui.pourcVieSociale, valeur("tavVieSocial"));
    KORFormHelpers::afficherDecimal(ui.pourcAccueil, valeur("tavAccueil"));
    KORFormHelpers::afficherDecimal(ui.pourcSanitaire, valeur("tavSanitaire"));
    KORFormHelpers::afficherDecimal(ui.pourcCirculation, valeur("tavCirculation"));
    KORFormHelpers::afficherDecimal(ui.pourcRestauration, valeur("tavRestauration"));
    KORFormHelpers::afficherDecimal(ui.pourcParking, valeur("tavParking"));
    KORFormHelpers::afficherDecimal(ui.pourcSportif, valeur("tavSportif"));
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
