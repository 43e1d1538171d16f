#include "RoomBenchForm.h"

#include "EODecimal.h"
#include "EOValues.h"
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

rooms::SaisieSalle RoomBenchForm::room(const References &refs, const QString &door, int firstOutlet)
{
    rooms::SaisieSalle room;
    room.batiment = refs.building;
    room.type = refs.type;
    room.etage = QStringLiteral("2");
    room.porte = door;
    room.places = qint64(40);
    room.enseignement = QVariant::fromValue(eo::EODecimal::fromString(QStringLiteral("75.50")));
    room.sportif = QVariant::fromValue(eo::EODecimal::fromString(QStringLiteral("24.50")));
    room.reservable = true;
    room.depositaires = {refs.custodian.toString()};
    setLists(room, refs, 0);
    for (int i = 0; i < Outlets; ++i) {
        room.prises.append({QString::number(firstOutlet + i),
                            i % 3 == 0 ? QStringLiteral("T") : QStringLiteral("I"), qint64(-1)});
    }
    return room;
}

void RoomBenchForm::setLists(rooms::SaisieSalle &room, const References &refs, int offset)
{
    room.materiels.clear();
    room.occupations.clear();
    for (int i = 0; i < EquipmentLines; ++i) {
        const eo::EORecord &type = refs.equipmentTypes.at(i);
        room.materiels.append({type->valueForKey(QStringLiteral("tavType")), qint64(1 + i + offset),
                               type->valueForKey(QStringLiteral("tavUniteOrdre"))});
    }
    for (int i = 0; i < OccupationLines; ++i)
        room.occupations.append({refs.department.toString(), refs.kind, qint64(5 + offset)});
}

void RoomBenchForm::fillNewRoom(rooms::Creation &creation, const References &refs, const QString &door,
                                int firstOutlet)
{
    // The same room, typed field by field and its lists put in the tab's lists.
    const rooms::SaisieSalle room = RoomBenchForm::room(refs, door, firstOutlet);
    outlet<QComboBox>(creation, "localisationBatiment")->setCurrentText(room.batiment);
    outlet<QComboBox>(creation, "typePopup")->setCurrentText(room.type);
    outlet<QLineEdit>(creation, "localisationEtage")->setText(room.etage);
    outlet<QLineEdit>(creation, "localisationPorte")->setText(room.porte);
    outlet<QLineEdit>(creation, "architecturePlaces")->setText(eo::EOValues::displayText(room.places));
    outlet<QLineEdit>(creation, "pourcEnseignement")->setText(eo::EOValues::displayText(room.enseignement));
    outlet<QLineEdit>(creation, "pourcSportif")->setText(eo::EOValues::displayText(room.sportif));
    outlet<QCheckBox>(creation, "reservable")->setChecked(room.reservable);
    rooms::RoomDisplayGroups &tables = creation.tables();
    tables.tableDepositaire.setObjectArray({line({{"cStructure", room.depositaires.first()}})});
    fillLists(tables, refs, 0);
    QList<eo::EORecord> outlets;
    for (const rooms::SaisieSalle::Prise &prise : room.prises)
        outlets.append(line({{"priCode", prise.code}, {"priType", prise.type}, {"priOrdre", prise.ordre}}));
    tables.tablePrise.setObjectArray(outlets);
}

void RoomBenchForm::fillLists(rooms::RoomDisplayGroups &tables, const References &refs, int offset)
{
    rooms::SaisieSalle room;
    setLists(room, refs, offset);
    QList<eo::EORecord> equipment, occupation;
    for (const rooms::SaisieSalle::Materiel &ligne : room.materiels)
        equipment.append(
            line({{"tavType", ligne.type}, {"uniOrdre", ligne.unite}, {"dsaPourcentage", ligne.quantite}}));
    for (const rooms::SaisieSalle::Occupation &ligne : room.occupations)
        occupation.append(line({{"cStructure", ligne.departement},
                                {"detType", ligne.type},
                                {"detPourcentage", ligne.pourcentage}}));
    tables.tableDetailSalle.setObjectArray(equipment);
    tables.tableDetailPourcentage.setObjectArray(occupation);
}

} // namespace bench
