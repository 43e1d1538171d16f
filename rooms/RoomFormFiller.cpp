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

void choisirTitre(QComboBox *popUp, const QString &titre)
{
    // A title the list does not hold (a building or a type removed since) shows the blank item.
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
    remplirSousListes(salle->valueForKey(QStringLiteral("salNumero")));
    remplirComplement(salle);
}

void RoomFormFiller::remplirSalle(const eo::EORecord &salle)
{
    auto valeur = [&salle](const char *cle) { return salle->valueForKey(QString::fromLatin1(cle)); };

    choisirTitre(ui.localisationBatiment, texte(valeur("appellation")));
    ui.localisationEtage->setText(texte(valeur("salEtage")));
    ui.localisationPorte->setText(texte(valeur("salPorte")));
    ui.architecturePlaces->setText(texte(valeur("salCapacite")));
    ui.architectureSurface->setText(deuxDecimales(valeur("salSuperficie")));
    ui.architectureFenetres->setText(texte(valeur("salNbFenetres")));
    ui.reservable->setChecked(drapeau(valeur("salReservable")));
    ui.nbTablNoir->setText(texte(valeur("salTableau")));
    ui.nbTablBlanc->setText(texte(valeur("salTableauBlanc")));
    ui.nbTablPapier->setText(texte(valeur("salTableauPapier")));
    ui.nbPostesTP->setText(texte(valeur("salNoPoste")));
    ui.equipementEcran->setChecked(drapeau(valeur("salEcran")));
    ui.equipementRetro->setChecked(drapeau(valeur("salRetro")));
    ui.equipementTV->setChecked(drapeau(valeur("salTelevision")));
    ui.equipementObscurite->setChecked(drapeau(valeur("salObscur")));
    ui.equipementInsonorise->setChecked(drapeau(valeur("salInsonorisee")));
    ui.nombreChaises->setText(texte(valeur("salNbChaises")));
    ui.nombreTables->setText(texte(valeur("salNbTables")));
    ui.nombreBureaux->setText(texte(valeur("salNbBureaux")));
    ui.nombreArmoires->setText(texte(valeur("salNbArmoires")));
    ui.pourcEnseignement->setText(deuxDecimales(valeur("salPourEnseignement")));
    ui.pourcRecherche->setText(deuxDecimales(valeur("salPourRecherche")));
    ui.pourcAdministration->setText(deuxDecimales(valeur("salPourAdministration")));
    ui.pourcDocumentation->setText(deuxDecimales(valeur("salPourDocumentation")));
    ui.pourcTechnique->setText(deuxDecimales(valeur("salPourTechnique")));
    ui.descriptif->setPlainText(texte(valeur("salDescriptif")));
    choisirTitre(ui.typePopup, texte(valeur("toTypeSalle_tsalLibelle")));
}

void RoomFormFiller::remplirSousListes(const QVariant &numero)
{
    const eo::EOQualifierPtr salle =
        eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("salNumero=%@"), {numero});
    KORFormHelpers::fetchTable(m_dataBus, &m_tables.tableDepositaire, QStringLiteral("DepositaireVix"), salle,
                               {}, true);
    KORFormHelpers::fetchTable(
        m_dataBus, &m_tables.tablePrise, QStringLiteral("Prises"), salle,
        {{QStringLiteral("priType"), sansCasse}, {QStringLiteral("priCode"), sansCasse}}, true);
    KORFormHelpers::fetchTable(m_dataBus, &m_tables.tableConf, QStringLiteral("Configuration"), salle, {},
                               true);
    KORFormHelpers::fetchTable(m_dataBus, &m_tables.tableDetailSalle, QStringLiteral("DetailSalle"), salle,
                               {}, true);
    KORFormHelpers::fetchTable(m_dataBus, &m_tables.tableDetailPourcentage,
                               QStringLiteral("DetailPourcentage"), salle, {}, true);
}

void RoomFormFiller::remplirComplement(const eo::EORecord &salle)
{
    auto valeur = [&salle](const char *cle) { return salle->valueForKey(QString::fromLatin1(cle)); };

    ui.hauteurMoyenPlafond->setText(deuxDecimales(valeur("tavHauteurMoyenPlafond")));
    ui.nbPortes->setText(texte(valeur("tavNombrePortes")));
    ui.surfaceVitree->setText(deuxDecimales(valeur("tavSurfaceVitree")));
    ui.pourcVieSociale->setText(deuxDecimales(valeur("tavVieSocial")));
    ui.pourcAccueil->setText(deuxDecimales(valeur("tavAccueil")));
    ui.pourcSanitaire->setText(deuxDecimales(valeur("tavSanitaire")));
    ui.pourcCirculation->setText(deuxDecimales(valeur("tavCirculation")));
    ui.pourcRestauration->setText(deuxDecimales(valeur("tavRestauration")));
    ui.pourcParking->setText(deuxDecimales(valeur("tavParking")));
    ui.pourcSportif->setText(deuxDecimales(valeur("tavSportif")));

    // Office assignments are keyed by the room number.
    const eo::EOQualifierPtr bureau =
        eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("burOrdre=%@"), {valeur("salNumero")});
    KORFormHelpers::fetchTable(m_dataBus, &m_tables.tableRepartBureau, QStringLiteral("RepartBureauVix"),
                               bureau, {}, true);
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
