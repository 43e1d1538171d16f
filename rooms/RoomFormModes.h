#pragma once

namespace Ui
{
class Creation;
}

namespace rooms
{

struct RoomDisplayGroups;

// The modes of the room tab (the controller's etat).
namespace etats
{
constexpr int creation = 0;
constexpr int modification = 1;
constexpr int saisieRecherche = 2; // search criteria being typed
constexpr int salleAffichee = 3;   // a stored room shown read-only
constexpr int repos = 4;           // idle: nothing shown
} // namespace etats

// What each mode of the room tab enables (initPanel:clean:). The rules read the mode as already set: active
// makes the form editable, clean empties it.
class RoomFormModes
{
public:
    RoomFormModes() = delete;

    static void initPanel(Ui::Creation &ui, RoomDisplayGroups &tables, int etat, bool actif, bool clean);

private:
    static void boutonsPrincipaux(Ui::Creation &ui, int etat, bool actif);
    static void sousListes(Ui::Creation &ui, const RoomDisplayGroups &tables, int etat, bool clean);
    static void champs(Ui::Creation &ui, bool actif, bool clean);
};

} // namespace rooms
