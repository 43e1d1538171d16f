#include "RoomSearchBuilder.h"

#include "EOAndQualifier.h"
#include "EODecimal.h"
#include "EONull.h"
#include "EOSQLQualifier.h"
#include "KORConversions.h"
#include "KORFormHelpers.h"
#include "RoomEtat.h"
#include "RoomFieldValidator.h"

#include <cmath>

namespace rooms
{

using framework::KORConversions;
using Genre = RoomSearchBuilder::Genre;

const QString &RoomSearchBuilder::entite()
{
    static const QString nom = QStringLiteral("SallesVix");
    return nom;
}

const QList<RoomSearchBuilder::Critere> &RoomSearchBuilder::criteres()
{
    auto c = [](const char *champ, Genre genre, const char *format, bool formater = false) {
        return Critere{QString::fromLatin1(champ), genre, QString::fromLatin1(format), formater};
    };
    static const QList<Critere> liste{
        c("typePopup", Genre::TypeSalle, "tsalNumero=%@"),
        c("nbTablNoir", Genre::Nombre, "to_number(SAL_TABLEAU) %s %@"),
        c("nbTablBlanc", Genre::Nombre, "to_number(SAL_TABLEAU_BLANC) %s %@"),
        c("nbPostesTP", Genre::Nombre, "to_number(SAL_NO_POSTE) %s %@", true),
        c("nbTablPapier", Genre::Nombre, "to_number(SAL_TABLEAU_PAPIER) %s %@"),
        c("equipementEcran", Genre::Coche, "salEcran='O'"),
        c("equipementRetro", Genre::Coche, "salRetro='O'"),
        c("equipementTV", Genre::Coche, "salTelevision='O'"),
        c("equipementObscurite", Genre::Coche, "salObscur='O'"),
        c("equipementInsonorise", Genre::Coche, "salInsonorisee='O'"),
        c("reservable", Genre::Coche, "salReservable='O'"),
        c("localisationBatiment", Genre::Batiment, "local.appellation like %@"),
        c("localisationEtage", Genre::Etage, "salEtage=%@"),
        c("localisationPorte", Genre::Porte, "salPorte like %@"),
        c("descriptif", Genre::Descriptif, "UPPER(SAL_DESCRIPTIF) like '%%%@%%'"),
        c("architecturePlaces", Genre::Nombre, "SAL_CAPACITE %s %@"),
        c("architectureSurface", Genre::Nombre, "SAL_SUPERFICIE %s %@", true),
        c("architectureFenetres", Genre::Nombre, "SAL_NB_FENETRES %s %@"),
        c("pourcEnseignement", Genre::Pourcentage, "SAL_POUR_ENSEIGNEMENT %s %@", true),
        c("pourcRecherche", Genre::Pourcentage, "SAL_POUR_RECHERCHE %s %@", true),
        c("pourcAdministration", Genre::Pourcentage, "SAL_POUR_ADMINISTRATION %s %@", true),
        c("pourcDocumentation", Genre::Pourcentage, "SAL_POUR_DOCUMENTATION %s %@", true),
        c("pourcTechnique", Genre::Pourcentage, "SAL_POUR_TECHNIQUE %s %@", true),
        c("pourcVieSociale", Genre::Pourcentage, "TAV_VIE_SOCIAL %s %@", true),
        c("pourcAccueil", Genre::Pourcentage, "TAV_ACCUEIL %s %@", true),
        c("pourcSanitaire", Genre::Pourcentage, "TAV_SANITAIRE %s %@", true),
        c("pourcCirculation", Genre::Pourcentage, "TAV_CIRCULATION %s %@", true),
        c("pourcRestauration", Genre::Pourcentage, "TAV_RESTAURATION %s %@", true),
        c("pourcParking", Genre::Pourcentage, "TAV_PARKING %s %@", true),
        c("pourcSportif", Genre::Pourcentage, "TAV_SPORTIF %s %@", true),
        c("nombreChaises", Genre::Nombre, "SAL_NB_CHAISES %s %@"),
        c("nombreTables", Genre::Nombre, "SAL_NB_TABLES %s %@"),
        c("nombreBureaux", Genre::Nombre, "SAL_NB_BUREAUX %s %@"),
        c("nombreArmoires", Genre::Nombre, "SAL_NB_ARMOIRES %s %@"),
    };
    return liste;
}

eo::EOQualifierPtr RoomSearchBuilder::conditionDeBase()
{
    return eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("salReservable!=%@"), {eo::eoNull()});
}

QList<eo::EOSortOrdering> RoomSearchBuilder::ordreDesSalles()
{
    constexpr auto sansCasse = eo::EOSortOrdering::Selector::CompareCaseInsensitiveAscending;
    return {{QStringLiteral("appellation"), sansCasse},
            {QStringLiteral("salEtage"), sansCasse},
            {QStringLiteral("salPorte"), sansCasse}};
}

