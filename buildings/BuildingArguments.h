#pragma once

#include <QString>
#include <QVariantMap>

namespace buildings
{

// What the user typed in the six fields of the building window.
struct SaisieBatiment {
    QString code;
    QString appellation;
    QString adresse1;
    QString adresse2;
    QString codePostal;
    QString localite;
};

// The arguments of the two procedures that write a building. Typed texts are upper-cased and cut to the
// width of their column; the other arguments are the constants of every building (no street details, the
// country 100, the address on the red list, the quality BATIMENT).
class BuildingArguments
{
public:
    BuildingArguments() = delete;

    // A typed text as the procedures take it: upper-cased, cut to its first largeur characters.
    static QString champ(const QString &texte, int largeur);

    static QVariantMap insLocal(const SaisieBatiment &saisie, const QString &site);
    // oldCLocal: the building's code as stored, neither upper-cased nor cut.
    static QVariantMap majLocal(const SaisieBatiment &saisie, const QString &site, const QString &oldCLocal);

    // Widths of the columns the fields are written to.
    static constexpr int largeurCode = 3;
    static constexpr int largeurAppellation = 50;
    static constexpr int largeurAdresse1 = 60;
    static constexpr int largeurAdresse2 = 40;
    static constexpr int largeurCodePostal = 5;
    static constexpr int largeurVille = 30;
    static constexpr int largeurLocalite = 26;
};

} // namespace buildings
