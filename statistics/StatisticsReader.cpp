#include "StatisticsReader.h"

#include "EONull.h"
#include "KORDataBusOC.h"
#include "UseKinds.h"

#include <QCollator>
#include <QHash>
#include <QLocale>
#include <QStringList>
#include <algorithm>

namespace statistics
{

namespace
{

const QString numeroDeSalle = QStringLiteral("v.SAL_NUMERO");

// A surface or a percentage as a whole number of hundredths: the same exact integer on both databases
// (a NUMERIC on the server, a binary double in the embedded database).
QString centiemes(const QString &colonne)
{
    return QStringLiteral("CAST(ROUND(COALESCE(%1, 0) * 100) AS BIGINT)").arg(colonne);
}

QString surfaceEnCentiemes()
{
    return QStringLiteral("CAST(ROUND(v.SAL_SUPERFICIE * 100) AS BIGINT)");
}

// Managed rooms only, as the room search without criteria lists them.
QString depuisLesSalles(const QString &condition)
{
    return QStringLiteral("FROM SALLES_VIX v WHERE v.SAL_RESERVABLE IS NOT NULL AND %1").arg(condition);
}

QVariant colonne(const QVariantMap &ligne, int index)
{
    return ligne.value(QStringLiteral("Attribute%1").arg(index));
}

bool vide(const QVariant &valeur)
{
    return !valeur.isValid() || eo::isNullOrNone(valeur);
}

qint64 entier(const QVariant &valeur)
{
    return vide(valeur) ? 0 : valeur.toLongLong();
}

QString texte(const QVariant &valeur)
{
    return vide(valeur) ? QString() : valeur.toString();
}

// The key of a group as text for the table of partial sums (none stays apart from any real key).
QString cleDe(const QVariant &valeur)
{
    return vide(valeur) ? QStringLiteral("\x01") : valeur.toString();
}

template <class T> void trierParSurface(QList<T> &liste, qint64 T::*surface)
{
    QCollator francais{QLocale(QLocale::French, QLocale::France)};
    francais.setCaseSensitivity(Qt::CaseInsensitive);
    francais.setNumericMode(true);
    std::stable_sort(liste.begin(), liste.end(), [&](const T &a, const T &b) {
        if (a.*surface != b.*surface)
            return a.*surface > b.*surface;
        return francais.compare(a.libelle, b.libelle) < 0;
    });
}

} // namespace

const QList<StatisticsReader::Vue> &StatisticsReader::vues()
{
    static const QList<Vue> liste{Vue::Batiments, Vue::Types, Vue::Departements, Vue::NonAffecte};
    return liste;
}

QString StatisticsReader::requete(Vue vue, const QString &condition)
{
    const QString surface = surfaceEnCentiemes();
    switch (vue) {
    case Vue::Batiments: {
        // A building's rooms, seats and surfaces, and its surface by use.
        QStringList parUsage;
        for (const UseKind &usage : UseKinds::usages())
            parUsage.append(QStringLiteral("COALESCE(SUM(%1 * %2), 0)")
                                .arg(surface, centiemes(QStringLiteral("v.") + usage.colonne)));
        return QStringLiteral(
                   "SELECT v.C_LOCAL, MAX(v.APPELLATION), COUNT(*), COALESCE(SUM(v.SAL_CAPACITE), 0), "
                   "COALESCE(SUM(%1), 0), COUNT(v.SAL_SUPERFICIE), "
                   "COALESCE(SUM(%2), 0), %3 %4 GROUP BY v.C_LOCAL")
            .arg(surface, QStringLiteral("CAST(ROUND(v.TAV_SURFACE_VITREE * 100) AS BIGINT)"),
                 parUsage.join(QStringLiteral(", ")), depuisLesSalles(condition));
    }
    case Vue::Types:
        return QStringLiteral(
                   "SELECT v.TSAL_NUMERO, MAX(v.TSAL_LIBELLE), COUNT(*), COALESCE(SUM(v.SAL_CAPACITE), 0), "
                   "COALESCE(SUM(%1), 0), COUNT(v.SAL_SUPERFICIE) %2 GROUP BY v.TSAL_NUMERO")
            .arg(surface, depuisLesSalles(condition));
    case Vue::Departements:
        // Each occupation line weighs the room's surface by its percentage (a whole number), in millionths.
        return QStringLiteral("SELECT d.C_STRUCTURE, MAX(st.LC_STRUCTURE), MAX(st.LL_STRUCTURE), "
                              "COUNT(DISTINCT v.SAL_NUMERO), COALESCE(SUM(%1 * d.DET_POURCENTAGE * 100), 0) "
                              "FROM SALLES_VIX v JOIN DETAIL_POURCENTAGE d ON d.SAL_NUMERO = v.SAL_NUMERO "
                              "LEFT JOIN SOLMA.STRUCTURE st ON st.C_STRUCTURE = d.C_STRUCTURE "
                              "WHERE v.SAL_RESERVABLE IS NOT NULL AND %2 GROUP BY d.C_STRUCTURE")
            .arg(surface, condition);
    case Vue::NonAffecte:
        // What the lines of a room leave over (all of it without lines; nothing past 100 %).
        return QStringLiteral(
                   "SELECT COUNT(*), COALESCE(SUM(CASE WHEN o.TOTAL IS NULL THEN 1 ELSE 0 END), 0), "
                   "COALESCE(SUM(o.SURFACE * (100 - COALESCE(o.TOTAL, 0)) * 100), 0) "
                   "FROM (SELECT %1 AS SURFACE, (SELECT SUM(d.DET_POURCENTAGE) FROM DETAIL_POURCENTAGE d "
                   "WHERE d.SAL_NUMERO = v.SAL_NUMERO) AS TOTAL %2) o "
                   "WHERE o.TOTAL IS NULL OR o.TOTAL < 100")
            .arg(surface, depuisLesSalles(condition));
    }
    return QString();
}

RoomStatistics StatisticsReader::lire(data::KORDataBusOC &dataBus, const RoomScope &scope)
{
    RoomStatistics resultat;
    QHash<QString, qsizetype> batiments;
    QHash<QString, qsizetype> types;
    QHash<QString, qsizetype> departements;
    const qsizetype nombreUsages = UseKinds::nombre();

    // Each part's sums are added to those of the parts before: the parts cover disjoint rooms.
    for (const RoomScope::Part &part : scope.parts(numeroDeSalle)) {
        for (const QVariantMap &ligne :
             dataBus.executeSQLQuery(requete(Vue::Batiments, part.condition), part.bindings)) {
            const QVariant cle = colonne(ligne, 0);
            auto place = batiments.constFind(cleDe(cle));
            if (place == batiments.cend()) {
                place = batiments.insert(cleDe(cle), resultat.parBatiment.size());
                const QString nom = texte(colonne(ligne, 1));
                const QString libelle = vide(cle) ? libelleSansBatiment() : nom.isEmpty() ? texte(cle) : nom;
                resultat.parBatiment.append({vide(cle) ? QVariant() : cle, libelle});
                RoomStatistics::Usages usages;
                usages.cle = resultat.parBatiment.last().cle;
                usages.libelle = libelle;
                usages.parUsage = QList<qint64>(nombreUsages, 0);
                resultat.parUsage.append(usages);
            }
            RoomStatistics::Groupe &groupe = resultat.parBatiment[*place];
            RoomStatistics::Usages &usages = resultat.parUsage[*place];
            const qint64 sallesLues = entier(colonne(ligne, 2));
            const qint64 sansSurface = sallesLues - entier(colonne(ligne, 5));
            groupe.salles += sallesLues;
            groupe.places += entier(colonne(ligne, 3));
            groupe.surface += entier(colonne(ligne, 4));
            groupe.sansSurface += sansSurface;
            groupe.surfaceVitree += entier(colonne(ligne, 6));
            usages.salles += sallesLues;
            usages.sansSurface += sansSurface;
            usages.surface += entier(colonne(ligne, 4));
            for (qsizetype i = 0; i < nombreUsages; ++i)
                usages.parUsage[i] += entier(colonne(ligne, int(7 + i)));
        }
        for (const QVariantMap &ligne :
             dataBus.executeSQLQuery(requete(Vue::Types, part.condition), part.bindings)) {
            const QVariant cle = colonne(ligne, 0);
            auto place = types.constFind(cleDe(cle));
            if (place == types.cend()) {
                place = types.insert(cleDe(cle), resultat.parType.size());
                const QString libelle = texte(colonne(ligne, 1));
                resultat.parType.append({vide(cle) ? QVariant() : cle,
                                         vide(cle) || libelle.isEmpty() ? libelleSansType() : libelle});
            }
            RoomStatistics::Groupe &groupe = resultat.parType[*place];
            const qint64 sallesLues = entier(colonne(ligne, 2));
            groupe.salles += sallesLues;
            groupe.places += entier(colonne(ligne, 3));
            groupe.surface += entier(colonne(ligne, 4));
            groupe.sansSurface += sallesLues - entier(colonne(ligne, 5));
        }
        for (const QVariantMap &ligne :
             dataBus.executeSQLQuery(requete(Vue::Departements, part.condition), part.bindings)) {
            const QString code = texte(colonne(ligne, 0));
            auto place = departements.constFind(code);
            if (place == departements.cend()) {
                place = departements.insert(code, resultat.parDepartement.size());
                const QString court = texte(colonne(ligne, 1));
                resultat.parDepartement.append(
                    {code, court.isEmpty() ? code : court, texte(colonne(ligne, 2))});
            }
            RoomStatistics::Departement &departement = resultat.parDepartement[*place];
            departement.salles += entier(colonne(ligne, 3));
            departement.surface += entier(colonne(ligne, 4));
        }
        for (const QVariantMap &ligne :
             dataBus.executeSQLQuery(requete(Vue::NonAffecte, part.condition), part.bindings)) {
            resultat.sallesNonAffectees += entier(colonne(ligne, 0));
            resultat.sallesSansOccupation += entier(colonne(ligne, 1));
            resultat.nonAffecte += entier(colonne(ligne, 2));
        }
    }

    // The use view lists the buildings in the order of the building view.
    trierParSurface(resultat.parBatiment, &RoomStatistics::Groupe::surface);
    trierParSurface(resultat.parType, &RoomStatistics::Groupe::surface);
    trierParSurface(resultat.parUsage, &RoomStatistics::Usages::surface);
    QCollator francais{QLocale(QLocale::French, QLocale::France)};
    francais.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(resultat.parDepartement.begin(), resultat.parDepartement.end(),
                     [&](const RoomStatistics::Departement &a, const RoomStatistics::Departement &b) {
                         if (a.surface != b.surface)
                             return a.surface > b.surface;
                         return francais.compare(a.nomCourt, b.nomCourt) < 0;
                     });
    return resultat;
}

QList<qint64> StatisticsReader::salles(data::KORDataBusOC &dataBus, const RoomScope &scope,
                                       const RoomFilter &filtre)
{
    QString condition;
    QVariantList valeurs;
    switch (filtre.kind) {
    case RoomFilter::Kind::Aucun:
        return {};
    case RoomFilter::Kind::Batiment:
        condition =
            filtre.cle.isValid() ? QStringLiteral("v.C_LOCAL = ?") : QStringLiteral("v.C_LOCAL IS NULL");
        break;
    case RoomFilter::Kind::Type:
        condition = filtre.cle.isValid() ? QStringLiteral("v.TSAL_NUMERO = ?")
                                         : QStringLiteral("v.TSAL_NUMERO IS NULL");
        break;
    case RoomFilter::Kind::Departements: {
        if (filtre.codes.isEmpty())
            return {};
        const QStringList marques(filtre.codes.size(), QStringLiteral("?"));
        condition =
            QStringLiteral("EXISTS (SELECT 1 FROM DETAIL_POURCENTAGE d WHERE d.SAL_NUMERO = v.SAL_NUMERO "
                           "AND d.C_STRUCTURE IN (%1))")
                .arg(marques.join(QStringLiteral(", ")));
        for (const QString &code : filtre.codes)
            valeurs.append(code);
        break;
    }
    case RoomFilter::Kind::NonAffecte:
        condition = QStringLiteral("COALESCE((SELECT SUM(d.DET_POURCENTAGE) FROM DETAIL_POURCENTAGE d "
                                   "WHERE d.SAL_NUMERO = v.SAL_NUMERO), 0) < 100");
        break;
    }
    if (filtre.cle.isValid() &&
        (filtre.kind == RoomFilter::Kind::Batiment || filtre.kind == RoomFilter::Kind::Type))
        valeurs.append(filtre.cle);

    QList<qint64> numeros;
    for (const RoomScope::Part &part : scope.parts(numeroDeSalle)) {
        const QString sql =
            QStringLiteral("SELECT v.SAL_NUMERO %1 AND %2").arg(depuisLesSalles(part.condition), condition);
        for (const QVariantMap &ligne : dataBus.executeSQLQuery(sql, part.bindings + valeurs))
            numeros.append(entier(colonne(ligne, 0)));
    }
    return numeros;
}

} // namespace statistics
