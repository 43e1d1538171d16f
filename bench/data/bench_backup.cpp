// What a backup of the embedded database costs on the 100,000-room database: the copy through SQLite's online
// backup with its integrity check, the check alone, and a restore (the backup checked, copied beside the
// base, the current files kept, both files replaced). Works on a copy of the database in a temporary folder.
// Prints "name: value" lines.

#include "BenchSupport.h"
#include "EOException.h"
#include "Resources.h"
#include "SqliteBackup.h"
#include "SqliteRestore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QString source = qEnvironmentVariable("LOCAVIA_BENCH_DATA");
    if (source.isEmpty()) {
        std::fprintf(stderr, "LOCAVIA_BENCH_DATA doit désigner le dossier de la base de mesure.\n");
        return 2;
    }
    const int runs = bench::runsAsked(5);
    QTemporaryDir work;
    const QString base = work.filePath(QStringLiteral("base"));
    const QString backups = work.filePath(QStringLiteral("sauvegardes"));
    QDir().mkpath(base);
    qint64 bytes = 0;
    for (const char *name : {"locavia.db", "solma.db"}) {
        const QString file = QDir(source).filePath(QLatin1String(name));
        if (!QFile::copy(file, QDir(base).filePath(QLatin1String(name)))) {
            std::fprintf(stderr, "%s ne peut pas être copié.\n", qPrintable(file));
            return 1;
        }
        bytes += QFileInfo(file).size();
    }
    try {
        std::vector<double> create;
        std::vector<double> verify;
        std::vector<double> restore;
        qint64 rooms = 0;
        for (int run = 0; run < runs; ++run) {
            QElapsedTimer timer;
            timer.start();
            const data::BackupFolder::Entry backup =
                data::SqliteBackup::create(base, backups, data::BackupKind::Manual);
            create.push_back(double(timer.nsecsElapsed()) / 1e6);
            rooms = backup.manifest.rooms;
            timer.restart();
            data::SqliteBackup::verify(backup.path + QStringLiteral("/locavia.db"),
                                       backup.path + QStringLiteral("/solma.db"));
            verify.push_back(double(timer.nsecsElapsed()) / 1e6);
            timer.restart();
            data::SqliteRestore::restore(base, backups, backup, platform::resourcesDirectory());
            restore.push_back(double(timer.nsecsElapsed()) / 1e6);
            // Only this run's copies are kept on the disk.
            for (const data::BackupFolder::Entry &old : data::BackupFolder::list(backups))
                QDir(old.path).removeRecursively();
        }
        std::printf("backup_rooms: %lld\n", static_cast<long long>(rooms));
        std::printf("backup_files_mb: %.1f\n", double(bytes) / 1e6);
        std::printf("backup_create_ms: %.0f\n", bench::median(create));
        std::printf("backup_integrity_check_ms: %.0f\n", bench::median(verify));
        std::printf("backup_restore_ms: %.0f\n", bench::median(restore));
    } catch (const eo::EOException &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
