#include "RoomSaveCheck.h"

#include "EODecimal.h"
#include "KORConversions.h"
#include "KORTextCheck.h"
#include "RoomDisplayGroups.h"
#include "ui_Creation.h"

namespace rooms
{

using framework::KORConversions;
using framework::KORTextCheck;

bool RoomSaveCheck::sommeDepasse100(const QStringList &textes)
{
    // Exact decimals: 33.33 + 33.33 + 33.34 is 100 and passes, where single-precision numbers would add
    // up to a little more and refuse a room whose use is fully shared out.
    eo::EODecimal somme = eo::EODecimal::fromString(QStringLiteral("0"));
    for (const QString &texte : textes) {
        const QVariant valeur = KORConversions::recupererDecimalNumber(texte);
        const eo::EODecimal decimal = valeur.value<eo::EODecimal>();
        if (decimal.isValid())
            somme = somme + decimal;
    }
    return somme.compare(eo::EODecimal::fromString(QStringLiteral("100"))) > 0;
}

std::optional<RoomSaveCheck::Refus> RoomSaveCheck::verifier(Ui::Creation &ui, const RoomDisplayGroups &tables)
{
    QStringList textes;
    for (const QLineEdit *champ :
         {ui.pourcEnseignement, ui.pourcRecherche, ui.pourcAdministration, ui.pourcDocumentation,
          ui.pourcTechnique, ui.pourcVieSociale, ui.pourcAccueil, ui.pourcSanitaire, ui.pourcCirculation,
          ui.pourcRestauration, ui.pourcParking, ui.pourcSportif})
        textes.append(champ->text());
    if (sommeDepasse100(textes))
        return Refus{QStringLiteral("La somme des pourcentages depasse 100 !!!"), ui.pourcEnseignement};

    if (KORConversions::recupererChaine(ui.localisationBatiment->currentText()).isEmpty())
        return Refus{QStringLiteral("Vous n'avez pas saisi de batiment !!"), nullptr};
    if (ui.localisationEtage->text().isEmpty())
        return Refus{QStringLiteral("Vous n'avez pas saisi l'etage !!"), ui.localisationEtage};
    if (ui.localisationPorte->text().isEmpty())
        return Refus{QStringLiteral("Vous n'avez pas saisi de numero de porte !!"), ui.localisationPorte};
    // Doors are stored in upper case; the field shows what will be stored.
    const QString porte = ui.localisationPorte->text().toUpper();
    if (porte != ui.localisationPorte->text())
        ui.localisationPorte->setText(porte);
    // A door number pasted from elsewhere may carry characters that do not show, and no text may carry a
    // NUL: the procedures would refuse them, the field is named here.
    for (const auto &[refus, champ] :
         {std::pair{KORTextCheck::refusCode(QStringLiteral("Le numéro de porte"), porte),
                    static_cast<QWidget *>(ui.localisationPorte)},
          std::pair{KORTextCheck::refusTexte(QStringLiteral("L'étage"), ui.localisationEtage->text()),
                    static_cast<QWidget *>(ui.localisationEtage)},
          std::pair{KORTextCheck::refusTexte(QStringLiteral("Le descriptif"), ui.descriptif->toPlainText()),
                    static_cast<QWidget *>(ui.descriptif)}}) {
        if (!refus.isEmpty())
            return Refus{refus, champ};
    }

    if (KORConversions::recupererChaine(ui.typePopup->currentText()).isEmpty())
        return Refus{QStringLiteral("Il faut remplir le type de salle !"), nullptr};
    const qsizetype depositaires = tables.tableDepositaire.displayedObjects().size();
    if (depositaires == 0 && ui.reservable->isChecked())
        return Refus{QStringLiteral("Vous n'avez pas de depositaire !!"), nullptr};
    if (depositaires > 1)
        return Refus{QStringLiteral("Il ne faut qu'un seul depositaire !!"), nullptr};
    return std::nullopt;
}

} // namespace rooms
