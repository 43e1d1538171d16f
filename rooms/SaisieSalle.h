#pragma once

#include "EOGenericRecord.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

namespace rooms
{

// A room as the room form holds it: its record, its department complement and its four sub-lists. The form
// reads it (RoomForm), the checks, the save and the arguments of the procedures take it, and a program can
// make one without a form (a benchmark, an import). Texts are as typed; numbers are whole numbers or exact
// decimals, the null marker where none is given; flags are plain booleans.
struct SaisieSalle {
    struct Prise {
        QString code;
        QString type;   // one letter
        QVariant ordre; // the stored outlet's key; -1 for an outlet added since the room was shown
    };
    struct Materiel {
        QVariant type; // the equipment type's key
        QVariant quantite;
        QVariant unite; // the unit's key
    };
    struct Occupation {
        QString departement; // the department's code
        QVariant type;       // the kind of occupation's key
        QVariant pourcentage;
    };

    // The stored room (none for a new one) and what the reference schema keeps for it that the form does
    // not show, written back as it is.
    QVariant numero;
    QString identAcces;
    QString nature;

    // Location: the building and the room type by the names their pop-ups show.
    QString batiment;
    QString etage;
    QString porte;
    QString type;
    bool reservable = false;

    // Architecture; the ceiling height, the doors and the glazed surface are the department's complement.
    QVariant places;
    QVariant surface;
    QVariant fenetres;
    QVariant hauteurPlafond;
    QVariant portes;
    QVariant surfaceVitree;

    // Equipment: the boards and the practical-work stations are counts kept as texts.
    bool ecran = false;
    bool retroprojecteur = false;
    bool television = false;
    bool obscurite = false;
    bool insonorisee = false;
    QString tableauxNoirs;
    QString tableauxBlancs;
    QString tableauxPapier;
    QString postesTP;
    QVariant chaises;
    QVariant tables;
    QVariant bureaux;
    QVariant armoires;

    // Use, in percent: five kinds in the record, seven in the complement.
    QVariant enseignement;
    QVariant recherche;
    QVariant administration;
    QVariant documentation;
    QVariant technique;
    QVariant vieSociale;
    QVariant accueil;
    QVariant sanitaire;
    QVariant circulation;
    QVariant restauration;
    QVariant parking;
    QVariant sportif;

    QString descriptif;

    QStringList depositaires; // custodian groups' codes: a room is saved with one at most
    QList<Prise> prises;
    QVariantList prisesSupprimees; // keys of the stored outlets removed since the modification began
    QList<Materiel> materiels;
    QList<Occupation> occupations;

    bool nouvelle() const { return !numero.isValid(); }
    // The twelve percentages, in the form's order.
    QVariantList pourcentages() const;

    // A room as the database gives it (a row of the room list, SallesVix), without its sub-lists.
    static SaisieSalle depuis(const eo::EORecord &salle);
    // A line of a sub-list as its display group holds it.
    static Prise prise(const eo::EORecord &ligne);
    static Materiel materiel(const eo::EORecord &ligne);
    static Occupation occupation(const eo::EORecord &ligne);
};

} // namespace rooms
