#include "ChangeHistory.h"

#include "EOException.h"
#include "EONull.h"
#include "EOValues.h"
#include "KORDataBusOC.h"

#include <QLocale>
#include <QTimeZone>
#include <algorithm>

namespace history
{

namespace
{

const QString colonnes = QStringLiteral(
    "h.HIS_ORDRE, h.HIS_DATE, h.HIS_TRANSACTION, h.HIS_UTILISATEUR, h.HIS_ROLE, h.HIS_TABLE, h.HIS_LIGNE, "
    "h.HIS_CHAMP, h.HIS_ANCIENNE, h.HIS_NOUVELLE, h.HIS_OPERATION");

// The periods during which a building held each of its codes, from the present one back through the
// changes of its code: (code, jusque, depuis), the rows of that code numbered after depuis and before
// jusque. A code that another building held earlier, or holds later, is left to that building.
const QString periodesDuBatiment = QStringLiteral(
    "WITH RECURSIVE codes(code, jusque) AS ("
    " SELECT CAST(? AS TEXT), CAST(NULL AS BIGINT)"
    " UNION"
    " SELECT CAST(h.HIS_ANCIENNE AS TEXT), h.HIS_ORDRE FROM HISTORIQUE h JOIN codes c ON h.C_LOCAL = c.code"
    " WHERE h.HIS_TABLE = 'LOCAL' AND h.HIS_CHAMP = 'C_LOCAL' AND h.HIS_OPERATION = 'modification'"
    "   AND (c.jusque IS NULL OR h.HIS_ORDRE < c.jusque)"
    "   AND h.HIS_ORDRE > COALESCE((SELECT MAX(r.HIS_ORDRE) FROM HISTORIQUE r"
    "       WHERE r.HIS_TABLE = 'LOCAL' AND r.HIS_CHAMP = 'C_LOCAL' AND r.HIS_ANCIENNE = c.code"
    "         AND r.HIS_OPERATION = 'modification' AND (c.jusque IS NULL OR r.HIS_ORDRE < c.jusque)), 0)"
    "), periodes AS ("
    " SELECT c.code, c.jusque, COALESCE((SELECT MAX(r.HIS_ORDRE) FROM HISTORIQUE r"
    "     WHERE r.HIS_TABLE = 'LOCAL' AND r.HIS_CHAMP = 'C_LOCAL' AND r.HIS_ANCIENNE = c.code"
    "       AND r.HIS_OPERATION = 'modification' AND (c.jusque IS NULL OR r.HIS_ORDRE < c.jusque)), 0) AS "
    "depuis"
    " FROM codes c)");

QString texte(const QVariant &valeur)
{
    if (eo::isNullOrNone(valeur))
        return {};
    return eo::EOValues::displayText(valeur);
}

QString date(const QDateTime &utc, const char *format)
{
    return QLocale(QLocale::French, QLocale::France).toString(utc.toLocalTime(), QLatin1String(format));
}

// Rethrows a failed read, in words the user can act on when the database has no history yet.
[[noreturn]] void echec(data::KORDataBusOC &dataBus, const eo::EOException &erreur)
{
    bool table = true;
    try {
        dataBus.executeSQLQuery(QStringLiteral("SELECT COUNT(*) FROM HISTORIQUE WHERE 1 = 0"));
    } catch (const eo::EOException &) {
        table = false;
    }
    if (table)
        throw erreur;
    throw eo::EOException(
        eo::EOException::Kind::Database,
        QStringLiteral("Cette base de données n'a pas encore d'historique des modifications : "
                       "mettez-la à jour avec locavia-admin."));
}

} // namespace

QList<Change> ChangeHistory::lire(data::KORDataBusOC &dataBus, const QString &sql,
                                  const QVariantList &valeurs)
{
    QList<QVariantMap> lignes;
    try {
        lignes = dataBus.executeSQLQuery(sql, valeurs);
    } catch (const eo::EOException &erreur) {
        echec(dataBus, erreur);
    }
    QList<Change> changements;
    changements.reserve(lignes.size());
    for (const QVariantMap &ligne : std::as_const(lignes)) {
        auto colonne = [&ligne](int i) { return ligne.value(QStringLiteral("Attribute%1").arg(i)); };
        Change c;
        c.ordre = colonne(0).toLongLong();
        c.date = dateUtc(texte(colonne(1)));
        c.transaction = colonne(2).toLongLong();
        c.utilisateur = texte(colonne(3));
        c.role = texte(colonne(4));
        c.table = texte(colonne(5));
        c.ligne = texte(colonne(6));
        c.champ = texte(colonne(7));
        c.ancienne = texte(colonne(8));
        c.nouvelle = texte(colonne(9));
        c.operation = texte(colonne(10));
        changements.append(c);
    }
    // Newest first, but the fields of one transaction in the order they were written: the record before its
    // complement, the columns in the table's order.
    for (qsizetype debut = 0; debut < changements.size();) {
        qsizetype fin = debut + 1;
        while (fin < changements.size() &&
               changements.at(fin).transaction == changements.at(debut).transaction)
            ++fin;
        std::reverse(changements.begin() + debut, changements.begin() + fin);
        debut = fin;
    }
    return changements;
}

QList<Change> ChangeHistory::deLaSalle(data::KORDataBusOC &dataBus, qint64 numero, qint64 apres)
{
    return lire(dataBus,
                QStringLiteral("SELECT %1 FROM HISTORIQUE h WHERE h.SAL_NUMERO = ? AND h.HIS_ORDRE > ? "
                               "ORDER BY h.HIS_DATE DESC, h.HIS_ORDRE DESC")
                    .arg(colonnes),
                {numero, apres});
}

QList<Change> ChangeHistory::duBatiment(data::KORDataBusOC &dataBus, const QString &code, qint64 apres)
{
    return lire(
        dataBus,
        periodesDuBatiment +
            QStringLiteral(" SELECT %1 FROM HISTORIQUE h JOIN periodes p ON h.C_LOCAL = p.code"
                           " WHERE h.HIS_ORDRE > p.depuis AND (p.jusque IS NULL OR h.HIS_ORDRE < p.jusque)"
                           "   AND h.HIS_ORDRE > ? ORDER BY h.HIS_DATE DESC, h.HIS_ORDRE DESC")
                .arg(colonnes),
        {code, apres});
}

QList<Change> ChangeHistory::codeQuitte(data::KORDataBusOC &dataBus, const QString &code, qint64 apres)
{
    return lire(
        dataBus,
        QStringLiteral("SELECT %1 FROM HISTORIQUE h WHERE h.HIS_TABLE = 'LOCAL' AND h.HIS_CHAMP = 'C_LOCAL' "
                       "AND h.HIS_ANCIENNE = ? AND h.HIS_ORDRE > ? ORDER BY h.HIS_ORDRE DESC")
            .arg(colonnes),
        {code, apres});
}

qint64 ChangeHistory::dernierDeLaSalle(data::KORDataBusOC &dataBus, qint64 numero)
{
    try {
        const QList<QVariantMap> lignes = dataBus.executeSQLQuery(
            QStringLiteral("SELECT MAX(HIS_ORDRE) FROM HISTORIQUE WHERE SAL_NUMERO = ?"), {numero});
        return lignes.isEmpty() ? 0 : lignes.first().value(QStringLiteral("Attribute0")).toLongLong();
    } catch (const eo::EOException &erreur) {
        echec(dataBus, erreur);
    }
}

qint64 ChangeHistory::dernierDuBatiment(data::KORDataBusOC &dataBus, const QString &code)
{
    try {
        const QList<QVariantMap> lignes = dataBus.executeSQLQuery(
            QStringLiteral("SELECT MAX(HIS_ORDRE) FROM HISTORIQUE WHERE C_LOCAL = ?"), {code});
        return lignes.isEmpty() ? 0 : lignes.first().value(QStringLiteral("Attribute0")).toLongLong();
    } catch (const eo::EOException &erreur) {
        echec(dataBus, erreur);
    }
}

HistoryFieldLabels::References ChangeHistory::references(data::KORDataBusOC &dataBus)
{
    HistoryFieldLabels::References references;
    const std::pair<QHash<QString, QString> *, const char *> listes[] = {
        {&references.typesSalle, "SELECT TSAL_NUMERO, TSAL_LIBELLE FROM TYPE_SALLE"},
        {&references.unites, "SELECT UNI_ORDRE, UNI_ABREV FROM UNITE"},
        {&references.typesMateriel, "SELECT TAV_TYPE, TAV_LIBELLE FROM TYPE_MATERIEL"},
        {&references.typesOccupation, "SELECT TOC_ORDRE, TOC_LIBELLE FROM TYPE_OCCUPATION"},
        {&references.sites, "SELECT C_IMPLANTATION, LC_IMPLANTATION_GEO FROM IMPLANTATION_GEO"},
    };
    for (const auto &[liste, sql] : listes) {
        for (const QVariantMap &ligne : dataBus.executeSQLQuery(QString::fromLatin1(sql)))
            liste->insert(texte(ligne.value(QStringLiteral("Attribute0"))),
                          texte(ligne.value(QStringLiteral("Attribute1"))));
    }
    return references;
}

QDateTime ChangeHistory::dateUtc(const QString &valeur)
{
    // "YYYY-MM-DD HH:MM:SS" with an optional fraction of any length.
    const QString jour = valeur.left(10);
    const QString heure = valeur.mid(11, 8);
    const QDate d = QDate::fromString(jour, QStringLiteral("yyyy-MM-dd"));
    const QTime t = QTime::fromString(heure, QStringLiteral("HH:mm:ss"));
    if (!d.isValid() || !t.isValid())
        return {};
    int millisecondes = 0;
    if (valeur.size() > 20 && valeur.at(19) == u'.')
        millisecondes = valeur.mid(20, 3).leftJustified(3, u'0').toInt();
    return QDateTime(d, t.addMSecs(millisecondes), QTimeZone::utc());
}

QList<Change> ChangeHistory::derniereTransaction(const QList<Change> &changements)
{
    QList<Change> derniers;
    for (const Change &c : changements) {
        if (c.transaction != changements.first().transaction)
            break;
        derniers.append(c);
    }
    return derniers;
}

QString ChangeHistory::auteur(const Change &changement)
{
    const QString qui =
        changement.utilisateur.isEmpty() ? QStringLiteral("un autre utilisateur") : changement.utilisateur;
    if (!changement.date.isValid())
        return qui;
    return QStringLiteral("%1 le %2 à %3")
        .arg(qui, date(changement.date, "dd/MM/yyyy"), date(changement.date, "HH:mm"));
}

QStringList ChangeHistory::resume(const QList<Change> &changements,
                                  const HistoryFieldLabels::References &references, int limite)
{
    QStringList lignes;
    qint64 transaction = -1;
    int montres = 0;
    for (const Change &c : changements) {
        if (montres == limite)
            break;
        if (c.transaction != transaction) {
            transaction = c.transaction;
            lignes.append(QStringLiteral("Par %1 :").arg(auteur(c)));
        }
        lignes.append(QStringLiteral("  • %1 : %2")
                          .arg(HistoryFieldLabels::champ(c.table, c.champ, c.ligne, references),
                               HistoryFieldLabels::changement(
                                   HistoryFieldLabels::valeur(c.table, c.champ, c.ancienne, references),
                                   HistoryFieldLabels::valeur(c.table, c.champ, c.nouvelle, references))));
        ++montres;
    }
    if (changements.size() > montres)
        lignes.append(QStringLiteral("  … et %1 autres changements").arg(changements.size() - montres));
    return lignes;
}

} // namespace history
