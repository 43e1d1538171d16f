#include "BackupCommand.h"

#include "BackupFolder.h"
#include "CommandLine.h"
#include "DataFolder.h"
#include "EOException.h"
#include "Resources.h"
#include "SqliteBackup.h"
#include "SqliteRestore.h"

#include <QDir>
#include <QTextStream>

namespace admin
{

namespace
{

// What the copies log for the program's log file: here the command says it on its output, and only the
// warnings go to the error output.
void warningsOnly(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    QString text = message;
    if (text.startsWith(QLatin1String(">>>>> ")))
        text = text.mid(6);
    QTextStream(stderr) << "locavia-admin : " << text << "\n";
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

void list(const QString &folder, QTextStream &out)
{
    const QList<data::BackupFolder::Entry> backups = data::BackupFolder::list(folder);
    if (backups.isEmpty()) {
        out << "Aucune sauvegarde dans « " << shown(folder) << " ».\n";
        return;
    }
    out << "Sauvegardes de « " << shown(folder) << " », de la plus récente à la plus ancienne :\n";
    for (const data::BackupFolder::Entry &backup : backups) {
        const data::BackupManifest &manifest = backup.manifest;
        QString kind = data::backupKindLabel(manifest.kind);
        if (!manifest.checked)
            kind += QStringLiteral(" (non vérifiée)");
        out << backup.name.leftJustified(40) << "  "
            << manifest.date.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) << "  "
            << kind.leftJustified(33) << "  "
            << (manifest.rooms < 0 ? QStringLiteral("?") : QString::number(manifest.rooms)).rightJustified(7)
            << " salles  " << manifest.version << "\n";
    }
}

} // namespace

int BackupCommand::run(const AdminArguments &options, QTextStream &out, QTextStream &err)
{
    const QString directory =
        QDir(options.directory().isEmpty() ? data::DataFolder::path() : options.directory()).absolutePath();
    const QString folder = data::BackupFolder::forDatabase(directory, platform::resourcesDirectory());
    qInstallMessageHandler(warningsOnly);
    try {
        if (options.command() == AdminArguments::Command::Backup) {
            std::optional<data::BackupFolder::Entry> made;
            if (options.daily())
                made = data::SqliteBackup::daily(directory, folder);
            else
                made = data::SqliteBackup::create(directory, folder, data::BackupKind::Manual);
            if (!made) {
                out << "La sauvegarde du jour de « " << shown(directory) << " » est déjà faite.\n";
                return platform::CommandLine::Success;
            }
            out << "Sauvegarde " << data::backupKindLabel(made->manifest.kind) << " faite : « "
                << shown(made->path) << " » (" << made->manifest.rooms << " salles).\n";
        } else if (options.list()) {
            list(folder, out);
        } else {
            const data::BackupFolder::Entry backup = data::BackupFolder::find(folder, options.backup());
            if (backup.name.isEmpty()) {
                err << "locavia-admin : la sauvegarde « " << options.backup() << " » est introuvable dans « "
                    << shown(folder) << " », ou incomplète (voir locavia-admin restore --list).\n";
                return platform::CommandLine::Failure;
            }
            const data::SqliteRestore::Report report =
                data::SqliteRestore::restore(directory, folder, backup, platform::resourcesDirectory());
            out << "Sauvegarde « " << backup.name << " » restaurée dans « " << shown(directory) << " » ("
                << report.rooms << " salles).\n";
            if (!report.kept.name.isEmpty())
                out << "Les fichiers remplacés sont gardés dans « " << shown(report.kept.path) << " ».\n";
            if (report.upgraded)
                out << "La base restaurée a été mise à jour pour cette version de Locavia.\n";
        }
    } catch (const eo::EOException &exception) {
        err << "locavia-admin : " << exception.message() << "\n";
        return platform::CommandLine::Failure;
    }
    return platform::CommandLine::Success;
}

} // namespace admin
