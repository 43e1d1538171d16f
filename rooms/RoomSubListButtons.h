#pragma once

class QPushButton;

namespace rooms
{

// The buttons beside a sub-list of the room form that its editor turns on and off as lines are added,
// chosen or removed (none where the sub-list has no such button).
struct RoomSubListButtons {
    QPushButton *ajouter = nullptr;
    QPushButton *modifier = nullptr;
    QPushButton *retirer = nullptr;
};

} // namespace rooms
