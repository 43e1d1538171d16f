// locavia-admin: installs or upgrades the embedded database or a department's server, and fills it with demo
// data on request; backs up and restores the embedded database.

#include "AdminArguments.h"
#include "BackupCommand.h"
#include "CommandLine.h"
#include "DemoDataGenerator.h"
#include "EOException.h"
#include "PostgreSQLDatabaseInstaller.h"
#include "PostgreSQLDemoLoader.h"
#include "Resources.h"
#include "SqliteDatabaseInstaller.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTextStream>

namespace
{

enum ExitCode {
    Success = platform::CommandLine::Success,
    Failure = platform::CommandLine::Failure,
    UsageError = platform::CommandLine::UsageError
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const admin::AdminArguments options = admin::AdminArguments::parse(arguments);
    if (options.helpRequested()) {
        out << admin::AdminArguments::usage();
        return Success;
    }
    if (options.versionRequested()) {
        out << platform::CommandLine::versionText(QStringLiteral("locavia-admin"));
        return Success;
    }
    if (!options.isValid()) {
        err << "locavia-admin : " << options.error() << "\n\n" << admin::AdminArguments::usage();
        return UsageError;
    }

    if (options.command() == admin::AdminArguments::Command::Backup ||
        options.command() == admin::AdminArguments::Command::Restore)
        return admin::BackupCommand::run(options, out, err);

    try {
        QVariantMap server;
        QString directory;
        if (options.command() == admin::AdminArguments::Command::PostgreSQL) {
            // Administration waits as long as the server needs: no time limits of the program's sessions.
            server = {{QStringLiteral("URL"), options.url()},
                      {QStringLiteral("password"), options.password()},
                      {QStringLiteral("lockTimeout"), 0},
                      {QStringLiteral("statementTimeout"), 0}};
            const data::PostgreSQLDatabaseInstaller::Report report =
                data::PostgreSQLDatabaseInstaller::install(server, platform::resourcesDirectory());
            out << (report.databaseCreated ? "Base créée et schémas installés sur "
                                           : "Schémas installés sur ")
                << report.database << " (" << report.procedures << " procédures).\n";
        } else {
            directory = QDir(options.directory()).absolutePath();
            data::SqliteDatabaseInstaller::install(directory, platform::resourcesDirectory(),
                                                   options.replace());
            out << "Base installée dans « " << QDir::toNativeSeparators(directory) << " ».\n";
        }
        if (options.demo()) {
            const QString login =
                options.user().isEmpty() ? admin::DemoDataGenerator::currentLogin() : options.user();
            admin::DemoDataGenerator::Summary summary;
            QElapsedTimer timer;
            timer.start();
            const bool filled =
                server.isEmpty()
                    ? admin::DemoDataGenerator::fill(directory, options.rooms(), login, &summary)
                    : admin::PostgreSQLDemoLoader::fill(server, options.rooms(), login, &summary);
            if (filled) {
                out << "Données de démonstration : " << summary.buildings << " bâtiments, " << summary.rooms
                    << " salles (dont " << summary.optionRooms << " en option), " << summary.outlets
                    << " prises, " << summary.equipmentLines << " lignes de matériel, "
                    << summary.occupationLines << " lignes d'occupation ; compte autorisé « " << summary.login
                    << " » (" << timer.elapsed() << " ms).\n";
            } else {
                err << "locavia-admin : la base contient déjà des salles, les données de démonstration ne "
                       "sont pas ajoutées.\n";
            }
        }
    } catch (const eo::EOException &exception) {
        err << "locavia-admin : " << exception.message() << "\n";
        return Failure;
    }
    return Success;
}
