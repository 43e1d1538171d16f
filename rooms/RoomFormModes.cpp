#include "RoomFormModes.h"

#include "KORFormHelpers.h"
#include "RoomDisplayGroups.h"
#include "ui_Creation.h"

namespace rooms
{

using framework::KORFormHelpers;

void RoomFormModes::initPanel(Ui::Creation &ui, RoomDisplayGroups &tables, Etat etat, bool actif, bool clean)
{
    boutonsPrincipaux(ui, etat, actif);

    // A cleaned form forgets the sub-lists of the room it showed. They are emptied before the sub-list
    // buttons are judged, so that no remove or modify button stays on over an emptied list.
    if (clean) {
        for (eo::EODisplayGroup *liste :
             {&tables.tableDepositaire, &tables.tablePrise, &tables.tableConf, &tables.tableRepartBureau,
              &tables.tableDetailPourcentage, &tables.tableDetailSalle})
            KORFormHelpers::viderTable(liste);
    }
    sousListes(ui, tables, etat, clean);
    champs(ui, actif, clean);
    tabulation(ui);
}

void RoomFormModes::tabulation(Ui::Creation &ui)
{
    // Tab goes from field to field in reading order over the fields that can be typed in; a read-only one
    // still takes a click, for its text to be selected and copied.
    for (QLineEdit *champ : ui.vueSalle->findChildren<QLineEdit *>()) {
        if (champ->window() == ui.vueSalle->window())
            champ->setFocusPolicy(champ->isReadOnly() ? Qt::ClickFocus : Qt::StrongFocus);
    }
    ui.descriptif->setFocusPolicy(ui.descriptif->isReadOnly() ? Qt::ClickFocus : Qt::StrongFocus);
}

void RoomFormModes::boutonsPrincipaux(Ui::Creation &ui, Etat etat, bool actif)
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

void RoomFormModes::sousListes(Ui::Creation &ui, const RoomDisplayGroups &tables, Etat etat, bool clean)
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
    const bool aUnDepositaire = !tables.tableDepositaire.displayedObjects().isEmpty();
    ui.boutonAjoutDepositaire->setEnabled(!aUnDepositaire);
    ui.boutonSupprDepositaire->setEnabled(aUnDepositaire);

    const bool aDesPrises = !tables.tablePrise.displayedObjects().isEmpty();
    ui.boutonAjoutPrises->setEnabled(true);
    ui.boutonSupprPrises->setEnabled(aDesPrises);
    ui.boutonModifPrises->setEnabled(aDesPrises);

    const bool materielChoisi = !tables.tableDetailSalle.selectionIndexes().isEmpty();
    ui.boutonAjoutMatos->setEnabled(true);
    ui.boutonSupprMatos->setEnabled(materielChoisi);
    ui.boutonModifMatos->setEnabled(materielChoisi);

    ui.boutonAjoutDetailPourcentage->setEnabled(true);
    ui.boutonSupprDetailPourcentage->setEnabled(!tables.tableDetailPourcentage.selectionIndexes().isEmpty());
}

void RoomFormModes::champs(Ui::Creation &ui, bool actif, bool clean)
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
