#include "BuildingArguments.h"

#include "KORConversions.h"

namespace buildings
{

using framework::KORConversions;

QString BuildingArguments::champ(const QString &texte, int largeur)
{
    return KORConversions::recupererChaine(
        KORConversions::truncateString(texte.toUpper(), 0, quint64(largeur)));
}

QVariantMap BuildingArguments::insLocal(const SaisieBatiment &saisie, const QString &site)
{
    return {
        {QStringLiteral("adradresse1"), champ(saisie.adresse1, largeurAdresse1)},
        {QStringLiteral("adradresse2"), champ(saisie.adresse2, largeurAdresse2)},
        {QStringLiteral("adrbp"), QStringLiteral("")},
        {QStringLiteral("adrcp"), champ(saisie.codePostal, largeurCodePostal)},
        {QStringLiteral("adrlisteRouge"), QStringLiteral("O")},
        {QStringLiteral("adrnation"), QStringLiteral("100")},
        {QStringLiteral("adrnom"), champ(saisie.appellation, largeurAppellation)},
        {QStringLiteral("adrqualite"), QStringLiteral("BATIMENT")},
        {QStringLiteral("adrville"), champ(saisie.localite, largeurVille)},
        {QStringLiteral("batabrev"), champ(saisie.code, largeurCode)},
        {QStringLiteral("insBisTer"), QStringLiteral("")},
        {QStringLiteral("insCImplantation"), site},
        {QStringLiteral("insCVoie"), QStringLiteral("")},
        {QStringLiteral("insCpEtranger"), QStringLiteral("")},
        {QStringLiteral("insLocalite"), champ(saisie.localite, largeurLocalite)},
        {QStringLiteral("insNoVoie"), QStringLiteral("")},
        {QStringLiteral("insNomVoie"), QStringLiteral("")},
    };
}

QVariantMap BuildingArguments::majLocal(const SaisieBatiment &saisie, const QString &site,
                                        const QString &oldCLocal)
{
    return {
        {QStringLiteral("adradresse1"), champ(saisie.adresse1, largeurAdresse1)},
        {QStringLiteral("adradresse2"), champ(saisie.adresse2, largeurAdresse2)},
        {QStringLiteral("adrbp"), QStringLiteral("")},
        {QStringLiteral("adrcp"), champ(saisie.codePostal, largeurCodePostal)},
        {QStringLiteral("adrnom"), champ(saisie.appellation, largeurAppellation)},
        {QStringLiteral("adrville"), champ(saisie.localite, largeurVille)},
        {QStringLiteral("batabrev"), champ(saisie.code, largeurCode)},
        {QStringLiteral("majNoVoie"), QStringLiteral("")},
        {QStringLiteral("majBisTer"), QStringLiteral("")},
        {QStringLiteral("majCVoie"), QStringLiteral("")},
        {QStringLiteral("majNomVoie"), QStringLiteral("")},
        {QStringLiteral("majLocalite"), champ(saisie.localite, largeurLocalite)},
        {QStringLiteral("majCPays"), QStringLiteral("100")},
        {QStringLiteral("majCpEtranger"), QStringLiteral("")},
        {QStringLiteral("majCImplantation"), site},
        {QStringLiteral("majAdrListeRouge"), QStringLiteral("O")},
        {QStringLiteral("oldCLocal"), oldCLocal},
    };
}

} // namespace buildings
