#pragma once

namespace rooms
{

// The modes of the room tab (the controller's etat). The numbers are the ones the department's notes and
// users know the modes by.
enum class Etat : int {
    creation = 0,        // a new room being typed
    modification = 1,    // a stored room being changed
    saisieRecherche = 2, // search criteria being typed
    salleAffichee = 3,   // a stored room shown read-only
    repos = 4,           // idle: nothing shown
};

// Creation and modification: the whole form and its sub-lists are editable.
constexpr bool enEdition(Etat etat)
{
    return etat == Etat::creation || etat == Etat::modification;
}

} // namespace rooms
