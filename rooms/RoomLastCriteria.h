#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

class QWidget;

namespace rooms
{

// The criteria of the last search, kept so that "Reprendre les critères" puts them back in the form: a
// search that finds nothing cleans the form, and the user would otherwise type them all again.
class RoomLastCriteria
{
public:
    // What the form holds, by outlet name: the text of a text field, the selected title of a pop-up ("" for
    // its blank item), the state of a check box (bool), the text of the description.
    using Valeurs = QHash<QString, QVariant>;

    // The criteria fields of the form found under vue.
    static Valeurs lire(const QWidget *vue, const QStringList &champs);
    // Puts values back in the fields under vue; a pop-up whose title is no longer offered shows its blank
    // item.
    static void ecrire(QWidget *vue, const Valeurs &valeurs);

    void retenir(const Valeurs &valeurs) { m_valeurs = valeurs; }
    // Whether some criterion was filled in the last search (an empty search leaves nothing to restore).
    bool existe() const;
    const Valeurs &valeurs() const { return m_valeurs; }

private:
    Valeurs m_valeurs;
};

} // namespace rooms
