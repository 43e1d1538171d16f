#pragma once

#include "EOGenericRecord.h"

#include <QVariant>
#include <QVariantMap>

class QLineEdit;

namespace Ui
{
class Creation;
}

namespace rooms
{

struct RoomDisplayGroups;

// The arguments of the procedures that store a room, read from the room form and its sub-lists:
// - texts cut to their column's width, "" for an empty one;
// - counts as whole numbers, the null marker for an empty field, in a creation as in a modification, so
//   that saving a room without touching a field changes none of its stored values;
// - decimals as exact decimals, the null marker for an empty field or for a stored null the form shows
//   (as "0.00") and the user left untouched;
// - flags "O" or "N"; board counts as typed, "0" for an empty field.
class RoomSaveArguments
{
public:
    // What the save looked up before writing: the building's and the room type's keys.
    struct Cles {
        QVariant cLocal;
        QVariant tsalNumero;
    };

    RoomSaveArguments() = delete;

    // insSalle (salle none: a creation) or majSalles (salle: the room being modified).
    static QVariantMap salle(const Ui::Creation &ui, const RoomDisplayGroups &tables, const Cles &cles,
                             const eo::EORecord &salle);
    // insSalleTav and updSalleTav: the department's own data of the room.
    static QVariantMap complement(const Ui::Creation &ui, const QVariant &numero);
    static QVariantMap ligneMateriel(const eo::EORecord &ligne, const QVariant &numero);
    static QVariantMap ligneOccupation(const eo::EORecord &ligne, const QVariant &numero);
    // insPrises, or updPrises with the outlet's order number.
    static QVariantMap prise(const eo::EORecord &prise, const QVariant &numero, bool avecOrdre);

    // The value forms.
    static QString chaine(const QString &texte, int largeur);
    static QVariant entier(const QString &texte);
    static QVariant decimal(const QString &texte);
    // A decimal field: a null shown as "0.00" and left untouched stays null.
    static QVariant decimal(const QLineEdit *champ);
    static QString texteOuZero(const QString &texte);
};

} // namespace rooms
