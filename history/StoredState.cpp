#include "StoredState.h"

#include "EOAdaptor.h"
#include "EONull.h"
#include "EOSQLDialect.h"
#include "EOValues.h"
#include "KORDataBusOC.h"

namespace history
{

namespace
{

// The queries in one statement, each query's rows as one text: one round trip instead of one a query.
QStringList lireEnUneFois(data::KORDataBusOC &dataBus, const eo::EOSQLDialect &dialecte,
                          const QList<StoredState::Requete> &requetes, const StoredState::Requete *avant)
{
    QStringList colonnes;
    QVariantList valeurs;
    for (const StoredState::Requete &requete : requetes) {
        colonnes.append(dialecte.rowsAsText(requete.sql));
        valeurs.append(requete.valeurs);
    }
    std::vector<eo::EOAdaptor::RawQuery> lectures;
    if (avant)
        lectures.emplace_back(avant->sql, avant->valeurs);
    lectures.emplace_back(QStringLiteral("SELECT ") + colonnes.join(QStringLiteral(", ")), valeurs);
    const QList<QVariantMap> resultat = dataBus.executeSQLQueries(lectures).back();
    QStringList lignes;
    const QVariantMap ligne = resultat.value(0);
    for (qsizetype r = 0; r < requetes.size(); ++r) {
        const QVariant lignesDeLaRequete = ligne.value(QStringLiteral("Attribute%1").arg(r));
        if (!eo::isNullOrNone(lignesDeLaRequete)) // none: the query has no row
            lignes.append(QStringLiteral("%1: %2").arg(r).arg(lignesDeLaRequete.toString()));
    }
    return lignes;
}

} // namespace

QStringList StoredState::lire(data::KORDataBusOC &dataBus, const QList<Requete> &requetes,
                              const Requete *avant)
{
    const eo::EOSQLDialect &dialecte = dataBus.dataBusAdaptor()->dialect();
    if (requetes.size() > 1 && !dialecte.rowsAsText(QStringLiteral("SELECT 1")).isEmpty())
        return lireEnUneFois(dataBus, dialecte, requetes, avant);
    if (avant)
        dataBus.executeSQLQuery(avant->sql, avant->valeurs);
    QStringList lignes;
    for (qsizetype r = 0; r < requetes.size(); ++r) {
        for (const QVariantMap &ligne : dataBus.executeSQLQuery(requetes.at(r).sql, requetes.at(r).valeurs)) {
            QStringList valeurs;
            // The columns in their order (Attribute0, Attribute1, ...); a null reads apart from "".
            for (int c = 0; c < ligne.size(); ++c) {
                const QVariant valeur = ligne.value(QStringLiteral("Attribute%1").arg(c));
                valeurs.append(eo::isNullOrNone(valeur) ? QStringLiteral("\u2205")
                                                        : eo::EOValues::displayText(valeur));
            }
            lignes.append(QStringLiteral("%1: %2").arg(r).arg(valeurs.join(QLatin1Char('|'))));
        }
    }
    return lignes;
}

} // namespace history
