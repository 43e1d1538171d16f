#include "RoomSubListFetch.h"

#include "EOAndQualifier.h"
#include "EOOrQualifier.h"
#include "KORConversions.h"
#include "KORDataBusOC.h"

#include <QSet>
#include <algorithm>

namespace rooms
{

namespace
{

eo::EOQualifierPtr unParmi(const QString &cle, const QVariantList &valeurs)
{
    QList<eo::EOQualifierPtr> conditions;
    conditions.reserve(valeurs.size());
    const QString format = cle + QStringLiteral("=%@");
    for (const QVariant &valeur : valeurs)
        conditions.append(eo::EOQualifier::qualifierWithQualifierFormat(format, {valeur}));
    return std::make_shared<eo::EOOrQualifier>(conditions);
}

} // namespace

RoomSubListFetch::ParSalle RoomSubListFetch::lire(data::KORDataBusOC &dataBus, const QString &entite,
                                                  const QList<qint64> &salles,
                                                  const QList<eo::EOSortOrdering> &ordre)
{
    ParSalle lignes;
    parcourir(dataBus, entite, salles, ordre,
              [&lignes](qint64 salle, const eo::EORecord &ligne) { lignes[salle].append(ligne); });
    return lignes;
}

void RoomSubListFetch::parcourir(data::KORDataBusOC &dataBus, const QString &entite,
                                 const QList<qint64> &salles, const QList<eo::EOSortOrdering> &ordre,
                                 const std::function<void(qint64, const eo::EORecord &)> &visiter)
{
    if (salles.isEmpty())
        return;
    const QString salNumero = QStringLiteral("salNumero");
    if (salles.size() <= seuilParTranches) {
        for (qsizetype debut = 0; debut < salles.size(); debut += sallesParFetch) {
            QVariantList groupe;
            for (const qint64 salle : salles.mid(debut, sallesParFetch))
                groupe.append(salle);
            for (const eo::EORecord &ligne : dataBus.fetchArray(entite, unParmi(salNumero, groupe), ordre))
                visiter(ligne->valueForKey(salNumero).toLongLong(), ligne);
        }
        return;
    }
    // A range also brings the lines of rooms between those asked for, which are left out.
    QList<qint64> triees = salles;
    std::sort(triees.begin(), triees.end());
    const QSet<qint64> retenues(salles.cbegin(), salles.cend());
    for (qsizetype debut = 0; debut < triees.size(); debut += sallesParTranche) {
        const qint64 premiere = triees.at(debut);
        const qint64 derniere = triees.at(std::min(debut + sallesParTranche, triees.size()) - 1);
        const eo::EOQualifierPtr tranche = std::make_shared<eo::EOAndQualifier>(QList<eo::EOQualifierPtr>{
            eo::EOQualifier::qualifierWithQualifierFormat(salNumero + QStringLiteral(">=%@"), {premiere}),
            eo::EOQualifier::qualifierWithQualifierFormat(salNumero + QStringLiteral("<=%@"), {derniere})});
        for (const eo::EORecord &ligne : dataBus.fetchArray(entite, tranche, ordre)) {
            const qint64 salle = ligne->valueForKey(salNumero).toLongLong();
            if (retenues.contains(salle))
                visiter(salle, ligne);
        }
    }
}

QHash<QString, eo::EORecord> RoomSubListFetch::parCle(data::KORDataBusOC &dataBus, const QString &entite,
                                                      const QString &cle, const QStringList &valeurs)
{
    QHash<QString, eo::EORecord> trouves;
    for (qsizetype debut = 0; debut < valeurs.size(); debut += sallesParFetch) {
        QVariantList groupe;
        for (const QString &valeur : valeurs.mid(debut, sallesParFetch))
            groupe.append(valeur);
        for (const eo::EORecord &record : dataBus.fetchArray(entite, unParmi(cle, groupe), {}))
            trouves.insert(framework::KORConversions::recupererChaine(record->valueForKey(cle)), record);
    }
    return trouves;
}

} // namespace rooms
