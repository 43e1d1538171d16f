#include "RoomDisplayGroups.h"

namespace rooms
{

namespace
{

constexpr Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;

} // namespace

RoomDisplayGroups::RoomDisplayGroups()
{
    tableSalles.addColumn(QStringLiteral("appellation"), QStringLiteral("Bâtiment"));
    tableSalles.addColumn(QStringLiteral("salEtage"), QStringLiteral("Étage"));
    tableSalles.addColumn(QStringLiteral("salPorte"), QStringLiteral("Porte"));
    tableSalles.addColumn(QStringLiteral("tsalLibelle"), QStringLiteral("Type"));
    tableSalles.addColumn(QStringLiteral("salCapacite"), QStringLiteral("Places"), right);
    tableSalles.addColumn(QStringLiteral("salSuperficie"), QStringLiteral("Surface (m²)"), right);

    tableDepositaire.addColumn(QStringLiteral("cStructure"), QStringLiteral("Code"));
    tableDepositaire.addColumn(QStringLiteral("structureZebVix.llStructure"), QStringLiteral("Groupe"));

    tablePrise.addColumn(QStringLiteral("priType"), QStringLiteral("Type"));
    tablePrise.addColumn(QStringLiteral("priCode"), QStringLiteral("Code"));

    tableDetailSalle.addColumn(QStringLiteral("pereLibelle"), QStringLiteral("Famille"));
    tableDetailSalle.addColumn(QStringLiteral("tavLibelle"), QStringLiteral("Matériel"));
    tableDetailSalle.addColumn(QStringLiteral("dsaPourcentage"), QStringLiteral("Quantité"), right);
    tableDetailSalle.addColumn(QStringLiteral("uniAbrev"), QStringLiteral("Unité"));

    tableDetailPourcentage.addColumn(QStringLiteral("structureZebVix.llStructure"),
                                     QStringLiteral("Service"));
    tableDetailPourcentage.addColumn(QStringLiteral("tocLibelle"), QStringLiteral("Occupation"));
    tableDetailPourcentage.addColumn(QStringLiteral("detPourcentage"), QStringLiteral("%"), right);
}

QList<eo::EODisplayGroup *> RoomDisplayGroups::all()
{
    return {&tableSalles,       &tableBatiments,         &tableTypeSalle,    &tableDepositaire,
            &tableGroupe,       &tableAdresseGroupe,     &tablePrise,        &tableConf,
            &tableRepartBureau, &tableSalleTAV,          &tableFamilleMatos, &tableTypeMateriel,
            &tableDetailSalle,  &tableDetailPourcentage, &tableServices,     &tableTypeOccupation};
}

} // namespace rooms
