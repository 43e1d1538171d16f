#include "RoomListOccupations.h"

#include "KORConversions.h"
#include "RoomSubListFetch.h"

#include <QCollator>
#include <QLocale>

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
    QStringList codes;
    // Each line is added to its room's sums as it comes: the lines themselves are not kept.
    RoomSubListFetch::parcourir(
        dataBus, QStringLiteral("DetailPourcentage"), numeros, {},
        [&occupations, &codes](qint64 salle, const eo::EORecord &ligne) {
            const QString code =
                KORConversions::recupererChaine(ligne->valueForKey(QStringLiteral("cStructure")));
            const QVariant valeur = ligne->valueForKey(QStringLiteral("detPourcentage"));
            if (code.isEmpty() || KORConversions::isEmptyValue(valeur))
                return;
            const eo::EODecimal pourcentage = valeur.metaType() == QMetaType::fromType<eo::EODecimal>()
                                                  ? valeur.value<eo::EODecimal>()
                                                  : eo::EODecimal::fromString(KORConversions::textOf(valeur));
            if (!pourcentage.isValid())
                return;
            auto index = occupations.m_index.constFind(code);
            if (index == occupations.m_index.cend()) {
                index = occupations.m_index.insert(code, int(codes.size()));
                codes.append(code);
            }
            const std::pair<qint64, int> cle{salle, *index};
            auto somme = occupations.m_sommes.find(cle);
            if (somme == occupations.m_sommes.end())
                occupations.m_sommes.insert(cle, pourcentage);
            else
                *somme = *somme + pourcentage;
        });

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

QVariant RoomListOccupations::pourcentage(qint64 salle, int departement) const
{
    const auto somme = m_sommes.constFind({salle, departement});
    if (somme == m_sommes.cend())
        return {};
    return somme->toString();
}

} // namespace rooms
