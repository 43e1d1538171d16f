#pragma once

namespace data
{
class KORDataBusOC;
}

namespace rooms
{

class RoomConflictCheck;
struct RoomDisplayGroups;

// Deletes the room selected in the result list, with its sub-lists, through delSalles; no confirmation is
// asked. A room the database refuses to delete (still someone's office) stays listed and shown, and the
// refusal's message reaches the user. The deletion waits for a save of the same room by someone else to
// end (RoomConflictCheck), and a room someone else deleted already is told apart.
class RoomDeleter
{
public:
    enum class Issue {
        supprimee,     // deleted, its row gone from the list (the form follows the new selection)
        refusee,       // refused by the database, the list as it was
        dejaSupprimee, // someone else deleted it: nothing done, the caller tells the user
    };

    RoomDeleter(data::KORDataBusOC &dataBus, RoomDisplayGroups &tables);

    // verification holds the room that the caller took (RoomConflictCheck::prendre).
    Issue supprimer(RoomConflictCheck &verification);

private:
    data::KORDataBusOC &m_dataBus;
    RoomDisplayGroups &m_tables;
};

} // namespace rooms
