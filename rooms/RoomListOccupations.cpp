#include "RoomListOccupations.h"

#include "KORConversions.h"
#include "RoomSubListFetch.h"

#include <QCollator>
#include <QLocale>
#include <QSet>

namespace rooms
{

using framework::KORConversions;

QString RoomListOccupations::titre(const QString &nomCourt)
{
    return QStringLiteral("Occupation %1 (%)").arg(nomCourt);
}

RoomListOccupations RoomListOccupations::lire(data::KORDataBusOC &dataBus, const QList<eo::EORecord> &salles)
{
    RoomListOccupations occupations;
    QList<qint64> numeros;
    numeros.reserve(salles.size());
    for (const eo::EORecord &salle : salles)
        numeros.append(salle->valueForKey(QStringLiteral("salNumero")).toLongLong());
    const RoomSubListFetch::ParSalle lignes =
        RoomSubListFetch::lire(dataBus, QStringLiteral("DetailPourcentage"), numeros);

    QStringList codes;
    QSet<QString> vus;
    for (auto salle = lignes.cbegin(); salle != lignes.cend(); ++salle) {
        QHash<QString, eo::EODecimal> &parDepartement = occupations.m_parSalle[salle.key()];
        for (const eo::EORecord &ligne : salle.value()) {
            const QString code =
                KORConversions::recupererChaine(ligne->valueForKey(QStringLiteral("cStructure")));
            const QVariant valeur = ligne->valueForKey(QStringLiteral("detPourcentage"));
            if (code.isEmpty() || KORConversions::isEmptyValue(valeur))
                continue;
            const eo::EODecimal pourcentage = valeur.metaType() == QMetaType::fromType<eo::EODecimal>()
                                                  ? valeur.value<eo::EODecimal>()
                                                  : eo::EODecimal::fromString(KORConversions::textOf(valeur));
            if (!pourcentage.isValid())
                continue;
            auto somme = parDepartement.find(code);
            if (somme == parDepartement.end())
                parDepartement.insert(code, pourcentage);
            else
                *somme = *somme + pourcentage;
            if (!vus.contains(code)) {
                vus.insert(code);
                codes.append(code);
            }
        }
    }

    const QHash<QString, eo::EORecord> departements = RoomSubListFetch::parCle(
        dataBus, QStringLiteral("StructureZebVix"), QStringLiteral("cStructure"), codes);
    struct Departement {
        QString code;
        QString nom;
    };
    QList<Departement> liste;
    for (const QString &code : std::as_const(codes)) {
        const eo::EORecord departement = departements.value(code);
        const QString nom =
            departement
                ? KORConversions::recupererChaine(departement->valueForKey(QStringLiteral("lcStructure")))
                : QString();
        liste.append({code, nom.isEmpty() ? code : nom});
    }
    QCollator francais{QLocale(QLocale::French, QLocale::France)};
    francais.setCaseSensitivity(Qt::CaseInsensitive);
    francais.setNumericMode(true);
    std::stable_sort(liste.begin(), liste.end(), [&francais](const Departement &a, const Departement &b) {
        const int ordre = francais.compare(a.nom, b.nom);
        return ordre != 0 ? ordre < 0 : a.code < b.code;
    });
    for (const Departement &departement : std::as_const(liste))
        occupations.m_colonnes.append({QString(),
                                       {titre(departement.nom), spreadsheet::ColumnKind::Decimal, 2},
                                       false,
                                       departement.code});
    return occupations;
}

QVariant RoomListOccupations::pourcentage(qint64 salle, const QString &departement) const
{
    const auto lignes = m_parSalle.constFind(salle);
    if (lignes == m_parSalle.cend())
        return {};
    const auto somme = lignes->constFind(departement);
    if (somme == lignes->cend())
        return {};
    return somme->toString();
}

} // namespace rooms
