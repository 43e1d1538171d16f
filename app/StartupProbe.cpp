#include "StartupProbe.h"

#include "Superviseur.h"

#include <QTimer>
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
        // Once the events queued by the start-up (the drawing of the tab among them) are handled.
        QTimer::singleShot(0, this, &StartupProbe::report);
    });
}

void StartupProbe::report()
{
    std::fputs(readyLine(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    if (m_quit)
        m_application.terminate(this);
}

} // namespace app
