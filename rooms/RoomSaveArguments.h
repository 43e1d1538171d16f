#pragma once

#include "SaisieSalle.h"

#include <QVariant>
#include <QVariantMap>

namespace rooms
{

// The arguments of the procedures that store a room, from the room's value:
// - texts cut to their column's width (RoomTextWidths), "" for an empty one;
// - counts and decimals as the value holds them: the null marker where none is given, so that saving a
//   room without touching a field changes none of its stored values;
// - flags "O" or "N"; board counts as typed, "0" for an empty one.
class RoomSaveArguments
{
public:
    // What the save looked up before writing: the building's and the room type's keys.
    struct Cles {
        QVariant cLocal;
        QVariant tsalNumero;
    };

    RoomSaveArguments() = delete;

    // insSalle for a new room, majSalles for a stored one.
    static QVariantMap salle(const SaisieSalle &salle, const Cles &cles);
    // insSalleTav and updSalleTav: the department's own data of the room.
    static QVariantMap complement(const SaisieSalle &salle, const QVariant &numero);
    static QVariantMap ligneMateriel(const SaisieSalle::Materiel &ligne, const QVariant &numero);
    static QVariantMap ligneOccupation(const SaisieSalle::Occupation &ligne, const QVariant &numero);
    // insPrises, or updPrises with the outlet's order number.
    static QVariantMap prise(const SaisieSalle::Prise &prise, const QVariant &numero, bool avecOrdre);

    // A text cut to its first largeur characters (0: no width declared, nothing cut), "" for an empty one.
    static QString chaine(const QString &texte, int largeur);
    static QString texteOuZero(const QString &texte);
};

} // namespace rooms
