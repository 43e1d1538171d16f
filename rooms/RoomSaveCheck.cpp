#include "RoomSaveCheck.h"

#include "EODecimal.h"
#include "EOValues.h"
#include "KORConversions.h"
#include "KORTextCheck.h"

namespace rooms
{

using framework::KORConversions;
using framework::KORTextCheck;

bool RoomSaveCheck::sommeDepasse100(const QVariantList &pourcentages)
{
    // Exact decimals: 33.33 + 33.33 + 33.34 is 100 and passes, where single-precision numbers would add
    // up to a little more and refuse a room whose use is fully shared out.
    eo::EODecimal somme = eo::EODecimal::fromString(QStringLiteral("0"));
    for (const QVariant &pourcentage : pourcentages) {
        const eo::EODecimal decimal =
            KORConversions::recupererDecimalNumber(eo::EOValues::displayText(pourcentage))
                .value<eo::EODecimal>();
        if (decimal.isValid())
            somme = somme + decimal;
    }
    return somme.compare(eo::EODecimal::fromString(QStringLiteral("100"))) > 0;
}

std::optional<RoomSaveCheck::Refus> RoomSaveCheck::verifier(SaisieSalle &salle)
{
    if (sommeDepasse100(salle.pourcentages()))
        return Refus{QStringLiteral("La somme des pourcentages depasse 100 !!!"), Champ::enseignement};
    if (salle.batiment.isEmpty())
        return Refus{QStringLiteral("Vous n'avez pas saisi de batiment !!"), Champ::aucun};
    if (salle.etage.isEmpty())
        return Refus{QStringLiteral("Vous n'avez pas saisi l'etage !!"), Champ::etage};
    if (salle.porte.isEmpty())
        return Refus{QStringLiteral("Vous n'avez pas saisi de numero de porte !!"), Champ::porte};
    // Doors are stored in upper case.
    salle.porte = salle.porte.toUpper();
    // A door number pasted from elsewhere may carry characters that do not show, and no text may carry a
    // NUL: the procedures would refuse them, the field is named here.
    for (const auto &[refus, champ] :
         {std::pair{KORTextCheck::refusCode(QStringLiteral("Le numéro de porte"), salle.porte), Champ::porte},
          std::pair{KORTextCheck::refusTexte(QStringLiteral("L'étage"), salle.etage), Champ::etage},
          std::pair{KORTextCheck::refusTexte(QStringLiteral("Le descriptif"), salle.descriptif),
                    Champ::descriptif}}) {
        if (!refus.isEmpty())
            return Refus{refus, champ};
    }
    if (salle.type.isEmpty())
        return Refus{QStringLiteral("Il faut remplir le type de salle !"), Champ::aucun};
    if (salle.depositaires.isEmpty() && salle.reservable)
        return Refus{QStringLiteral("Vous n'avez pas de depositaire !!"), Champ::aucun};
    if (salle.depositaires.size() > 1)
        return Refus{QStringLiteral("Il ne faut qu'un seul depositaire !!"), Champ::aucun};
    return std::nullopt;
}

} // namespace rooms
