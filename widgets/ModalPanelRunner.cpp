#include "ModalPanelRunner.h"

#include "BugFixApplication.h"
#include "ModalSession.h"

#include <QEvent>
#include <QGuiApplication>
#include <QList>
#include <QPointer>
#include <QScreen>
#include <QWidget>

namespace widgets
{

namespace
{

// Sessions run without an application object of ours, innermost last.
QList<platform::ModalSession *> &sessionsPropres()
{
    static QList<platform::ModalSession *> sessions;
    return sessions;
}

// Ends a session whose window is hidden or closed other than by its own buttons (Escape, the close box).
class FinDeSession : public QObject
{
public:
    explicit FinDeSession(platform::ModalSession &session) : m_session(session) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Hide)
            m_session.stop(platform::NSModalResponseAbort);
        return QObject::eventFilter(watched, event);
    }

private:
    platform::ModalSession &m_session;
};

void centrer(QWidget *panneau)
{
    panneau->adjustSize();
    QWidget *proprietaire = panneau->parentWidget() ? panneau->parentWidget()->window() : nullptr;
    QRect cadre;
    if (proprietaire && proprietaire->isVisible())
        cadre = proprietaire->frameGeometry();
    else if (QScreen *ecran = QGuiApplication::primaryScreen())
        cadre = ecran->availableGeometry();
    if (cadre.isValid())
        panneau->move(cadre.center() - panneau->rect().center());
}

int runSansApplication(QWidget *panneau)
{
    platform::ModalSession session(panneau);
    const Qt::WindowModality avant = panneau->windowModality();
    panneau->setWindowModality(Qt::ApplicationModal);
    FinDeSession fin(session);
    panneau->installEventFilter(&fin);
    const QMetaObject::Connection detruit = QObject::connect(
        panneau, &QObject::destroyed, [&session] { session.stop(platform::NSModalResponseAbort); });
    sessionsPropres().append(&session);
    panneau->show();
    panneau->raise();
    panneau->activateWindow();
    const int reponse = session.run();
    sessionsPropres().removeOne(&session);
    QObject::disconnect(detruit);
    panneau->removeEventFilter(&fin);
    panneau->setWindowModality(avant);
    return reponse;
}

} // namespace

int ModalPanelRunner::run(QWidget *panneau)
{
    if (!panneau)
        return platform::NSModalResponseAbort;
    const QPointer<QWidget> garde(panneau);
    centrer(panneau);
    int reponse = platform::NSModalResponseAbort;
    if (auto *application = widgets::BugFixApplication::instance())
        reponse = application->runModalForWindow(panneau);
    else
        reponse = runSansApplication(panneau);
    // A session stopped by other means than the panel's own buttons still leaves the panel put away.
    if (garde)
        garde->hide();
    return reponse;
}

void ModalPanelRunner::stop()
{
    if (auto *application = widgets::BugFixApplication::instance()) {
        application->stopModal();
        return;
    }
    if (!sessionsPropres().isEmpty())
        sessionsPropres().last()->stop(platform::NSModalResponseStop);
}

bool ModalPanelRunner::isRunning()
{
    if (auto *application = widgets::BugFixApplication::instance())
        return application->isRunningModal();
    return !sessionsPropres().isEmpty();
}

} // namespace widgets
