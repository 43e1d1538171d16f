#include "ApplicationMain.h"

#include "AlertPanel.h"
#include "MessageBoxAlertPresenter.h"
#include "NotificationCenter.h"
#include "StartupProbe.h"
#include "Superviseur.h"

#include <QTimer>

namespace app
{

int NSApplicationMain(int argc, char **argv)
{
    Superviseur application(argc, argv);
    widgets::MessageBoxAlertPresenter::install();
    application.loadMainInterface();
    StartupProbe::installFromEnvironment(application);
    // Launching is over once the event loop runs: that is when the start-up sequence begins.
    QTimer::singleShot(0, &application, [&application] {
        platform::NotificationCenter::defaultCenter().postNotificationName(
            Superviseur::didFinishLaunchingNotification, &application);
    });
    const int status = QCoreApplication::exec();
    platform::setAlertPresenter({});
    return application.hasTerminated() ? application.exitStatus() : status;
}

} // namespace app
