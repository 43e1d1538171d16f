#include "RoomDisplayGroups.h"

#include <QHeaderView>
#include <QTableView>

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
    tableDetailSalle.addColumn(QStringLiteral("dsaPourcentage"), QStringLiteral("Qté"), right);
    tableDetailSalle.addColumn(QStringLiteral("uniAbrev"), QStringLiteral("Unité"));

    // The lists of the panels and choosers.
    tableBatiments.addColumn(QStringLiteral("cLocal"), QStringLiteral("Code"));
    tableBatiments.addColumn(QStringLiteral("appellation"), QStringLiteral("Bâtiment"));
    // The groups share one short name: what tells them apart is the group they belong to and their name.
    tableGroupe.addColumn(QStringLiteral("perelcStructure"), QStringLiteral("Rattaché à"));
    tableGroupe.addColumn(QStringLiteral("llStructure"), QStringLiteral("Groupe"));
    tableAdresseGroupe.addColumn(QStringLiteral("nomUsuel"), QStringLiteral("Nom"));
    tableAdresseGroupe.addColumn(QStringLiteral("prenom"), QStringLiteral("Prénom"));
    tableFamilleMatos.addColumn(QStringLiteral("tavLibelle"), QStringLiteral("Famille"));
    tableTypeMateriel.addColumn(QStringLiteral("tavLibelle"), QStringLiteral("Type"));
    tableTypeMateriel.addColumn(QStringLiteral("toUnite_uniAbrev"), QStringLiteral("Unité"));
    tableServices.addColumn(QStringLiteral("lcStructure"), QStringLiteral("Sigle"));
    tableServices.addColumn(QStringLiteral("llStructure"), QStringLiteral("Service"));

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

void RoomDisplayGroups::montrerDans(QTableView *vue, eo::EODisplayGroup &groupe, bool uneLigneALaFois)
{
    vue->setModel(&groupe);
    vue->setSelectionModel(groupe.selectionModel());
    vue->setWordWrap(false);
    vue->verticalHeader()->setDefaultSectionSize(vue->fontMetrics().height() + 6);
    if (uneLigneALaFois)
        vue->setSelectionMode(QAbstractItemView::SingleSelection);
}

} // namespace rooms
