#include "ApplicationMain.h"

#include "AlertPanel.h"
#include "FileDialogSavePanelPresenter.h"
#include "MessageBoxAlertPresenter.h"
#include "NotificationCenter.h"
#include "SavePanel.h"
#include "StartupProbe.h"
#include "Superviseur.h"

#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

namespace app
{

int NSApplicationMain(int argc, char **argv)
{
    Superviseur application(argc, argv);
    // Qt's own texts (file dialogs, standard buttons, context menus) in French.
    QTranslator qtFrancais;
    if (qtFrancais.load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtFrancais);
    widgets::MessageBoxAlertPresenter::install();
    widgets::FileDialogSavePanelPresenter::install();
    application.loadMainInterface();
    StartupProbe::installFromEnvironment(application);
    // Launching is over once the event loop runs: that is when the start-up sequence begins.
    QTimer::singleShot(0, &application, [&application] {
        platform::NotificationCenter::defaultCenter().postNotificationName(
            Superviseur::didFinishLaunchingNotification, &application);
    });
    const int status = QCoreApplication::exec();
    platform::setAlertPresenter({});
    platform::SavePanel::setPresenter({});
    return application.hasTerminated() ? application.exitStatus() : status;
}

} // namespace app
