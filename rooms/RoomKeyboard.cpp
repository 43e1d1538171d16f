#include "RoomKeyboard.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWindow>
#include <utility>

namespace rooms
{

RoomKeyboard::RoomKeyboard(Actions actions, QObject *parent) : QObject(parent), m_actions(std::move(actions))
{
}

void RoomKeyboard::surveiller(QWidget *champ, bool estNumerique)
{
    if (!champ)
        return;
    champ->installEventFilter(this);
    if (auto *ligne = qobject_cast<QLineEdit *>(champ); ligne && estNumerique && !numerique(ligne))
        m_numeriques.append(ligne);
}

void RoomKeyboard::garder(QWidget *zone)
{
    if (!zone)
        return;
    const QList<QWidget *> enfants = zone->findChildren<QWidget *>();
    for (QWidget *widget : enfants) {
        if (!m_zones.contains(widget)) {
            m_zones.insert(widget);
            widget->installEventFilter(this);
        }
    }
    m_zones.insert(zone);
    m_racines.insert(zone);
    zone->installEventFilter(this);
    surveillerFenetre(zone);
}

void RoomKeyboard::surveillerFenetre(QWidget *zone)
{
    // The zone moves into the shell's window when the tab is shown: the window is known once it is shown.
    QWidget *racine = zone->window();
    QWindow *fenetre = racine->windowHandle();
    if (!fenetre || m_fenetres.contains(fenetre))
        return;
    m_fenetres.insert(fenetre, racine);
    fenetre->installEventFilter(this);
    connect(fenetre, &QObject::destroyed, this, [this, fenetre]() { m_fenetres.remove(fenetre); });
}

bool RoomKeyboard::souris(QWindow *fenetre, QEvent *event)
{
    const QPointer<QWidget> racine = m_fenetres.value(fenetre);
    if (!racine)
        return false;
    const auto *clic = static_cast<QMouseEvent *>(event);
    const QPoint position = racine->mapFromGlobal(clic->globalPosition().toPoint());
    QWidget *cible = racine->childAt(position);
    return cible && m_zones.contains(cible) && clicRetenu(cible);
}

void RoomKeyboard::toujoursPermis(QWidget *controle)
{
    if (controle)
        m_permis.append(controle);
}

bool RoomKeyboard::numerique(const QObject *objet) const
{
    for (const QPointer<QLineEdit> &champ : m_numeriques) {
        if (champ == objet)
            return true;
    }
    return false;
}

bool RoomKeyboard::refuse(QLineEdit *champ)
{
    // Only an editable numeric field is checked: a read-only one shows a stored value.
    if (!champ || !numerique(champ) || champ->isReadOnly())
        return false;
    return m_actions.valider && !m_actions.valider(champ);
}

QLineEdit *RoomKeyboard::champRefuse() const
{
    for (const QPointer<QLineEdit> &champ : m_numeriques) {
        if (champ && !champ->isReadOnly() && m_actions.accepte && !m_actions.accepte(champ))
            return champ;
    }
    return nullptr;
}

bool RoomKeyboard::clicRetenu(QWidget *cible)
{
    auto *champ = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    if (!champ || !numerique(champ) || champ->isReadOnly() || cible == champ || champ->isAncestorOf(cible))
        return false;
    // Another window (the result list, a panel) is not the form's business.
    if (cible->window() != champ->window())
        return false;
    for (const QPointer<QWidget> &permis : std::as_const(m_permis)) {
        if (permis && (permis == cible || permis->isAncestorOf(cible)))
            return false; // cancelling discards whatever was typed
    }
    if (!refuse(champ))
        return false;
    if (m_actions.signalerRefus)
        m_actions.signalerRefus(champ);
    champ->selectAll();
    m_aRappeler = champ;
    return true;
}

bool RoomKeyboard::touche(QLineEdit *champ, QEvent *event)
{
    auto *cle = static_cast<QKeyEvent *>(event);
    // The French keyboard's decimal key types a comma; the fields take a point.
    if (champ && numerique(champ) && !champ->isReadOnly() && cle->text() == QLatin1String(",")) {
        champ->insert(QStringLiteral("."));
        return true;
    }
    const int code = cle->key();
    const bool entree = code == Qt::Key_Return || code == Qt::Key_Enter;
    const bool tabulation = code == Qt::Key_Tab || code == Qt::Key_Backtab;
    if (!entree && !tabulation)
        return false;
    if (refuse(champ)) {
        if (m_actions.signalerRefus)
            m_actions.signalerRefus(champ);
        champ->selectAll();
        m_aRappeler = champ;
        return true; // the key is eaten: the user stays in the field
    }
    if (entree && m_actions.rechercheEnSaisie && m_actions.rechercheEnSaisie()) {
        m_actions.lancerRecherche();
        return true;
    }
    return false;
}

bool RoomKeyboard::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (touche(qobject_cast<QLineEdit *>(watched), event))
            return true;
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (watched->isWindowType() && souris(static_cast<QWindow *>(watched), event))
            return true;
        break;
    case QEvent::MouseButtonRelease:
    case QEvent::KeyRelease:
        if (m_aRappeler && (watched->isWindowType() || watched == m_aRappeler)) {
            const QPointer<QLineEdit> champ = std::exchange(m_aRappeler, nullptr);
            if (m_actions.signalerRefus && champ->hasFocus())
                m_actions.signalerRefus(champ);
        }
        break;
    case QEvent::Shortcut: // a label's mnemonic or a button's shortcut
        if (m_zones.contains(watched) && watched->isWidgetType() &&
            clicRetenu(static_cast<QWidget *>(watched)))
            return true;
        break;
    case QEvent::Show:
    case QEvent::ParentChange:
        if (m_racines.contains(watched))
            surveillerFenetre(static_cast<QWidget *>(watched));
        break;
    case QEvent::FocusOut: {
        auto *champ = qobject_cast<QLineEdit *>(watched);
        const Qt::FocusReason raison = static_cast<QFocusEvent *>(event)->reason();
        // Another window or a menu taking the focus is not leaving the field. Otherwise the field is checked
        // and normalised as it is left; when it refuses, it shows why, and neither the search nor the save
        // runs until it is corrected.
        if (champ && raison != Qt::ActiveWindowFocusReason && raison != Qt::PopupFocusReason &&
            refuse(champ) && m_actions.signalerRefus)
            m_actions.signalerRefus(champ);
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace rooms
