#include "RoomForm.h"

#include "KORConversions.h"
#include "KORFormHelpers.h"
#include "RoomDisplayGroups.h"
#include "ui_Creation.h"

namespace rooms
{

using framework::KORConversions;
using framework::KORFormHelpers;

namespace
{

QVariant entier(const QLineEdit *champ)
{
    return KORConversions::recupererEntier(champ->text());
}

QString texte(const QVariant &valeur)
{
    return KORConversions::recupererChaine(valeur);
}

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

RoomForm::RoomForm(Ui::Creation &ui, RoomDisplayGroups &tables) : ui(ui), m_tables(tables) {}

SaisieSalle RoomForm::saisie(const eo::EORecord &salle, const QVariantList &prisesSupprimees) const
{
    SaisieSalle s;
    if (salle) {
        const SaisieSalle stockee = SaisieSalle::depuis(salle);
        s.numero = stockee.numero;
        s.identAcces = stockee.identAcces;
        s.nature = stockee.nature;
        s.prisesSupprimees = prisesSupprimees;
    }
    s.batiment = KORConversions::recupererChaine(ui.localisationBatiment->currentText());
    s.etage = ui.localisationEtage->text();
    s.porte = ui.localisationPorte->text();
    s.type = KORConversions::recupererChaine(ui.typePopup->currentText());
    s.reservable = ui.reservable->isChecked();
    s.places = entier(ui.architecturePlaces);
    s.surface = KORFormHelpers::recupererDecimalAffiche(ui.architectureSurface);
    s.fenetres = entier(ui.architectureFenetres);
    s.hauteurPlafond = KORFormHelpers::recupererDecimalAffiche(ui.hauteurMoyenPlafond);
    s.portes = entier(ui.nbPortes);
    s.surfaceVitree = KORFormHelpers::recupererDecimalAffiche(ui.surfaceVitree);
    s.ecran = ui.equipementEcran->isChecked();
    s.retroprojecteur = ui.equipementRetro->isChecked();
    s.television = ui.equipementTV->isChecked();
    s.obscurite = ui.equipementObscurite->isChecked();
    s.insonorisee = ui.equipementInsonorise->isChecked();
    s.tableauxNoirs = ui.nbTablNoir->text();
    s.tableauxBlancs = ui.nbTablBlanc->text();
    s.tableauxPapier = ui.nbTablPapier->text();
    s.postesTP = ui.nbPostesTP->text();
    s.chaises = entier(ui.nombreChaises);
    s.tables = entier(ui.nombreTables);
    s.bureaux = entier(ui.nombreBureaux);
    s.armoires = entier(ui.nombreArmoires);
    s.enseignement = KORFormHelpers::recupererDecimalAffiche(ui.pourcEnseignement);
    s.recherche = KORFormHelpers::recupererDecimalAffiche(ui.pourcRecherche);
    s.administration = KORFormHelpers::recupererDecimalAffiche(ui.pourcAdministration);
    s.documentation = KORFormHelpers::recupererDecimalAffiche(ui.pourcDocumentation);
    s.technique = KORFormHelpers::recupererDecimalAffiche(ui.pourcTechnique);
    s.vieSociale = KORFormHelpers::recupererDecimalAffiche(ui.pourcVieSociale);
    s.accueil = KORFormHelpers::recupererDecimalAffiche(ui.pourcAccueil);
    s.sanitaire = KORFormHelpers::recupererDecimalAffiche(ui.pourcSanitaire);
    s.circulation = KORFormHelpers::recupererDecimalAffiche(ui.pourcCirculation);
    s.restauration = KORFormHelpers::recupererDecimalAffiche(ui.pourcRestauration);
    s.parking = KORFormHelpers::recupererDecimalAffiche(ui.pourcParking);
    s.sportif = KORFormHelpers::recupererDecimalAffiche(ui.pourcSportif);
    s.descriptif = ui.descriptif->toPlainText();
    for (const eo::EORecord &ligne : m_tables.tableDepositaire.displayedObjects())
        s.depositaires.append(texte(ligne->valueForKey(QStringLiteral("cStructure"))));
    for (const eo::EORecord &ligne : m_tables.tablePrise.displayedObjects())
        s.prises.append(SaisieSalle::prise(ligne));
    for (const eo::EORecord &ligne : m_tables.tableDetailSalle.displayedObjects())
        s.materiels.append(SaisieSalle::materiel(ligne));
    for (const eo::EORecord &ligne : m_tables.tableDetailPourcentage.displayedObjects())
        s.occupations.append(SaisieSalle::occupation(ligne));
    return s;
}

void RoomForm::remplir(const SaisieSalle &s)
{
    choisirTitre(ui.localisationBatiment, s.batiment);
    afficher(ui.localisationEtage, s.etage);
    afficher(ui.localisationPorte, s.porte);
    choisirTitre(ui.typePopup, s.type);
    ui.reservable->setChecked(s.reservable);
    afficher(ui.architecturePlaces, texte(s.places));
    KORFormHelpers::afficherDecimal(ui.architectureSurface, s.surface);
    afficher(ui.architectureFenetres, texte(s.fenetres));
    KORFormHelpers::afficherDecimal(ui.hauteurMoyenPlafond, s.hauteurPlafond);
    afficher(ui.nbPortes, texte(s.portes));
    KORFormHelpers::afficherDecimal(ui.surfaceVitree, s.surfaceVitree);
    ui.equipementEcran->setChecked(s.ecran);
    ui.equipementRetro->setChecked(s.retroprojecteur);
    ui.equipementTV->setChecked(s.television);
    ui.equipementObscurite->setChecked(s.obscurite);
    ui.equipementInsonorise->setChecked(s.insonorisee);
    afficher(ui.nbTablNoir, s.tableauxNoirs);
    afficher(ui.nbTablBlanc, s.tableauxBlancs);
    afficher(ui.nbTablPapier, s.tableauxPapier);
    afficher(ui.nbPostesTP, s.postesTP);
    afficher(ui.nombreChaises, texte(s.chaises));
    afficher(ui.nombreTables, texte(s.tables));
    afficher(ui.nombreBureaux, texte(s.bureaux));
    afficher(ui.nombreArmoires, texte(s.armoires));
    KORFormHelpers::afficherDecimal(ui.pourcEnseignement, s.enseignement);
    KORFormHelpers::afficherDecimal(ui.pourcRecherche, s.recherche);
    KORFormHelpers::afficherDecimal(ui.pourcAdministration, s.administration);
    KORFormHelpers::afficherDecimal(ui.pourcDocumentation, s.documentation);
    KORFormHelpers::afficherDecimal(ui.pourcTechnique, s.technique);
    KORFormHelpers::afficherDecimal(ui.pourcVieSociale, s.vieSociale);
    KORFormHelpers::afficherDecimal(ui.pourcAccueil, s.accueil);
    KORFormHelpers::afficherDecimal(ui.pourcSanitaire, s.sanitaire);
    KORFormHelpers::afficherDecimal(ui.pourcCirculation, s.circulation);
    KORFormHelpers::afficherDecimal(ui.pourcRestauration, s.restauration);
    KORFormHelpers::afficherDecimal(ui.pourcParking, s.parking);
    KORFormHelpers::afficherDecimal(ui.pourcSportif, s.sportif);
    if (ui.descriptif->toPlainText() != s.descriptif)
        ui.descriptif->setPlainText(s.descriptif);
}

void RoomForm::listerTypes(const QList<eo::EORecord> &types)
{
    while (ui.typePopup->count() > 1)
        ui.typePopup->removeItem(ui.typePopup->count() - 1);
    for (const eo::EORecord &type : types)
        ui.typePopup->addItem(texte(type->valueForKey(QStringLiteral("tsalLibelle"))));
}

void RoomForm::listerBatiments(const QList<eo::EORecord> &batiments)
{
    QComboBox *popUp = ui.localisationBatiment;
    const QString choisi = popUp->currentIndex() > 0 ? popUp->currentText() : QString();
    for (int index = popUp->count() - 1; index >= 1; --index)
        popUp->removeItem(index);
    for (const eo::EORecord &batiment : batiments)
        popUp->addItem(texte(batiment->valueForKey(QStringLiteral("appellation"))));
    const int index = choisi.isEmpty() ? 0 : popUp->findText(choisi);
    popUp->setCurrentIndex(index >= 0 ? index : 0);
}

void RoomForm::montrerPorte(const QString &porte)
{
    afficher(ui.localisationPorte, porte);
}

QWidget *RoomForm::champ(RoomSaveCheck::Champ champ) const
{
    switch (champ) {
    case RoomSaveCheck::Champ::enseignement:
        return ui.pourcEnseignement;
    case RoomSaveCheck::Champ::etage:
        return ui.localisationEtage;
    case RoomSaveCheck::Champ::porte:
        return ui.localisationPorte;
    case RoomSaveCheck::Champ::descriptif:
        return ui.descriptif;
    case RoomSaveCheck::Champ::aucun:
        break;
    }
    return nullptr;
}

// --- What each mode enables
// ---------------------------------------------------------------------------------

void RoomForm::initPanel(Etat etat, bool actif, bool clean)
{
    boutonsPrincipaux(etat, actif);

    // A cleaned form forgets the sub-lists of the room it showed. They are emptied before the sub-list
    // buttons are judged, so that no remove or modify button stays on over an emptied list.
    if (clean) {
        for (eo::EODisplayGroup *liste :
             {&m_tables.tableDepositaire, &m_tables.tablePrise, &m_tables.tableConf,
              &m_tables.tableRepartBureau, &m_tables.tableDetailPourcentage, &m_tables.tableDetailSalle})
            KORFormHelpers::viderTable(liste);
    }
    sousListes(etat, clean);
    champs(actif, clean);
    tabulation();
}

void RoomForm::tabulation()
{
    // Tab goes from field to field in reading order over the fields that can be typed in; a read-only one
    // still takes a click, for its text to be selected and copied.
    for (QLineEdit *champ : ui.vueSalle->findChildren<QLineEdit *>()) {
        if (champ->window() == ui.vueSalle->window())
            champ->setFocusPolicy(champ->isReadOnly() ? Qt::ClickFocus : Qt::StrongFocus);
    }
    ui.descriptif->setFocusPolicy(ui.descriptif->isReadOnly() ? Qt::ClickFocus : Qt::StrongFocus);
}

void RoomForm::boutonsPrincipaux(Etat etat, bool actif)
{
    if (actif && enEdition(etat)) {
        // Creation and modification keep the create button pressed: releasing it saves the form.
        ui.boutonCreer->setEnabled(true);
        ui.boutonCreer->setChecked(true);
        ui.boutonRecherche->setEnabled(false);
    } else {
        ui.boutonCreer->setEnabled(!actif);
        ui.boutonRecherche->setEnabled(true);
    }
    ui.boutonSupprimer->setEnabled(etat == Etat::salleAffichee);
    ui.boutonAnnuler->setEnabled(actif);
    ui.boutonModifier->setEnabled(etat != Etat::repos && !actif);
}

void RoomForm::sousListes(Etat etat, bool clean)
{
    const bool edition = enEdition(etat);
    // The department's own architecture fields follow the sub-lists: they are never search criteria.
    for (QLineEdit *champ : {ui.hauteurMoyenPlafond, ui.nbPortes, ui.surfaceVitree})
        KORFormHelpers::initialiseTextField(champ, edition, clean);

    if (!edition) {
        for (QPushButton *bouton :
             {ui.boutonAjoutDepositaire, ui.boutonSupprDepositaire, ui.boutonAjoutPrises,
              ui.boutonSupprPrises, ui.boutonModifPrises, ui.boutonAjoutMatos, ui.boutonSupprMatos,
              ui.boutonModifMatos, ui.boutonAjoutDetailPourcentage, ui.boutonSupprDetailPourcentage})
            bouton->setEnabled(false);
        return;
    }

    // A room has at most one custodian: once it has one, only removing it is offered.
    const bool aUnDepositaire = !m_tables.tableDepositaire.displayedObjects().isEmpty();
    ui.boutonAjoutDepositaire->setEnabled(!aUnDepositaire);
    ui.boutonSupprDepositaire->setEnabled(aUnDepositaire);

    const bool aDesPrises = !m_tables.tablePrise.displayedObjects().isEmpty();
    ui.boutonAjoutPrises->setEnabled(true);
    ui.boutonSupprPrises->setEnabled(aDesPrises);
    ui.boutonModifPrises->setEnabled(aDesPrises);

    const bool materielChoisi = !m_tables.tableDetailSalle.selectionIndexes().isEmpty();
    ui.boutonAjoutMatos->setEnabled(true);
    ui.boutonSupprMatos->setEnabled(materielChoisi);
    ui.boutonModifMatos->setEnabled(materielChoisi);

    ui.boutonAjoutDetailPourcentage->setEnabled(true);
    ui.boutonSupprDetailPourcentage->setEnabled(
        !m_tables.tableDetailPourcentage.selectionIndexes().isEmpty());
}

void RoomForm::champs(bool actif, bool clean)
{
    ui.localisationBatiment->setEnabled(actif);
    ui.boutonChoixBatiment->setEnabled(actif);
    for (QLineEdit *champ :
         {ui.localisationEtage, ui.localisationPorte, ui.architecturePlaces, ui.architectureSurface,
          ui.architectureFenetres, ui.nbTablNoir, ui.nbTablBlanc, ui.nbTablPapier, ui.nbPostesTP})
        KORFormHelpers::initialiseTextField(champ, actif, clean);

    if (clean) {
        // Every control forgets the room it showed, the type pop-up included.
        ui.localisationBatiment->setCurrentIndex(0);
        ui.typePopup->setCurrentIndex(0);
        for (QCheckBox *caseACocher : {ui.reservable, ui.equipementEcran, ui.equipementRetro, ui.equipementTV,
                                       ui.equipementObscurite, ui.equipementInsonorise})
            caseACocher->setChecked(false);
    }

    for (QCheckBox *caseACocher : {ui.reservable, ui.equipementEcran, ui.equipementRetro, ui.equipementTV,
                                   ui.equipementObscurite, ui.equipementInsonorise})
        caseACocher->setEnabled(actif);
    for (QLineEdit *champ :
         {ui.nombreChaises, ui.nombreTables, ui.nombreBureaux, ui.nombreArmoires, ui.pourcEnseignement,
          ui.pourcRecherche, ui.pourcAdministration, ui.pourcDocumentation, ui.pourcTechnique,
          ui.pourcVieSociale, ui.pourcAccueil, ui.pourcSanitaire, ui.pourcCirculation, ui.pourcRestauration,
          ui.pourcParking, ui.pourcSportif})
        KORFormHelpers::initialiseTextField(champ, actif, clean);
    KORFormHelpers::initialiseTextView(ui.descriptif, actif, clean);
    ui.typePopup->setEnabled(actif);
}

} // namespace rooms
