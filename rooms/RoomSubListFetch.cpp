#include "RoomSubListFetch.h"

#include "EOOrQualifier.h"
#include "KORConversions.h"
#include "KORDataBusOC.h"

#include <QSet>

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
    if (salles.isEmpty())
        return lignes;
    const QString salNumero = QStringLiteral("salNumero");
    auto ranger = [&lignes, &salNumero](const QList<eo::EORecord> &lues, const QSet<qint64> *retenues) {
        for (const eo::EORecord &ligne : lues) {
            const qint64 salle = ligne->valueForKey(salNumero).toLongLong();
            if (!retenues || retenues->contains(salle))
                lignes[salle].append(ligne);
        }
    };
    if (salles.size() > seuilToutesLesLignes) {
        const QSet<qint64> retenues(salles.cbegin(), salles.cend());
        ranger(dataBus.fetchArray(entite, eo::EOQualifierPtr(), ordre), &retenues);
        return lignes;
    }
    for (qsizetype debut = 0; debut < salles.size(); debut += sallesParFetch) {
        QVariantList groupe;
        for (const qint64 salle : salles.mid(debut, sallesParFetch))
            groupe.append(salle);
        ranger(dataBus.fetchArray(entite, unParmi(salNumero, groupe), ordre), nullptr);
    }
    return lignes;
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
