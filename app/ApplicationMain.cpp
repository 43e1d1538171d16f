#include "ApplicationMain.h"

#include "AlertPanel.h"
#include "ApplicationIcon.h"
#include "ApplicationLog.h"
#include "CommandLine.h"
#include "FileDialogOpenPanelPresenter.h"
#include "FileDialogSavePanelPresenter.h"
#include "FrenchTranslations.h"
#include "LocaviaCommandLine.h"
#include "MessageBoxAlertPresenter.h"
#include "NotificationCenter.h"
#include "OpenPanel.h"
#include "SavePanel.h"
#include "StartupProbe.h"
#include "Superviseur.h"

#include <QDebug>
#include <QTimer>
#include <cstdio>

namespace app
{

namespace
{

// Reads the command line before any window exists, so that --help, --version and a usage error need no
// display. The texts of the parser are French, as everywhere else.
LocaviaCommandLine readCommandLine(int argc, char **argv)
{
    QCoreApplication reader(argc, argv);
    platform::FrenchTranslations::install();
    return LocaviaCommandLine::parse(QCoreApplication::arguments());
}

} // namespace

int NSApplicationMain(int argc, char **argv)
{
    platform::FrenchTranslations::useFrenchConventions();
    const LocaviaCommandLine commandLine = readCommandLine(argc, argv);
    if (commandLine.exits()) {
        std::fputs(commandLine.output().toLocal8Bit().constData(), stdout);
        std::fputs(commandLine.errorOutput().toLocal8Bit().constData(), stderr);
        return commandLine.exitStatus();
    }

    // The desktop's own file dialogs would speak the session's language; Qt's speak French.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    Superviseur application(argc, argv);
    QCoreApplication::setApplicationVersion(platform::locaviaVersion());
    QGuiApplication::setDesktopFileName(QStringLiteral("locavia"));
    QApplication::setWindowIcon(ApplicationIcon::icon());
    const QStringList missing = platform::FrenchTranslations::install();
    if (!platform::ApplicationLog::install(platform::LogFile::defaultPath(), QStringLiteral("locavia"))) {
        qWarning().noquote() << QStringLiteral(">>>>> Le journal %1 ne peut pas être écrit.")
                                    .arg(platform::LogFile::defaultPath());
    }
    qInfo().noquote() << QStringLiteral(">>>>> Locavia %1 démarre (Qt %2).")
                             .arg(platform::locaviaVersion(), QString::fromLatin1(qVersion()));
    for (const QString &file : missing)
        qWarning().noquote() << QStringLiteral(">>>>> Traductions de Qt absentes : %1").arg(file);
    application.setDatabaseAddress(commandLine.databaseAddress());

    widgets::MessageBoxAlertPresenter::install();
    widgets::FileDialogSavePanelPresenter::install();
    widgets::FileDialogOpenPanelPresenter::install();
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
    platform::OpenPanel::setPresenter({});
    platform::ApplicationLog::uninstall();
    return application.hasTerminated() ? application.exitStatus() : status;
}

} // namespace app