RoomSearchBuilder::Resultat RoomSearchBuilder::construire(const Valeurs &valeurs,
                                                          const RechercheTypeSalle &rechercheTypeSalle)
{
    Resultat resultat;
    eo::EOQualifierPtr conjonction = conditionDeBase();
    for (const Critere &critere : criteres()) {
        Arret arret = Arret::Aucun;
        const eo::EOQualifierPtr nouvelle =
            condition(critere, valeurs.value(critere.champ), rechercheTypeSalle, &arret);
        if (arret == Arret::PourcentageTropGrand) {
            resultat.pourcentageTropGrand = critere.champ;
            return resultat;
        }
        if (arret == Arret::Refuse) {
            resultat.champRefuse = critere.champ;
            return resultat;
        }
        if (!nouvelle)
            continue;
        // The new condition goes first, ahead of everything gathered so far.
        conjonction = std::make_shared<eo::EOAndQualifier>(QList<eo::EOQualifierPtr>{nouvelle, conjonction});
        resultat.champsRetenus.append(critere.champ);
    }
    resultat.qualifier = conjonction;
    return resultat;
}

eo::EOQualifierPtr RoomSearchBuilder::condition(const Critere &critere, const QVariant &valeur,
                                                const RechercheTypeSalle &rechercheTypeSalle, Arret *arret)
{
    if (critere.genre == Genre::Coche) {
        if (!valeur.toBool())
            return {};
        return eo::EOQualifier::qualifierWithQualifierFormat(critere.format);
    }

    const QString texte = valeur.toString();
    if (texte.isEmpty())
        return {};
    switch (critere.genre) {
    case Genre::TypeSalle: {
        if (KORConversions::recupererChaine(texte).isEmpty())
            return {};
        const QVariant numero = rechercheTypeSalle ? rechercheTypeSalle(texte) : QVariant();
        if (eo::isNullOrNone(numero)) {
            // A type removed since the pop-up was filled: its rooms are found by their type's label, so
            // that the criterion still means "rooms of this type" rather than "rooms without a type".
            return eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("tsalLibelle=%@"), {texte});
        }
        return eo::EOQualifier::qualifierWithQualifierFormat(critere.format, {numero});
    }
    case Genre::Nombre:
    case Genre::Pourcentage:
        return comparaison(critere, texte, arret);
    case Genre::Batiment:
        if (KORConversions::recupererChaine(texte).isEmpty())
            return {};
        return contient(critere.format, texte);
    case Genre::Etage:
        return eo::EOQualifier::qualifierWithQualifierFormat(critere.format, {texte});
    case Genre::Porte:
        return contient(critere.format, texte.toUpper());
    case Genre::Descriptif:
        return std::make_shared<eo::EOSQLQualifier>(entite(), critere.format, QVariantList{texte.toUpper()});
    case Genre::Coche:
        break;
    }
    return {};
}

eo::EOQualifierPtr RoomSearchBuilder::comparaison(const Critere &critere, const QString &texte, Arret *arret)
{
    // The field's own check first: what it refuses when the user leaves the field stops the search too.
    if (!RoomFieldValidator::verifier(critere.champ, texte, Etat::saisieRecherche).accepte) {
        *arret = Arret::Refuse;
        return {};
    }
    const framework::KORCheckedEntry entree = framework::KORFormHelpers::verifierChaine(
        texte, QStringLiteral("0123456789."), critere.formater, QStringLiteral("<>"));
    if (entree.isRefused()) {
        *arret = Arret::Refuse;
        return {};
    }

    // The value goes to the database as a number, so that the comparison is numeric on every column,
    // those read through to_number included.
    QVariant nombre;
    double valeur = 0;
    if (critere.formater) {
        const eo::EODecimal decimal = entree.valeur.value<eo::EODecimal>();
        if (!decimal.isValid())
            return {}; // a lone point: no number to compare with
        valeur = decimal.toDouble();
        nombre = decimal.toString();
    } else {
        valeur = double(entree.valeur.toLongLong());
        nombre = entree.valeur.toLongLong();
    }
    if (critere.genre == Genre::Pourcentage && float(valeur) > 100.0f) {
        *arret = Arret::PourcentageTropGrand;
        return {};
    }
    return std::make_shared<eo::EOSQLQualifier>(entite(), critere.format, QVariantList{entree.signe, nombre});
}

eo::EOQualifierPtr RoomSearchBuilder::contient(const QString &format, const QString &texte)
{
    // A * or ? typed in the text is a wild card of the pattern too ("B*1" finds B101 and B201); % and _ are
    // characters to find.
    return eo::EOQualifier::qualifierWithQualifierFormat(format,
                                                         {QLatin1Char('*') + texte + QLatin1Char('*')});
}

} // namespace rooms
