#include "RoomBenchForm.h"

#include "KORDataBusOC.h"
#include "RoomDisplayGroups.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace bench
{

RoomBenchForm::References RoomBenchForm::references(data::KORDataBusOC &bus)
{
    References refs;
    refs.building = bus.fetchArray(QStringLiteral("LocalVix"), eo::EOQualifierPtr(), {})
                        .value(0)
                        ->valueForKey(QStringLiteral("appellation"))
                        .toString();
    refs.type = bus.fetchArray(QStringLiteral("TypeSalle"), eo::EOQualifierPtr(), {})
                    .value(0)
                    ->valueForKey(QStringLiteral("tsalLibelle"))
                    .toString();
    refs.custodian =
        bus.fetchObject(QStringLiteral("StructureZebVix"), QStringLiteral("lcStructure='DEPOS'"), {})
            ->valueForKey(QStringLiteral("cStructure"));
    refs.department = bus.fetchArray(QStringLiteral("ServiceVix"), eo::EOQualifierPtr(), {})
                          .value(0)
                          ->valueForKey(QStringLiteral("cStructure"));
    refs.kind = bus.fetchArray(QStringLiteral("TypeOccupation"), eo::EOQualifierPtr(), {})
                    .value(0)
                    ->valueForKey(QStringLiteral("tocOrdre"));
    refs.equipmentTypes =
        bus.fetchArray(QStringLiteral("TypeMateriel"), QStringLiteral("tavNiveau=2"), {}, {});
    if (refs.equipmentTypes.size() < EquipmentLines)
        throw eo::EOException(eo::EOException::Kind::Model,
                              QStringLiteral("La base de mesure n'a que %1 types de matériel (%2 demandés).")
                                  .arg(refs.equipmentTypes.size())
                                  .arg(EquipmentLines));
    return refs;
}

eo::EORecord RoomBenchForm::line(std::initializer_list<std::pair<const char *, QVariant>> values)
{
    const eo::EORecord record = eo::EOGenericRecord::create();
    for (const auto &[key, value] : values)
        record->takeValueForKey(value, QString::fromLatin1(key));
    return record;
}

void RoomBenchForm::fillNewRoom(rooms::Creation &creation, const References &refs, const QString &door,
                                int firstOutlet)
{
    outlet<QComboBox>(creation, "localisationBatiment")->setCurrentText(refs.building);
    outlet<QComboBox>(creation, "typePopup")->setCurrentText(refs.type);
    outlet<QLineEdit>(creation, "localisationEtage")->setText(QStringLiteral("2"));
    outlet<QLineEdit>(creation, "localisationPorte")->setText(door);
    outlet<QLineEdit>(creation, "architecturePlaces")->setText(QStringLiteral("40"));
    outlet<QLineEdit>(creation, "pourcEnseignement")->setText(QStringLiteral("75.50"));
    outlet<QLineEdit>(creation, "pourcSportif")->setText(QStringLiteral("24.50"));
    outlet<QCheckBox>(creation, "reservable")->setChecked(true);
    rooms::RoomDisplayGroups &tables = creation.tables();
    tables.tableDepositaire.setObjectArray({line({{"cStructure", refs.custodian}})});
    fillLists(tables, refs, 0);
    QList<eo::EORecord> outlets;
    for (int i = 0; i < Outlets; ++i) {
        outlets.append(line({{"priCode", QString::number(firstOutlet + i)},
                             {"priType", i % 3 == 0 ? "T" : "I"},
                             {"priOrdre", qint64(-1)}}));
    }
    tables.tablePrise.setObjectArray(outlets);
}

void RoomBenchForm::fillLists(rooms::RoomDisplayGroups &tables, const References &refs, int offset)
{
    QList<eo::EORecord> equipment, occupation;
    for (int i = 0; i < EquipmentLines; ++i) {
        const eo::EORecord &type = refs.equipmentTypes.at(i);
        equipment.append(line({{"tavType", type->valueForKey(QStringLiteral("tavType"))},
                               {"uniOrdre", type->valueForKey(QStringLiteral("tavUniteOrdre"))},
                               {"dsaPourcentage", qint64(1 + i + offset)}}));
    }
    for (int i = 0; i < OccupationLines; ++i) {
        occupation.append(line({{"cStructure", refs.department},
                                {"detType", refs.kind},
                                {"detPourcentage", qint64(5 + offset)}}));
    }
    tables.tableDetailSalle.setObjectArray(equipment);
    tables.tableDetailPourcentage.setObjectArray(occupation);
}

} // namespace bench
