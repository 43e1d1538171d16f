#include "InventoryReport.h"

#include "EOCollation.h"
#include "EONull.h"
#include "EOValues.h"
#include "KORDataBusOC.h"

#include <QMap>

using eo::EOSortOrdering;

namespace
{

QString text(const eo::EORecord &record, const QString &keyPath)
{
    return eo::EOValues::displayText(record->valueForKeyPath(keyPath));
}

const auto insensitive = EOSortOrdering::Selector::CompareCaseInsensitiveAscending;

} // namespace

void InventoryReport::printBuildings()
{
    const auto buildings = m_dataBus.fetchArray(QStringLiteral("LocalVix"), eo::EOQualifierPtr(),
                                                {EOSortOrdering(QStringLiteral("appellation"), insensitive)});
    m_out << "Bâtiments (" << buildings.size() << ")\n";
    for (const eo::EORecord &building : buildings) {
        m_out << QStringLiteral("  %1  %2 — %3 %4 %5 [%6]\n")
                     .arg(text(building, QStringLiteral("cLocal")), -3)
                     .arg(text(building, QStringLiteral("appellation")),
                          text(building, QStringLiteral("toAdresseVix.adrAdresse1")),
                          text(building, QStringLiteral("toAdresseVix.codePostal")),
                          text(building, QStringLiteral("toAdresseVix.ville")),
                          text(building, QStringLiteral("toAdresseVix.lcImplantationGeo")));
    }
    m_out << '\n';
}

void InventoryReport::printRoomsPerBuilding()
{
    const auto rooms = m_dataBus.fetchArray(QStringLiteral("SallesVix"), eo::EOQualifierPtr(), {});
    QMap<QString, int> managed;
    QMap<QString, int> options;
    for (const eo::EORecord &room : rooms) {
        const QString building = text(room, QStringLiteral("appellation"));
        const QString name = building.isEmpty() ? QStringLiteral("(sans bâtiment)") : building;
        if (eo::isNullOrNone(room->valueForKey(QStringLiteral("salReservable"))))
            ++options[name];
        else
            ++managed[name];
    }
    m_out << "Salles par bâtiment (" << rooms.size() << " en tout)\n";
    QStringList names = managed.keys();
    for (const QString &name : options.keys()) {
        if (!names.contains(name))
            names.append(name);
    }
    // In French order, as the lists fetched sorted without regard to case.
    std::sort(names.begin(), names.end(),
              [](const QString &a, const QString &b) { return eo::EOCollation::compare(a, b) < 0; });
    for (const QString &name : names) {
        m_out << QStringLiteral("  %1 %2 salle(s) gérée(s), %3 en option\n")
                     .arg(name, -40)
                     .arg(managed.value(name), 5)
                     .arg(options.value(name));
    }
    m_out << '\n';
}

void InventoryReport::printList(const QString &title, const QString &entity, const QString &key,
                                const QString &format)
{
    const auto qualifier = format.isEmpty() ? eo::EOQualifierPtr() : m_dataBus.newCondition(format);
    const auto records = m_dataBus.fetchArray(entity, qualifier, {EOSortOrdering(key, insensitive)});
    QStringList values;
    for (const eo::EORecord &record : records)
        values.append(text(record, key));
    m_out << title << " (" << records.size() << ") : " << values.join(QStringLiteral(", ")) << "\n";
}

void InventoryReport::printReferenceLists()
{
    printList(QStringLiteral("Types de salle"), QStringLiteral("TypeSalle"), QStringLiteral("tsalLibelle"));
    printList(QStringLiteral("Familles de matériel"), QStringLiteral("TypeMateriel"),
              QStringLiteral("tavLibelle"), QStringLiteral("tavNiveau=1"));
    printList(QStringLiteral("Types de matériel"), QStringLiteral("TypeMateriel"),
              QStringLiteral("tavLibelle"), QStringLiteral("tavNiveau=2"));
    printList(QStringLiteral("Unités"), QStringLiteral("Unite"), QStringLiteral("uniAbrev"));
    printList(QStringLiteral("Types d'occupation"), QStringLiteral("TypeOccupation"),
              QStringLiteral("tocLibelle"));
    printList(QStringLiteral("Groupes dépositaires"), QStringLiteral("StructureZebVix"),
              QStringLiteral("llStructure"), QStringLiteral("lcStructure='DEPOS'"));
    printList(QStringLiteral("Services"), QStringLiteral("ServiceVix"), QStringLiteral("llStructure"));
}
