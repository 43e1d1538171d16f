#include "StoredState.h"

#include "EONull.h"
#include "EOValues.h"
#include "KORDataBusOC.h"

namespace history
{

QStringList StoredState::lire(data::KORDataBusOC &dataBus, const QList<Requete> &requetes)
{
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
