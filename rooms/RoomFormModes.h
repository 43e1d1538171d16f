#pragma once

#include "RoomEtat.h"

namespace Ui
{
class Creation;
}

namespace rooms
{

struct RoomDisplayGroups;

// What each mode of the room tab enables (initPanel:clean:). The rules read the mode as already set: active
// makes the form editable, clean empties it.
class RoomFormModes
{
public:
    RoomFormModes() = delete;

    static void initPanel(Ui::Creation &ui, RoomDisplayGroups &tables, Etat etat, bool actif, bool clean);

private:
    static void boutonsPrincipaux(Ui::Creation &ui, Etat etat, bool actif);
    static void sousListes(Ui::Creation &ui, const RoomDisplayGroups &tables, Etat etat, bool clean);
    static void champs(Ui::Creation &ui, bool actif, bool clean);
    static void tabulation(Ui::Creation &ui);
};

} // namespace rooms
