#pragma once

#include <QList>
#include <QPointer>
#include <QStringList>

class QAbstractItemModel;
class QWidget;

namespace rooms
{

// Quitting while a room is being created or modified: when something was typed or a sub-list changed since
// the creation or modification began, the user is asked "Quitter sans enregistrer les modifications ?"
// (Quitter / Annuler) before the work is lost; with nothing changed the application ends without a question.
class RoomQuitPrompt
{
public:
    // vue: the form, whose fields are compared; sousListes: the room's lists shown in it.
    RoomQuitPrompt(QWidget *vue, QList<const QAbstractItemModel *> sousListes);

    // The form as the creation or modification starts it, to compare with.
    void commencer();
    // No room being edited any more (saved or cancelled).
    void oublier();
    bool modifie() const;
    // True when the application may end: nothing to lose, or the user chose Quitter.
    bool peutQuitter() const;

private:
    QStringList etat() const;

    QPointer<QWidget> m_vue;
    QList<const QAbstractItemModel *> m_sousListes;
    bool m_enCours = false;
    QStringList m_depart;
};

} // namespace rooms
