#pragma once

#include "Creation.h"
#include "EOException.h"
#include "EOGenericRecord.h"
#include "SaisieSalle.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <QWidget>
#include <initializer_list>
#include <utility>

namespace data
{
class KORDataBusOC;
}

namespace rooms
{
struct RoomDisplayGroups;
}

namespace bench
{

// The room the save benchmarks save, as a value or typed into the room tab's form as a user would: its
// fields, its custodian, 20 equipment lines, 10 occupation lines and 10 outlets (with the record and its
// complement, 42 procedure calls), referring to the first building, type, department and kind of occupation
// of the database.
class RoomBenchForm
{
public:
    static constexpr int EquipmentLines = 20;
    static constexpr int OccupationLines = 10;
    static constexpr int Outlets = 10;

    // What the room refers to, read once as the form has it at hand.
    struct References {
        QString building, type;
        QVariant custodian, department, kind;
        QList<eo::EORecord> equipmentTypes;
    };

    RoomBenchForm() = delete;

    // Throws EOException when the database has too few equipment types.
    static References references(data::KORDataBusOC &bus);
    // The new room; its outlets numbered from firstOutlet.
    static rooms::SaisieSalle room(const References &refs, const QString &door, int firstOutlet);
    // Its equipment and occupation lines; offset changes their quantities.
    static void setLists(rooms::SaisieSalle &room, const References &refs, int offset);
    // A line of a sub-list, as the panels make it.
    static eo::EORecord line(std::initializer_list<std::pair<const char *, QVariant>> values);
    // The new room's fields and lists; its outlets numbered from firstOutlet.
    static void fillNewRoom(rooms::Creation &creation, const References &refs, const QString &door,
                            int firstOutlet);
    // The equipment and occupation lines; offset changes their quantities.
    static void fillLists(rooms::RoomDisplayGroups &tables, const References &refs, int offset);

    template <class Widget> static Widget *outlet(rooms::Creation &creation, const char *name)
    {
        for (QWidget *view : {creation.afficheVue(), creation.afficheBoutons()}) {
            if (auto *widget = view->findChild<Widget *>(QString::fromLatin1(name)))
                return widget;
        }
        throw eo::EOException(eo::EOException::Kind::Model, QStringLiteral("no control %1").arg(name));
    }
};

} // namespace bench
