#include "RoomExportColumns.h"

#include "EODisplayGroup.h"

#include <QHeaderView>
#include <QTableView>

namespace rooms
{

namespace
{

using spreadsheet::ColumnKind;

RoomExportColumn texte(const char *key, const QString &title)
{
    return {QString::fromLatin1(key), {title, ColumnKind::Text}, false, {}};
}
RoomExportColumn entier(const char *key, const QString &title)
{
    return {QString::fromLatin1(key), {title, ColumnKind::Integer}, false, {}};
}
RoomExportColumn decimal(const char *key, const QString &title)
{
    return {QString::fromLatin1(key), {title, ColumnKind::Decimal, 2}, false, {}};
}
RoomExportColumn ouiNon(const char *key, const QString &title)
{
    return {QString::fromLatin1(key), {title, ColumnKind::Text}, true, {}};
}

} // namespace

const QList<RoomExportColumn> &RoomExportColumns::toutes()
{
    // The attributes the reference schema keeps for other applications (exams, access for the disabled,
    // ...) are left out: the room tab neither shows nor writes them.
    static const QList<RoomExportColumn> colonnes{
        entier("salNumero", QStringLiteral("N° de salle")),
        texte("cLocal", QStringLiteral("Code du bâtiment")),
        texte("appellation", QStringLiteral("Bâtiment")),
        texte("salEtage", QStringLiteral("Étage")),
        texte("salPorte", QStringLiteral("Porte")),
        texte("tsalLibelle", QStringLiteral("Type de salle")),
        ouiNon("salReservable", QStringLiteral("Réservable")),
        entier("salCapacite", QStringLiteral("Places")),
        decimal("salSuperficie", QStringLiteral("Surface (m²)")),
        entier("salNbFenetres", QStringLiteral("Fenêtres")),
        decimal("tavHauteurMoyenPlafond", QStringLiteral("Hauteur moyenne sous plafond (m)")),
        entier("tavNombrePortes", QStringLiteral("Portes")),
        decimal("tavSurfaceVitree", QStringLiteral("Surface vitrée (m²)")),
        ouiNon("salEcran", QStringLiteral("Écran")),
        ouiNon("salRetro", QStringLiteral("Rétroprojecteur")),
        ouiNon("salTelevision", QStringLiteral("Télévision")),
        ouiNon("salObscur", QStringLiteral("Obscurité")),
        ouiNon("salInsonorisee", QStringLiteral("Insonorisée")),
        // Stored as text, typed as counts.
        entier("salTableau", QStringLiteral("Tableaux noirs")),
        entier("salTableauBlanc", QStringLiteral("Tableaux blancs")),
        entier("salTableauPapier", QStringLiteral("Tableaux papier")),
        entier("salNoPoste", QStringLiteral("Postes de TP")),
        entier("salNbChaises", QStringLiteral("Chaises")),
        entier("salNbTables", QStringLiteral("Tables")),
        entier("salNbBureaux", QStringLiteral("Bureaux")),
        entier("salNbArmoires", QStringLiteral("Armoires")),
        decimal("salPourEnseignement", QStringLiteral("Enseignement (%)")),
        decimal("salPourRecherche", QStringLiteral("Recherche (%)")),
        decimal("salPourAdministration", QStringLiteral("Administration (%)")),
        decimal("salPourDocumentation", QStringLiteral("Documentation (%)")),
        decimal("salPourTechnique", QStringLiteral("Technique (%)")),
        decimal("tavVieSocial", QStringLiteral("Vie sociale (%)")),
        decimal("tavAccueil", QStringLiteral("Accueil (%)")),
        decimal("tavSanitaire", QStringLiteral("Sanitaire (%)")),
        decimal("tavCirculation", QStringLiteral("Circulation (%)")),
        decimal("tavRestauration", QStringLiteral("Restauration (%)")),
        decimal("tavParking", QStringLiteral("Parking (%)")),
        decimal("tavSportif", QStringLiteral("Sportif (%)")),
        texte("salIdentAcces", QStringLiteral("Identifiant d'accès")),
        texte("salNature", QStringLiteral("Nature")),
        texte("salDescriptif", QStringLiteral("Descriptif")),
    };
    return colonnes;
}

RoomExportColumn RoomExportColumns::pourCle(const QString &key)
{
    for (const RoomExportColumn &colonne : toutes()) {
        if (colonne.key == key)
            return colonne;
    }
    // The room type's label reached through its relationship is the label itself.
    if (key == QLatin1String("toTypeSalle_tsalLibelle") || key == QLatin1String("toTypeSalle.tsalLibelle"))
        return {key, pourCle(QStringLiteral("tsalLibelle")).column, false, {}};
    return {key, {key, spreadsheet::ColumnKind::Text}, false, {}};
}

QList<RoomExportColumn> RoomExportColumns::affichees(const QTableView &vue, const eo::EODisplayGroup &groupe)
{
    const QList<eo::EODisplayGroup::Column> &colonnes = groupe.columns();
    const QHeaderView *entete = vue.horizontalHeader();
    QList<RoomExportColumn> resultat;
    for (int visuelle = 0; visuelle < entete->count(); ++visuelle) {
        const int logique = entete->logicalIndex(visuelle);
        if (logique < 0 || logique >= colonnes.size() || entete->isSectionHidden(logique))
            continue;
        RoomExportColumn colonne = pourCle(colonnes.at(logique).key);
        colonne.column.title = colonnes.at(logique).title;
        resultat.append(colonne);
    }
    return resultat;
}

} // namespace rooms
