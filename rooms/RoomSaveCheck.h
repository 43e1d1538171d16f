#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace Ui
{
class Creation;
}

namespace rooms
{

struct RoomDisplayGroups;

// The checks of the room form before a save, in their fixed order; the first that fails gives its message
// (alert "ATTENTION") and the field to type in again. The door number is put in upper case in its field
// as soon as the checks before it pass, so the field shows it even when a later check refuses the save.
class RoomSaveCheck
{
public:
    struct Refus {
        QString message;
        QWidget *focus = nullptr; // none: the focus stays where it is
    };

    RoomSaveCheck() = delete;

    static std::optional<Refus> verifier(Ui::Creation &ui, const RoomDisplayGroups &tables);

    // The percentages added as exact decimals exceed 100; an empty or unreadable text counts 0, a text
    // beginning with a number counts that number ("12abc" is 12). Exactly 100 passes.
    static bool sommeDepasse100(const QStringList &textes);
};

} // namespace rooms
