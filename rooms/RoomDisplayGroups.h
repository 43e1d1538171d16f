#pragma once

#include "EODisplayGroup.h"

class QTableView;

namespace rooms
{

// The lists of the room tab, one display group each, named as the tab's outlets. The four sub-lists of a
// room (custodian, outlets, equipment lines, occupation lines) and the result list get the columns their
// views show.
struct RoomDisplayGroups {
    RoomDisplayGroups();
    RoomDisplayGroups(const RoomDisplayGroups &) = delete;
    RoomDisplayGroups &operator=(const RoomDisplayGroups &) = delete;

    eo::EODisplayGroup tableSalles;            // rooms found (SallesVix)
    eo::EODisplayGroup tableBatiments;         // buildings (LocalVix)
    eo::EODisplayGroup tableTypeSalle;         // room types (TypeSalle)
    eo::EODisplayGroup tableDepositaire;       // the room's custodian (DepositaireVix)
    eo::EODisplayGroup tableGroupe;            // custodian groups (StructureZebVix)
    eo::EODisplayGroup tableAdresseGroupe;     // members of the selected group (RepartStructIndVix)
    eo::EODisplayGroup tablePrise;             // the room's network outlets (Prises)
    eo::EODisplayGroup tableConf;              // the room's configurations (Configuration)
    eo::EODisplayGroup tableRepartBureau;      // office assignments (RepartBureauVix)
    eo::EODisplayGroup tableSalleTAV;          // the room's department row (SalleTav)
    eo::EODisplayGroup tableFamilleMatos;      // equipment families (TypeMateriel)
    eo::EODisplayGroup tableTypeMateriel;      // types of the selected family (TypeMateriel)
    eo::EODisplayGroup tableDetailSalle;       // the room's equipment lines (DetailSalle)
    eo::EODisplayGroup tableDetailPourcentage; // the room's occupation lines (DetailPourcentage)
    eo::EODisplayGroup tableServices;          // departments (ServiceVix)
    eo::EODisplayGroup tableTypeOccupation;    // kinds of occupation (TypeOccupation)

    // Every group, for setting the delegate once.
    QList<eo::EODisplayGroup *> all();

    // Shows a group in a table view of a window: the group is the view's model and shares its selection.
    static void montrerDans(QTableView *vue, eo::EODisplayGroup &groupe, bool uneLigneALaFois);
};

} // namespace rooms
