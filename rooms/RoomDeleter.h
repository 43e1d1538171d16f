#pragma once

namespace data
{
class KORDataBusOC;
}

namespace rooms
{

struct RoomDisplayGroups;

// Deletes the room selected in the result list, with its sub-lists, through delSalles; no confirmation is
// asked. A room the database refuses to delete (still someone's office) stays listed and shown, and the
// refusal's message reaches the user.
class RoomDeleter
{
public:
    RoomDeleter(data::KORDataBusOC &dataBus, RoomDisplayGroups &tables);

    // True when the room was deleted and its row left the list (the form then follows the new selection).
    bool supprimer();

private:
    data::KORDataBusOC &m_dataBus;
    RoomDisplayGroups &m_tables;
};

} // namespace rooms
