#include "StartupProbe.h"

#include "Superviseur.h"

#include <QEvent>
#include <QMainWindow>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace app
{

void StartupProbe::installFromEnvironment(Superviseur &application)
{
    const QString mode = qEnvironmentVariable("LOCAVIA_READY_PROBE").trimmed().toLower();
    if (mode != QLatin1String("print") && mode != QLatin1String("quit"))
        return;
    new StartupProbe(application, mode == QLatin1String("quit")); // child of the application
}

StartupProbe::StartupProbe(Superviseur &application, bool quit)
    : QObject(&application), m_application(application), m_quit(quit)
{
    connect(&application, &Superviseur::started, this, [this] {
        // The tab is ready once the main window has drawn it; a window that draws nothing within a second
        // (no display to draw on) is reported all the same.
        if (QWidget *window = m_application.mainWindow())
            window->installEventFilter(this);
        QTimer::singleShot(1000, this, &StartupProbe::report);
    });
}

bool StartupProbe::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::UpdateRequest || event->type() == QEvent::Paint) {
        watched->removeEventFilter(this);
        QTimer::singleShot(0, this, &StartupProbe::report);
    }
    return QObject::eventFilter(watched, event);
}

void StartupProbe::report()
{
    if (m_reported)
        return;
    m_reported = true;
    std::fputs(readyLine(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    if (m_quit)
        m_application.terminate(this);
}

} // namespace app
