#include "RoomKeyboard.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

namespace rooms
{

RoomKeyboard::RoomKeyboard(Actions actions, QObject *parent) : QObject(parent), m_actions(std::move(actions))
{
}

void RoomKeyboard::surveiller(QWidget *champ, bool numerique)
{
    if (!champ)
        return;
    champ->installEventFilter(this);
    if (numerique)
        m_numeriques.insert(champ);
}

bool RoomKeyboard::refuse(QLineEdit *champ)
{
    // Only an editable numeric field is checked: a read-only one shows a stored value.
    if (!champ || !m_numeriques.contains(champ) || champ->isReadOnly())
        return false;
    return m_actions.valider && !m_actions.valider(champ);
}

void RoomKeyboard::revenirA(QLineEdit *champ)
{
    // After the focus change in progress has ended, or Qt would move the focus again behind us.
    QTimer::singleShot(0, champ, [champ = QPointer<QLineEdit>(champ)]() {
        if (champ && !champ->isReadOnly() && champ->isVisible()) {
            champ->setFocus(Qt::OtherFocusReason);
            champ->selectAll();
        }
    });
}

bool RoomKeyboard::eventFilter(QObject *watched, QEvent *event)
{
    auto *champ = qobject_cast<QLineEdit *>(watched);
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int touche = static_cast<QKeyEvent *>(event)->key();
        const bool entree = touche == Qt::Key_Return || touche == Qt::Key_Enter;
        const bool tabulation = touche == Qt::Key_Tab || touche == Qt::Key_Backtab;
        if (!entree && !tabulation)
            break;
        if (refuse(champ)) {
            champ->selectAll();
            return true; // the key is eaten: the user stays in the field
        }
        if (entree && m_actions.rechercheEnSaisie && m_actions.rechercheEnSaisie()) {
            m_actions.lancerRecherche();
            return true;
        }
        break;
    }
    case QEvent::FocusOut: {
        const Qt::FocusReason raison = static_cast<QFocusEvent *>(event)->reason();
        // Another window or a menu taking the focus is not leaving the field.
        if (raison == Qt::ActiveWindowFocusReason || raison == Qt::PopupFocusReason)
            break;
        if (refuse(champ))
            revenirA(champ);
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace rooms
