#include "SqliteRestore.h"

#include "EOException.h"
#include "FileWriter.h"
#include "SqliteBackup.h"
#include "SqliteDatabaseInstaller.h"
#include "SqliteFailure.h"
#include "SqliteHandles.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace data
{

namespace
{

[[noreturn]] void fail(const QString &message)
{
    throw eo::EOException(eo::EOException::Kind::Database, message);
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QStringList databaseFiles()
{
    return {SqliteDatabaseInstaller::inventoryFileName(), SqliteDatabaseInstaller::solmaFileName()};
}

QString origin()
{
    return QStringLiteral("Restauration de la base");
}

void syncFolder(const QString &folder)
{
    const int descriptor = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
}

QString named(const BackupFolder::Entry &backup)
{
    return QStringLiteral("La sauvegarde « %1 »").arg(backup.name);
}

// Puts the staged copies in place of the database files; answers how many were replaced, and the system's
// error when one could not be. A journal left beside a file would be played back into the new one: it goes
// first.
int replaceFiles(const QDir &dir, int *systemError)
{
    int replaced = 0;
    for (const QString &name : databaseFiles()) {
        const QString staged = dir.absoluteFilePath(SqliteRestore::stagedFileName(name));
        if (!QFileInfo::exists(staged))
            continue;
        const QString target = dir.absoluteFilePath(name);
        for (const char *suffix : {"-journal", "-wal", "-shm"})
            QFile::remove(target + QLatin1String(suffix));
        if (::rename(QFile::encodeName(staged).constData(), QFile::encodeName(target).constData()) != 0) {
            *systemError = errno;
            return replaced;
        }
        ++replaced;
    }
    syncFolder(dir.absolutePath());
    return replaced;
}

// The backup's files copied beside the database under hidden names, checked against the manifest as they
// are read; they go unless they took the files' place.
class StagedFiles
{
public:
    explicit StagedFiles(const QDir &dir) : m_dir(dir) {}
    ~StagedFiles()
    {
        if (m_placed)
            return;
        for (const QString &name : databaseFiles())
            QFile::remove(m_dir.absoluteFilePath(SqliteRestore::stagedFileName(name)));
    }
    StagedFiles(const StagedFiles &) = delete;
    StagedFiles &operator=(const StagedFiles &) = delete;

    QString path(const QString &name) const
    {
        return m_dir.absoluteFilePath(SqliteRestore::stagedFileName(name));
    }
    void placed() { m_placed = true; }

    void copy(const BackupFolder::Entry &backup, const QString &name)
    {
        QFile source(QDir(backup.path).absoluteFilePath(name));
        if (!source.open(QIODevice::ReadOnly))
            fail(QStringLiteral("%1 ne peut pas être lue : %2. Rien n'a été modifié.")
                     .arg(named(backup), source.errorString()));
        platform::FileWriter copy(path(name));
        const auto refuse = [&] {
            fail(QStringLiteral("%1 ne peut pas être copiée dans « %2 ». %3 Rien n'a été modifié.")
                     .arg(named(backup), shown(m_dir.absolutePath()),
                          platform::FileWriter::sentence(copy.errorString())));
        };
        if (!copy.open())
            refuse();
        QCryptographicHash hash(QCryptographicHash::Sha256);
        QByteArray chunk;
        while (!(chunk = source.read(1 << 20)).isEmpty()) {
            hash.addData(chunk);
            if (copy.device()->write(chunk) != chunk.size())
                break;
        }
        if (copy.failed())
            refuse();
        const BackupManifest::File *expected = backup.manifest.file(name);
        if (!source.atEnd() || !expected || hash.result().toHex() != expected->sha256)
            fail(QStringLiteral(
                     "Le fichier « %1 » de la sauvegarde « %2 » a changé pendant sa lecture : rien n'a "
                     "été modifié.")
                     .arg(name, backup.name));
        if (!copy.commit())
            refuse();
        // A folder shared by several users keeps its files' permissions through the restore.
        const QString current = m_dir.absoluteFilePath(name);
        if (QFileInfo::exists(current))
            QFile::setPermissions(path(name), QFile::permissions(current));
    }

private:
    QDir m_dir;
    bool m_placed = false;
};

// The current files, each held by a connection in an exclusive transaction (no program writes them until
// they are replaced) and open for reading, so that they can be kept as they are. A damaged file cannot be
// held, and no program can use it either; a missing one has nothing to keep.
class HeldFiles
{
public:
    HeldFiles(const QDir &dir, int waitMilliseconds)
    {
        const QString files = QStringLiteral("« %1 » et « %2 »")
                                  .arg(shown(dir.absoluteFilePath(databaseFiles().at(0))),
                                       shown(dir.absoluteFilePath(databaseFiles().at(1))));
        for (const QString &name : databaseFiles()) {
            const QString path = dir.absoluteFilePath(name);
            if (!QFileInfo(path).isFile())
                continue;
            Held held;
            held.name = name;
            sqlite3 *raw = nullptr;
            int rc =
                sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
            held.connection.reset(raw);
            if (rc == SQLITE_OK) {
                sqlite3_busy_timeout(raw, waitMilliseconds < 0 ? SqliteFailure::busyTimeoutMilliseconds()
                                                               : waitMilliseconds);
                rc = sqlite3_exec(raw, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
            }
            const int primary = rc & 0xff;
            if (rc != SQLITE_OK && primary != SQLITE_NOTADB && primary != SQLITE_CORRUPT)
                fail(SqliteFailure::message(raw, rc, files, origin()));
            // The file is read through a descriptor that stays open until the end: closing one would let go
            // of the locks this program holds on the file.
            held.file = std::make_unique<QFile>(path);
            if (!held.file->open(QIODevice::ReadOnly))
                fail(QStringLiteral("%1 : le fichier « %2 » ne peut pas être lu (%3). Rien n'a été modifié.")
                         .arg(origin(), shown(path), held.file->errorString()));
            m_held.push_back(std::move(held));
        }
    }
    ~HeldFiles()
    {
        for (Held &held : m_held) {
            if (held.connection)
                sqlite3_exec(held.connection.get(), "ROLLBACK", nullptr, nullptr, nullptr);
        }
    }
    HeldFiles(const HeldFiles &) = delete;
    HeldFiles &operator=(const HeldFiles &) = delete;

    QList<std::pair<QString, QIODevice *>> devices() const
    {
        QList<std::pair<QString, QIODevice *>> devices;
        for (const Held &held : m_held)
            devices.append({held.name, held.file.get()});
        return devices;
    }

private:
    struct Held {
        QString name;
        SqliteConnectionPtr connection;
        std::unique_ptr<QFile> file;
    };
    std::vector<Held> m_held;
};

} // namespace

namespace
{

// The backup's files against its manifest: both there, each with the size and checksum recorded (which ties
// both to this backup), made by a version of the program that this one can read.
QString checkFiles(const BackupFolder::Entry &backup)
{
    if (backup.name.isEmpty())
        return QStringLiteral("Cette sauvegarde est introuvable, ou incomplète : elle n'est pas restaurée.");
    for (const QString &name : databaseFiles()) {
        const BackupManifest::File *expected = backup.manifest.file(name);
        QFile file(QDir(backup.path).absoluteFilePath(name));
        if (!expected || !file.open(QIODevice::ReadOnly) || file.size() != expected->size ||
            SqliteBackup::checksum(file) != expected->sha256)
            return QStringLiteral(
                       "%1 est endommagée : son fichier « %2 » n'est pas celui qu'elle a enregistré. "
                       "Elle n'est pas restaurée.")
                .arg(named(backup), name);
    }
    if (backup.manifest.schemaVersion > SqliteDatabaseInstaller::schemaVersion())
        return QStringLiteral(
                   "%1 vient d'une version plus récente de Locavia (%2) : cette version ne peut pas la "
                   "restaurer.")
            .arg(named(backup), backup.manifest.version);
    return QString();
}

// The integrity of two files holding the backup, and their rooms against its manifest.
QString checkContents(const BackupFolder::Entry &backup, const SqliteBackup::Verification &verification)
{
    if (!verification.problem.isEmpty())
        return QStringLiteral("%1 est endommagée : elle n'est pas restaurée. %2")
            .arg(named(backup), verification.problem);
    if (verification.rooms != backup.manifest.rooms)
        return QStringLiteral(
                   "%1 est endommagée : elle compte %2 salles au lieu des %3 enregistrées. Elle n'est pas "
                   "restaurée.")
            .arg(named(backup))
            .arg(verification.rooms)
            .arg(backup.manifest.rooms);
    return QString();
}

} // namespace

QString SqliteRestore::check(const BackupFolder::Entry &backup)
{
    const QString problem = checkFiles(backup);
    if (!problem.isEmpty())
        return problem;
    const QDir dir(backup.path);
    return checkContents(backup, SqliteBackup::verify(dir.absoluteFilePath(databaseFiles().at(0)),
                                                      dir.absoluteFilePath(databaseFiles().at(1))));
}

SqliteRestore::Report SqliteRestore::restore(const QString &databaseDir, const QString &backupsDir,
                                             const BackupFolder::Entry &backup, const QString &resourcesDir,
                                             int waitMilliseconds)
{
    finishInterrupted(databaseDir);
    // The checksums first; the integrity is checked on the copies that will take the files' place.
    const QString problem = checkFiles(backup);
    if (!problem.isEmpty())
        fail(problem);
    const QDir dir(databaseDir);
    if (!QDir().mkpath(dir.absolutePath()))
        fail(QStringLiteral("Le dossier « %1 » ne peut pas être créé : rien n'a été modifié.")
                 .arg(shown(dir.absolutePath())));

    StagedFiles staged(dir);
    for (const QString &name : databaseFiles())
        staged.copy(backup, name);
    const SqliteBackup::Verification copied =
        SqliteBackup::verify(staged.path(databaseFiles().at(0)), staged.path(databaseFiles().at(1)));
    const QString damage = checkContents(backup, copied);
    if (!damage.isEmpty())
        fail(damage);

    Report report;
    report.restored = backup;
    {
        const HeldFiles held(dir, waitMilliseconds);
        try {
            report.kept = SqliteBackup::keep(held.devices(), backupsDir, BackupKind::BeforeRestore);
        } catch (const eo::EOException &error) {
            fail(QStringLiteral(
                     "Les fichiers actuels de la base n'ont pas pu être gardés avant la restauration : "
                     "rien n'a été modifié. %1")
                     .arg(error.message()));
        }
        const QString marker = dir.absoluteFilePath(markerFileName());
        QString error;
        if (!platform::FileWriter::writeAtomically(marker, backup.name.toUtf8() + '\n', &error))
            fail(QStringLiteral("%1 : « %2 » ne peut pas être écrit. %3 Rien n'a été modifié.")
                     .arg(origin(), shown(marker), platform::FileWriter::sentence(error)));
        int systemError = 0;
        const int replaced = replaceFiles(dir, &systemError);
        if (replaced > 0)
            staged.placed();
        if (replaced == 0 && systemError) {
            QFile::remove(marker);
            fail(QStringLiteral("%1 : les fichiers de la base ne peuvent pas être remplacés. %2 Rien n'a été "
                                "modifié.")
                     .arg(origin(), platform::FileWriter::sentence(
                                        platform::FileWriter::reason(systemError, dir.absolutePath()))));
        }
        if (systemError)
            fail(QStringLiteral(
                     "%1 : un seul des deux fichiers de la base a pu être remplacé (%2). Le second le sera "
                     "au prochain démarrage de Locavia, ou en relançant la restauration.")
                     .arg(origin(), QString::fromLocal8Bit(std::strerror(systemError))));
        QFile::remove(marker);
        syncFolder(dir.absolutePath());
    }

    // The files in place are the copies checked above, renamed.
    report.rooms = copied.rooms;
    if (copied.schemaVersion < SqliteDatabaseInstaller::schemaVersion()) {
        SqliteDatabaseInstaller::install(dir.absolutePath(), resourcesDir, false, waitMilliseconds);
        report.upgraded = true;
    }
    qInfo().noquote() << QStringLiteral(
                             ">>>>> Sauvegarde « %1 » restaurée dans %2 (%3 salles) ; fichiers remplacés "
                             "gardés dans « %4 ».")
                             .arg(backup.name, shown(dir.absolutePath()))
                             .arg(report.rooms)
                             .arg(report.kept.name.isEmpty() ? QStringLiteral("-") : shown(report.kept.path));
    return report;
}

void SqliteRestore::finishInterrupted(const QString &databaseDir)
{
    const QDir dir(databaseDir);
    const QString marker = dir.absoluteFilePath(markerFileName());
    if (!QFileInfo::exists(marker)) {
        // Copies staged by a restore that stopped before replacing anything; a day old, so that a restore
        // that another program is making now keeps its own.
        const QDateTime dayAgo = QDateTime::currentDateTime().addDays(-1);
        for (const QString &name : databaseFiles()) {
            const QFileInfo staged(dir.absoluteFilePath(stagedFileName(name)));
            if (staged.exists() && staged.lastModified() < dayAgo)
                QFile::remove(staged.absoluteFilePath());
        }
        return;
    }
    int systemError = 0;
    replaceFiles(dir, &systemError);
    if (systemError)
        fail(QStringLiteral(
                 "Une restauration de la base interrompue ne peut pas être achevée dans « %1 » : %2")
                 .arg(shown(dir.absolutePath()),
                      platform::FileWriter::reason(systemError, dir.absolutePath())));
    QFile::remove(marker);
    syncFolder(dir.absolutePath());
    qWarning().noquote() << QStringLiteral(
                                ">>>>> Une restauration de la base interrompue a été achevée dans « %1 ».")
                                .arg(shown(dir.absolutePath()));
}

} // namespace data
