#pragma once

#include "BuildingArguments.h"
#include "EOGenericRecord.h"
#include "EtatBatiment.h"

#include <QList>
#include <optional>

class QLineEdit;

namespace Ui
{
class Batiment;
}

namespace buildings
{

// The fields and buttons of the building window: what each mode enables, the fields filled from a building,
// and what the user typed.
//
// | mode         | text fields        | site pop-up             | boutonCreer | boutonFinir | modify, delete,
// history | | consultation | read-only          | disabled                | 0           | 0           | when
// a building | | creation     | editable, emptied  | enabled, blank selected | 1           | 1           |
// disabled        | | modification | editable, kept     | enabled                 | 1           | 1 |
// disabled        |
class BuildingForm
{
public:
    explicit BuildingForm(Ui::Batiment &ui);

    // The six text fields, in the order of the window.
    QList<QLineEdit *> champs() const;
    // Puts the controls in the state of a mode. vider empties the text fields (a creation always does);
    // batiments tells whether the list holds a building to modify or delete.
    void montrer(EtatBatiment etat, bool vider, bool batiments);
    // The fields show a building; absent values show as empty.
    void remplir(const eo::EORecord &batiment);
    SaisieBatiment saisie() const;
    // What the user typed that the procedures would refuse, as stored (upper-cased, cut to its column): a
    // code with a hidden character, a text with a NUL. The alert's sentence and the field to type again.
    struct Refus {
        QString message;
        QLineEdit *champ = nullptr;
    };
    std::optional<Refus> refus() const;
    // The title of the site chosen in the pop-up ("" for the blank item).
    QString site() const;
    // The code field takes the keyboard, its text selected.
    void selectionnerCode();

private:
    Ui::Batiment &ui;
};

} // namespace buildings
