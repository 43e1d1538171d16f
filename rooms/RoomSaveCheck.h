#pragma once

#include "SaisieSalle.h"

#include <QString>
#include <QVariantList>
#include <optional>

namespace rooms
{

// The checks of a room before a save, in their fixed order; the first that fails gives its message (alert
// "ATTENTION") and the field to type in again. Once the checks of the location have passed, the door number
// is put in upper case, as it is stored, even when a later check refuses the save.
class RoomSaveCheck
{
public:
    // Where the user is sent to type again.
    enum class Champ { aucun, enseignement, etage, porte, descriptif };
    struct Refus {
        QString message;
        Champ champ = Champ::aucun;
    };

    RoomSaveCheck() = delete;

    static std::optional<Refus> verifier(SaisieSalle &salle);

    // The percentages added as exact decimals exceed 100; none given counts 0. Exactly 100 passes.
    static bool sommeDepasse100(const QVariantList &pourcentages);
};

} // namespace rooms
