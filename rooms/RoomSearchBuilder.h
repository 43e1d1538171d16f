#pragma once

#include "EOQualifier.h"
#include "EOSortOrdering.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

namespace rooms
{

// Turns the criteria typed in the room form into the condition of the room search: one condition per
// filled field, in a fixed order, each joined ahead of the conjunction so far, which starts as "the room's
// bookable flag is set". Numeric criteria may begin with "<" or ">"; a percentage above 100 stops the
// search, and so does a number the field check refuses (RoomFieldValidator: a malformed number, or one its
// column cannot hold), rather than being left out and widening the search. Every value typed is bound as
// data, never SQL: a quote is a character to find. Wild cards keep the meaning each criterion gives them:
// * and ? in the building and door criteria (like "*TEXT*"), % and _ in the description criterion (like
// '%TEXT%').
class RoomSearchBuilder
{
public:
    enum class Genre {
        TypeSalle,   // the room type pop-up, looked up into its key
        Nombre,      // a raw numeric comparison on a column, with its sign
        Pourcentage, // the same, at most 100
        Coche,       // a check box: restricts only when checked
        Batiment,    // the building pop-up: names containing the chosen one
        Etage,       // exact floor
        Porte,       // door numbers containing the text, in upper case
        Descriptif,  // descriptions containing the text, without regard to case
    };

    struct Critere {
        QString champ; // the form control, by outlet name
        Genre genre;
        QString format; // the condition's format
        bool formater;  // numeric criteria: decimal (true) or integer (false)
    };

    // What the form holds, by outlet name: the text of a text field, the selected title of a pop-up, the
    // state of a check box (bool). A control that is absent counts as empty.
    using Valeurs = QHash<QString, QVariant>;
    // The key (tsalNumero) of the room type of that label; none when there is no such type.
    using RechercheTypeSalle = std::function<QVariant(const QString &libelle)>;

    struct Resultat {
        eo::EOQualifierPtr qualifier; // the conjunction; null when a field stopped the search
        QString pourcentageTropGrand; // the percentage field above 100 that stopped it, "" otherwise
        QString champRefuse;          // the numeric field whose entry is refused, "" otherwise
        QStringList champsRetenus;    // the fields that added a condition, in the order they were read
    };

    RoomSearchBuilder() = delete;

    static const QString &entite(); // SallesVix
    // The 34 criteria in the order they are read.
    static const QList<Critere> &criteres();
    // Only rooms whose bookable flag is set are ever found.
    static eo::EOQualifierPtr conditionDeBase();
    // Building name, floor, door, each without regard to case.
    static QList<eo::EOSortOrdering> ordreDesSalles();

    static Resultat construire(const Valeurs &valeurs, const RechercheTypeSalle &rechercheTypeSalle);

private:
    enum class Arret { Aucun, PourcentageTropGrand, Refuse };
    static eo::EOQualifierPtr condition(const Critere &critere, const QVariant &valeur,
                                        const RechercheTypeSalle &rechercheTypeSalle, Arret *arret);
    static eo::EOQualifierPtr comparaison(const Critere &critere, const QString &texte, Arret *arret);
    static eo::EOQualifierPtr contient(const QString &format, const QString &texte);
};

} // namespace rooms
