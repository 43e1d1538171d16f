#include "RoomSheet.h"

#include "EOValues.h"
#include "KORConversions.h"
#include "KORFormHelpers.h"
#include "RoomSubListFetch.h"

#include <QSet>

namespace rooms
{

using framework::KORConversions;

namespace
{

constexpr auto sansCasse = eo::EOSortOrdering::Selector::CompareCaseInsensitiveAscending;

enum class Forme {
    Texte,       // as stored
    Nombre,      // a whole number
    Decimal,     // two places
    OuiNon,      // a check box
    Pourcentage, // two places, left out when nothing
};

struct Champ {
    const char *cle;
    const char *libelle; // UTF-8, as the room form labels the field
    Forme forme;
};

struct Rubrique {
    const char *titre;
    QList<Champ> champs;
};

// The groups of the room form, on the two columns of the sheet.
const QList<Rubrique> &gauche()
{
    static const QList<Rubrique> rubriques{
        {"Architecture",
         {{"salCapacite", "Places", Forme::Nombre},
          {"salSuperficie", "Surface (m²)", Forme::Decimal},
          {"salNbFenetres", "Fenêtres", Forme::Nombre},
          {"tavHauteurMoyenPlafond", "Hauteur moyenne sous plafond (m)", Forme::Decimal},
          {"tavNombrePortes", "Portes", Forme::Nombre},
          {"tavSurfaceVitree", "Surface vitrée (m²)", Forme::Decimal}}},
        {"Mobilier",
         {{"salNbChaises", "Chaises", Forme::Nombre},
          {"salNbTables", "Tables", Forme::Nombre},
          {"salNbBureaux", "Bureaux", Forme::Nombre},
          {"salNbArmoires", "Armoires", Forme::Nombre}}},
    };
    return rubriques;
}

const QList<Rubrique> &droite()
{
    static const QList<Rubrique> rubriques{
        {"Équipement",
         {{"salReservable", "Réservable", Forme::OuiNon},
          {"salEcran", "Écran", Forme::OuiNon},
          {"salRetro", "Rétroprojecteur", Forme::OuiNon},
          {"salTelevision", "Télévision", Forme::OuiNon},
          {"salObscur", "Obscurité", Forme::OuiNon},
          {"salInsonorisee", "Insonorisée", Forme::OuiNon},
          {"salTableau", "Tableaux noirs", Forme::Texte},
          {"salTableauBlanc", "Tableaux blancs", Forme::Texte},
          {"salTableauPapier", "Tableaux papier", Forme::Texte},
          {"salNoPoste", "Postes de TP", Forme::Texte}}},
        {"Utilisation (%)",
         {{"salPourEnseignement", "Enseignement", Forme::Pourcentage},
          {"salPourRecherche", "Recherche", Forme::Pourcentage},
          {"salPourAdministration", "Administration", Forme::Pourcentage},
          {"salPourDocumentation", "Documentation", Forme::Pourcentage},
          {"salPourTechnique", "Technique", Forme::Pourcentage},
          {"tavVieSocial", "Vie sociale", Forme::Pourcentage},
          {"tavAccueil", "Accueil", Forme::Pourcentage},
          {"tavSanitaire", "Sanitaire", Forme::Pourcentage},
          {"tavCirculation", "Circulation", Forme::Pourcentage},
          {"tavRestauration", "Restauration", Forme::Pourcentage},
          {"tavParking", "Parking", Forme::Pourcentage},
          {"tavSportif", "Sportif", Forme::Pourcentage}}},
    };
    return rubriques;
}

QString texte(const eo::EORecord &record, const char *cle)
{
    return KORConversions::recupererChaine(record->valueForKey(QString::fromLatin1(cle)));
}

// The field as the sheet shows it; "" when it has no value to show.
QString valeurDuChamp(const eo::EORecord &salle, const Champ &champ)
{
    const QVariant valeur = salle->valueForKey(QString::fromLatin1(champ.cle));
    if (KORConversions::recupererChaine(valeur).isEmpty())
        return {};
    switch (champ.forme) {
    case Forme::Texte:
    case Forme::Nombre:
        return KORConversions::recupererChaine(valeur);
    case Forme::Decimal:
        return RoomSheet::decimal(valeur);
    case Forme::OuiNon: {
        const QString drapeau = KORConversions::recupererChaine(valeur);
        return drapeau == QLatin1String("O")   ? QStringLiteral("Oui")
               : drapeau == QLatin1String("N") ? QStringLiteral("Non")
                                               : drapeau;
    }
    case Forme::Pourcentage: {
        // A use the room does not have is left out: the sheet lists the uses it has.
        const QString chiffres = RoomSheet::decimal(valeur);
        return chiffres == QLatin1String("0,00") ? QString() : chiffres;
    }
    }
    return {};
}

QVariantList rubriques(const eo::EORecord &salle, const QList<Rubrique> &liste)
{
    QVariantList resultat;
    for (const Rubrique &rubrique : liste) {
        QVariantList lignes;
        for (const Champ &champ : rubrique.champs) {
            const QString valeur = valeurDuChamp(salle, champ);
            if (!valeur.isEmpty())
                lignes.append(QVariantMap{{QStringLiteral("libelle"), QString::fromUtf8(champ.libelle)},
                                          {QStringLiteral("valeur"), valeur}});
        }
        if (!lignes.isEmpty())
            resultat.append(QVariantMap{{QStringLiteral("titre"), QString::fromUtf8(rubrique.titre)},
                                        {QStringLiteral("lignes"), lignes}});
    }
    return resultat;
}

QString nomDuDepartement(const QHash<QString, eo::EORecord> &departements, const QString &code,
                         const char *cle)
{
    const eo::EORecord departement = departements.value(code);
    const QString nom = departement ? texte(departement, cle) : QString();
    return nom.isEmpty() ? code : nom;
}

// The kind of an outlet in words, its letter kept as the form shows it.
QString genreDePrise(const QString &lettre)
{
    if (lettre == QLatin1String("I"))
        return QStringLiteral("Informatique (I)");
    if (lettre == QLatin1String("T"))
        return QStringLiteral("Téléphone (T)");
    if (lettre == QLatin1String("V"))
        return QStringLiteral("Vidéo (V)");
    return lettre;
}

QString nombreFrancais(const QVariant &valeur)
{
    return KORConversions::recupererChaine(eo::EOValues::displayText(valeur))
        .replace(QLatin1Char('.'), QLatin1Char(','));
}

} // namespace

QString RoomSheet::decimal(const QVariant &valeur)
{
    if (KORConversions::recupererChaine(valeur).isEmpty())
        return {};
    return framework::KORFormHelpers::formatter(valeur).replace(QLatin1Char('.'), QLatin1Char(','));
}

QVariantMap RoomSheet::fiche(const eo::EORecord &salle, const Listes &listes)
{
    QVariantMap fiche;
    fiche.insert(QStringLiteral("batiment"), texte(salle, "appellation"));
    fiche.insert(QStringLiteral("etage"), texte(salle, "salEtage"));
    fiche.insert(QStringLiteral("porte"), texte(salle, "salPorte"));
    fiche.insert(QStringLiteral("type"), texte(salle, "tsalLibelle"));
    fiche.insert(QStringLiteral("numero"), texte(salle, "salNumero"));
    fiche.insert(QStringLiteral("rubriquesGauche"), rubriques(salle, gauche()));
    fiche.insert(QStringLiteral("rubriquesDroite"), rubriques(salle, droite()));
    const QString descriptif = texte(salle, "salDescriptif");
    fiche.insert(QStringLiteral("descriptif"), descriptif);
    // Its lines as typed: HTML would run them together.
    QVariantList lignes;
    for (const QString &ligne : descriptif.split(QLatin1Char('\n')))
        lignes.append(QVariantMap{{QStringLiteral("ligne"), ligne}});
    fiche.insert(QStringLiteral("lignesDescriptif"), descriptif.isEmpty() ? QVariantList() : lignes);

    QVariantList depositaires;
    for (const eo::EORecord &depositaire : listes.depositaires) {
        const QString code = texte(depositaire, "cStructure");
        depositaires.append(
            QVariantMap{{QStringLiteral("code"), code},
                        {QStringLiteral("nom"), nomDuDepartement(listes.departements, code, "llStructure")}});
    }
    fiche.insert(QStringLiteral("depositaires"), depositaires);
    fiche.insert(QStringLiteral("aUnDepositaire"), !depositaires.isEmpty());

    QVariantList prises;
    for (const eo::EORecord &prise : listes.prises)
        prises.append(QVariantMap{{QStringLiteral("type"), genreDePrise(texte(prise, "priType"))},
                                  {QStringLiteral("code"), texte(prise, "priCode")}});
    fiche.insert(QStringLiteral("prises"), prises);
    fiche.insert(QStringLiteral("aDesPrises"), !prises.isEmpty());

    QVariantList materiels;
    for (const eo::EORecord &ligne : listes.materiels)
        materiels.append(QVariantMap{{QStringLiteral("famille"), texte(ligne, "pereLibelle")},
                                     {QStringLiteral("materiel"), texte(ligne, "tavLibelle")},
                                     {QStringLiteral("quantite"),
                                      nombreFrancais(ligne->valueForKey(QStringLiteral("dsaPourcentage")))},
                                     {QStringLiteral("unite"), texte(ligne, "uniAbrev")}});
    fiche.insert(QStringLiteral("materiels"), materiels);
    fiche.insert(QStringLiteral("aDuMateriel"), !materiels.isEmpty());

    QVariantList occupations;
    for (const eo::EORecord &ligne : listes.occupations) {
        const QString code = texte(ligne, "cStructure");
        occupations.append(QVariantMap{
            {QStringLiteral("service"), nomDuDepartement(listes.departements, code, "llStructure")},
            {QStringLiteral("occupation"), texte(ligne, "tocLibelle")},
            {QStringLiteral("pourcentage"),
             nombreFrancais(ligne->valueForKey(QStringLiteral("detPourcentage")))}});
    }
    fiche.insert(QStringLiteral("occupations"), occupations);
    fiche.insert(QStringLiteral("aDesOccupations"), !occupations.isEmpty());
    return fiche;
}

QVariantList RoomSheet::fiches(data::KORDataBusOC &dataBus, const QList<eo::EORecord> &salles)
{
    QList<qint64> numeros;
    for (const eo::EORecord &salle : salles)
        numeros.append(salle->valueForKey(QStringLiteral("salNumero")).toLongLong());
    const RoomSubListFetch::ParSalle depositaires =
        RoomSubListFetch::lire(dataBus, QStringLiteral("DepositaireVix"), numeros);
    const RoomSubListFetch::ParSalle prises = RoomSubListFetch::lire(
        dataBus, QStringLiteral("Prises"), numeros,
        {{QStringLiteral("priType"), sansCasse}, {QStringLiteral("priCode"), sansCasse}});
    const RoomSubListFetch::ParSalle materiels = RoomSubListFetch::lire(
        dataBus, QStringLiteral("DetailSalle"), numeros,
        {{QStringLiteral("pereLibelle"), sansCasse}, {QStringLiteral("tavLibelle"), sansCasse}});
    const RoomSubListFetch::ParSalle occupations =
        RoomSubListFetch::lire(dataBus, QStringLiteral("DetailPourcentage"), numeros);

    // The departments named by custodians and occupation lines, read once for every sheet.
    QStringList codes;
    QSet<QString> vus;
    for (const RoomSubListFetch::ParSalle *parSalle : {&depositaires, &occupations}) {
        for (const QList<eo::EORecord> &lignes : *parSalle) {
            for (const eo::EORecord &ligne : lignes) {
                const QString code = texte(ligne, "cStructure");
                if (!code.isEmpty() && !vus.contains(code)) {
                    vus.insert(code);
                    codes.append(code);
                }
            }
        }
    }
    const QHash<QString, eo::EORecord> departements = RoomSubListFetch::parCle(
        dataBus, QStringLiteral("StructureZebVix"), QStringLiteral("cStructure"), codes);

    QVariantList resultat;
    resultat.reserve(salles.size());
    for (qsizetype i = 0; i < salles.size(); ++i) {
        const qint64 numero = numeros.at(i);
        const Listes listes{depositaires.value(numero), prises.value(numero), materiels.value(numero),
                            occupations.value(numero), departements};
        resultat.append(fiche(salles.at(i), listes));
    }
    return resultat;
}

} // namespace rooms
