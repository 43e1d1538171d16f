#include "BugFixApplication.h"

#include "KORAction.h"
#include "KORDataBusOC.h"
#include "KORFormHelpers.h"
#include "WheelEventHandler.h"

#include <QDebug>
#include <QEvent>

namespace widgets
{

const QString BugFixApplication::windowDidBecomeKeyNotification =
    QStringLiteral("NSWindowDidBecomeKeyNotification");

BugFixApplication::BugFixApplication(int &argc, char **argv)
    : KORApplicationOC(argc, argv), m_wheel(new WheelEventHandler(this))
{
    // The wheel is handled before any widget sees it, from the first event on.
    installEventFilter(m_wheel);
    installEventFilter(this);
}

BugFixApplication::~BugFixApplication()
{
    removeEventFilter(this);
    removeEventFilter(m_wheel);
    for (const Tracked &tracked : std::as_const(m_sessions))
        disconnect(tracked.destroyedConnection);
}

BugFixApplication *BugFixApplication::instance()
{
    return qobject_cast<BugFixApplication *>(QCoreApplication::instance());
}

void BugFixApplication::awakeFromNib()
{
    platform::NotificationCenter::defaultCenter().addObserver(
        this, [this](const platform::Notification &notification) { windowDidBecomeKey(notification); },
        windowDidBecomeKeyNotification);
}

std::unique_ptr<platform::ModalSession> BugFixApplication::beginModalSessionForWindow(QWidget *window)
{
    m_theModalWindow.clear();
    m_hWnd = nullptr;
    m_theModalWindow = window;

    auto session = std::make_unique<platform::ModalSession>(window);
    Tracked tracked{session.get(), window, window ? window->windowModality() : Qt::NonModal, {}};
    if (window) {
        platform::ModalSession *raw = session.get();
        tracked.destroyedConnection =
            connect(window, &QObject::destroyed, this, [raw] { raw->stop(platform::NSModalResponseAbort); });
        if (window->windowModality() != Qt::ApplicationModal) {
            // Qt takes a new modality into account the next time the window is shown.
            window->hide();
            window->setWindowModality(Qt::ApplicationModal);
        }
        window->show();
        window->raise();
        window->activateWindow();
    }
    m_sessions.append(tracked);
    return session;
}

void BugFixApplication::endModalSession(std::unique_ptr<platform::ModalSession> session)
{
    forget(session.get());
    m_theModalWindow.clear();
    m_hWnd = nullptr;
}

void BugFixApplication::forget(platform::ModalSession *session)
{
    for (qsizetype i = 0; i < m_sessions.size(); ++i) {
        Tracked tracked = m_sessions.at(i);
        if (tracked.session != session)
            continue;
        m_sessions.removeAt(i);
        disconnect(tracked.destroyedConnection);
        QWidget *window = tracked.window.data();
        if (window && window->windowModality() != tracked.previousModality) {
            // A window left on screen after its session is an ordinary window again.
            const bool visible = window->isVisible();
            window->hide();
            window->setWindowModality(tracked.previousModality);
            if (visible)
                window->show();
        }
        return;
    }
}

int BugFixApplication::runModalSession(platform::ModalSession &session)
{
    return session.runOnce();
}

int BugFixApplication::runModalForWindow(QWidget *window)
{
    std::unique_ptr<platform::ModalSession> session = beginModalSessionForWindow(window);
    const int response = session->run();
    endModalSession(std::move(session));
    return response;
}

void BugFixApplication::stopModal()
{
    stopModalWithCode(platform::NSModalResponseStop);
}

void BugFixApplication::stopModalWithCode(int code)
{
    if (!m_sessions.isEmpty())
        m_sessions.last().session->stop(code);
}

void BugFixApplication::abortModal()
{
    stopModalWithCode(platform::NSModalResponseAbort);
}

void BugFixApplication::beginModalSessionWithHWND(void *handle)
{
    m_hWnd = handle;
}

void BugFixApplication::endHWNDModalSession()
{
    m_hWnd = nullptr;
}

void BugFixApplication::windowDidBecomeKey(const platform::Notification &notification)
{
    QWidget *modal = m_theModalWindow.data();
    if (!isRunningModal() || !modal || notification.object == modal)
        return;
    modal->show();
    modal->raise();
    modal->activateWindow();
}

bool BugFixApplication::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::WindowActivate:
        if (watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow())
            platform::NotificationCenter::defaultCenter().postNotificationName(windowDidBecomeKeyNotification,
                                                                               watched);
        break;
    case QEvent::Hide:
        // A modal window closed or hidden by other means than its own buttons would leave its loop
        // running behind an invisible window: its session ends.
        for (const Tracked &tracked : std::as_const(m_sessions)) {
            if (tracked.window.data() == watched && !tracked.window->isMinimized())
                tracked.session->stop(platform::NSModalResponseAbort);
        }
        break;
    default:
        break;
    }
    return KORApplicationOC::eventFilter(watched, event);
}

bool BugFixApplication::notify(QObject *receiver, QEvent *event)
{
    // The last net: every action runs inside its own boundary (framework::performAction), so nothing
    // should come this far. What does is logged, and an open transaction is not left holding the data.
    try {
        return KORApplicationOC::notify(receiver, event);
    } catch (const std::exception &error) {
        escapedError(framework::KORFormHelpers::traitementException(error));
    } catch (...) {
        escapedError(QStringLiteral("Erreur inconnue."));
    }
    return false;
}

void BugFixApplication::escapedError(const QString &reason)
{
    qWarning().noquote() << QStringLiteral(">>>>> Erreur sortie de son action : %1").arg(reason);
    if (data::KORDataBusOC *bus = superDataBus(); bus && bus->hasOpenTransaction()) {
        try {
            bus->rollbackTransaction();
        } catch (const std::exception &error) {
            qWarning().noquote() << QStringLiteral(">>>>> Annulation de la transaction impossible : %1")
                                        .arg(framework::KORFormHelpers::traitementException(error));
        }
    }
}

void BugFixApplication::reportUncaughtError(const QString &reason)
{
    framework::reportActionFailure(reason, superDataBus());
}

} // namespace widgets
