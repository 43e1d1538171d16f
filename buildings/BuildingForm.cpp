#include "BuildingForm.h"

#include "KORConversions.h"
#include "KORFormHelpers.h"
#include "KORTextCheck.h"
#include "ui_Batiment.h"

namespace buildings
{

using framework::KORConversions;

BuildingForm::BuildingForm(Ui::Batiment &form) : ui(form)
{
    // The two-state buttons say what their next click does.
    QObject::connect(ui.boutonCreer, &QPushButton::toggled, ui.boutonCreer, [this](bool etat) {
        ui.boutonCreer->setText(etat ? QStringLiteral("Enregistrer") : QStringLiteral("Créer"));
    });
    QObject::connect(ui.boutonFinir, &QPushButton::toggled, ui.boutonFinir, [this](bool etat) {
        ui.boutonFinir->setText(etat ? QStringLiteral("Annuler") : QStringLiteral("Fermer"));
    });
}

QList<QLineEdit *> BuildingForm::champs() const
{
    return {ui.tfCodeBatiment, ui.tfAppellationBatiment, ui.tfAdresse1,
            ui.tfAdresse2,     ui.tfCodePostal,          ui.tfLocalite};
}

void BuildingForm::montrer(EtatBatiment etat, bool vider, bool batiments)
{
    const bool saisie = etat != EtatBatiment::consultation;
    const bool videe = vider || etat == EtatBatiment::creation;
    for (QLineEdit *champ : champs())
        framework::KORFormHelpers::initialiseTextField(champ, saisie, videe);
    ui.popupImplantation->setEnabled(saisie);
    if (etat == EtatBatiment::creation)
        ui.popupImplantation->setCurrentIndex(0);
    ui.boutonCreer->setChecked(saisie);
    ui.boutonFinir->setChecked(saisie);
    ui.boutonModifier->setEnabled(!saisie && batiments);
    ui.boutonSupprimer->setEnabled(!saisie && batiments);
    ui.boutonHistorique->setEnabled(!saisie && batiments);
}

void BuildingForm::remplir(const eo::EORecord &batiment)
{
    auto texte = [&batiment](const char *cle) {
        return KORConversions::recupererChaine(batiment->valueForKeyPath(QLatin1String(cle)));
    };
    ui.tfCodeBatiment->setText(texte("cLocal"));
    ui.tfAppellationBatiment->setText(texte("appellation"));
    ui.tfAdresse1->setText(texte("toAdresseVix.adrAdresse1"));
    ui.tfAdresse2->setText(texte("toAdresseVix.adrAdresse2"));
    ui.tfLocalite->setText(texte("toAdresseVix.ville"));
    ui.tfCodePostal->setText(texte("toAdresseVix.codePostal"));
    // A site that the pop-up does not hold (or none) shows the blank item.
    const int site = ui.popupImplantation->findText(texte("toAdresseVix.lcImplantationGeo"));
    ui.popupImplantation->setCurrentIndex(std::max(site, 0));
}

SaisieBatiment BuildingForm::saisie() const
{
    return {ui.tfCodeBatiment->text(), ui.tfAppellationBatiment->text(), ui.tfAdresse1->text(),
            ui.tfAdresse2->text(),     ui.tfCodePostal->text(),          ui.tfLocalite->text()};
}

std::optional<BuildingForm::Refus> BuildingForm::refus() const
{
    using framework::KORTextCheck;
    const auto stocke = [](const QLineEdit *champ, int largeur) {
        return BuildingArguments::champ(champ->text(), largeur);
    };
    const QList<std::pair<QString, QLineEdit *>> refus{
        {KORTextCheck::refusCode(QStringLiteral("Le code du bâtiment"),
                                 stocke(ui.tfCodeBatiment, BuildingArguments::largeurCode)),
         ui.tfCodeBatiment},
        {KORTextCheck::refusTexte(QStringLiteral("Le nom du bâtiment"),
                                  stocke(ui.tfAppellationBatiment, BuildingArguments::largeurAppellation)),
         ui.tfAppellationBatiment},
        {KORTextCheck::refusTexte(QStringLiteral("La première ligne d'adresse"),
                                  stocke(ui.tfAdresse1, BuildingArguments::largeurAdresse1)),
         ui.tfAdresse1},
        {KORTextCheck::refusTexte(QStringLiteral("La deuxième ligne d'adresse"),
                                  stocke(ui.tfAdresse2, BuildingArguments::largeurAdresse2)),
         ui.tfAdresse2},
        {KORTextCheck::refusTexte(QStringLiteral("Le code postal"),
                                  stocke(ui.tfCodePostal, BuildingArguments::largeurCodePostal)),
         ui.tfCodePostal},
        {KORTextCheck::refusTexte(QStringLiteral("La localité"), ui.tfLocalite->text()), ui.tfLocalite},
    };
    for (const auto &[message, champ] : refus) {
        if (!message.isEmpty())
            return Refus{message, champ};
    }
    return std::nullopt;
}

QString BuildingForm::site() const
{
    return ui.popupImplantation->currentIndex() < 0 ? QString() : ui.popupImplantation->currentText();
}

void BuildingForm::selectionnerCode()
{
    ui.tfCodeBatiment->setFocus(Qt::OtherFocusReason);
    ui.tfCodeBatiment->selectAll();
}

} // namespace buildings
