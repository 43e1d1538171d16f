#pragma once

namespace buildings
{

// The modes of the building window, numbered as the register has always numbered them.
enum class EtatBatiment : int {
    creation = 0,     // a new building is being typed
    modification = 1, // the selected building is being changed
    consultation = 3, // the selected building is shown, read-only
};

} // namespace buildings
