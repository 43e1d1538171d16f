#pragma once

#include "KORApplicationOC.h"
#include "ModalSession.h"
#include "NotificationCenter.h"

#include <QList>
#include <QPointer>
#include <QWidget>
#include <memory>

namespace widgets
{

class WheelEventHandler;

// The application class between the framework's base and the application itself. Every modal session of
// the program passes through it, so that it always knows the window of the current session (and can bring
// it back to the front); and it turns the mouse wheel into steps of the focused scroll view. Errors of
// actions are caught at each action's own boundary (framework/KORAction.h); its event dispatch is only a last
// net that logs what would still come through and rolls back an open transaction.
class BugFixApplication : public framework::KORApplicationOC
{
    Q_OBJECT
public:
    // The notification posted each time a window of the application becomes the active (key) window; its
    // object is that window.
    static const QString windowDidBecomeKeyNotification;

    BugFixApplication(int &argc, char **argv);
    ~BugFixApplication() override;

    // The application object, or null when none (or another kind) exists.
    static BugFixApplication *instance();

    // Once the main interface is loaded: makes windowDidBecomeKey the handler of the window activations.
    // An application class that replaces this and does not call it leaves the handler unsubscribed.
    virtual void awakeFromNib();

    // Modal sessions. Beginning one forgets the kept window and handle, keeps the given window, makes it
    // application-modal and shows it in front; ending one forgets them again. Sessions are not stacked: an
    // inner session replaces the kept window and, once ended, leaves none kept.
    std::unique_ptr<platform::ModalSession> beginModalSessionForWindow(QWidget *window);
    void endModalSession(std::unique_ptr<platform::ModalSession> session);
    // Handles the waiting events once: NSModalResponseContinue while the session runs, else its response.
    int runModalSession(platform::ModalSession &session);
    // Runs the window modally until stopModal (NSModalResponseStop), stopModalWithCode or abortModal; a
    // window that is closed, hidden or destroyed meanwhile ends its session with NSModalResponseAbort.
    int runModalForWindow(QWidget *window);
    // Stop the innermost session; nothing when none runs.
    void stopModal() override;
    void stopModalWithCode(int code);
    void abortModal();
    // A modal session has begun and not ended.
    bool isRunningModal() const { return !m_sessions.isEmpty(); }
    QWidget *theModalWindow() const { return m_theModalWindow.data(); }

    // A modal window run outside the toolkit: its native handle is recorded until the session ends.
    void beginModalSessionWithHWND(void *handle);
    void endHWNDModalSession();
    void *hWnd() const { return m_hWnd; }

    // During a modal session, another window that became active gives way to the modal window.
    void windowDidBecomeKey(const platform::Notification &notification);

    bool notify(QObject *receiver, QEvent *event) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Ends the action that let an error escape: the log line (">>>>> "), an open transaction rolled back,
    // the "ERREUR" alert (framework::reportActionFailure with this application's data bus).
    void reportUncaughtError(const QString &reason);
    // The last net of the event dispatch: the log line and the rollback, no alert.
    void escapedError(const QString &reason);

private:
    struct Tracked {
        platform::ModalSession *session;
        QPointer<QWidget> window;
        Qt::WindowModality previousModality;
        QMetaObject::Connection destroyedConnection;
    };

    void forget(platform::ModalSession *session);

    QList<Tracked> m_sessions; // begun and not ended, innermost last
    QPointer<QWidget> m_theModalWindow;
    void *m_hWnd = nullptr;
    WheelEventHandler *m_wheel; // child of the application
};

} // namespace widgets
