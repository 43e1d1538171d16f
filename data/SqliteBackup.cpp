#include "SqliteBackup.h"

#include "BackupRotation.h"
#include "Clock.h"
#include "CommandLine.h"
#include "EOException.h"
#include "FileWriter.h"
#include "SqliteDatabaseInstaller.h"
#include "SqliteFailure.h"
#include "SqliteHandles.h"
#include "SqliteRestore.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// What keeps a backup from being written in its folder, with what to do.
[[noreturn]] void failToWrite(const QString &folder, const QString &reason)
{
    fail(QStringLiteral("La sauvegarde ne peut pas être écrite dans « %1 ». %2")
             .arg(shown(folder), platform::FileWriter::sentence(reason)));
}

[[noreturn]] void failToWrite(const QString &folder, int systemError)
{
    failToWrite(folder, platform::FileWriter::reason(systemError, folder));
}

// The folder's entries reach the disk: a backup renamed into place survives a machine switched off.
void syncFolder(const QString &folder)
{
    const int descriptor = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
}

void makeFolder(const QString &folder)
{
    if (QDir().mkpath(folder))
        return;
    if (QFileInfo::exists(folder))
        failToWrite(folder, QStringLiteral("« %1 » est un fichier, pas un dossier : déplacez ce fichier ou "
                                           "choisissez un autre dossier des sauvegardes.")
                                .arg(shown(folder)));
    // Qt does not say why: the system does, for the folder itself or the first one missing above it.
    QString missing = QDir::cleanPath(folder);
    while (!QFileInfo(QFileInfo(missing).absolutePath()).exists() && missing != QLatin1String("/"))
        missing = QFileInfo(missing).absolutePath();
    errno = 0;
    const int created = ::mkdir(QFile::encodeName(missing).constData(), 0777);
    failToWrite(folder, created == 0 ? EIO : errno);
}

// The hidden folder where a backup is made; it goes unless it was published under its final name.
class WorkingFolder
{
public:
    WorkingFolder(const QString &backupsDir, BackupKind kind) : m_backupsDir(QDir(backupsDir).absolutePath())
    {
        makeFolder(m_backupsDir);
        QByteArray pattern =
            QFile::encodeName(QDir(m_backupsDir)
                                  .absoluteFilePath(BackupFolder::workingPrefix() + backupKindId(kind) +
                                                    QStringLiteral("-XXXXXX")));
        if (!::mkdtemp(pattern.data()))
            failToWrite(m_backupsDir, errno);
        m_path = QFile::decodeName(pattern);
    }
    ~WorkingFolder()
    {
        if (!m_published)
            QDir(m_path).removeRecursively();
    }
    WorkingFolder(const WorkingFolder &) = delete;
    WorkingFolder &operator=(const WorkingFolder &) = delete;

    const QString &backupsDir() const { return m_backupsDir; }
    QString file(const QString &name) const { return QDir(m_path).absoluteFilePath(name); }

    // The backup takes its name: its date and kind, numbered when another one has the same.
    QString publish(const QDateTime &date, BackupKind kind)
    {
        syncFolder(m_path);
        const QString base = date.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss_")) + backupKindId(kind);
        QString name = base;
        for (int number = 2; QFileInfo::exists(QDir(m_backupsDir).absoluteFilePath(name)); ++number)
            name = base + QStringLiteral("-%1").arg(number);
        const QString target = QDir(m_backupsDir).absoluteFilePath(name);
        if (::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(target).constData()) != 0)
            failToWrite(m_backupsDir, errno);
        m_published = true;
        syncFolder(m_backupsDir);
        return name;
    }

private:
    QString m_backupsDir;
    QString m_path;
    bool m_published = false;
};

QString files(const QString &inventory, const QString &solma)
{
    return QStringLiteral("« %1 » et « %2 »").arg(shown(inventory), shown(solma));
}

QString origin()
{
    return QStringLiteral("Sauvegarde de la base");
}

// Runs a statement whose rows, if any, are not needed; answers SQLite's code.
int run(sqlite3 *db, const char *sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

// The first column of each row of a statement; nothing but the code when it fails.
int rows(sqlite3 *db, const QByteArray &sql, QStringList *values)
{
    sqlite3_stmt *raw = nullptr;
    int rc = sqlite3_prepare_v2(db, sql.constData(), -1, &raw, nullptr);
    const SqliteStatementPtr statement(raw);
    if (rc != SQLITE_OK)
        return rc;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW)
        values->append(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(raw, 0))));
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

// Copies one schema of the source connection into a new file through the online backup.
void copyOnline(sqlite3 *source, const char *schema, const QString &target, const QString &backupsDir,
                const QString &sourceFiles)
{
    sqlite3 *raw = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(target).constData(), &raw,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    const SqliteConnectionPtr copy(raw);
    if (rc != SQLITE_OK)
        failToWrite(backupsDir, sqlite3_system_errno(raw) ? sqlite3_system_errno(raw) : EIO);
    // The copy is on the disk when the backup says it is done.
    run(copy.get(), "PRAGMA synchronous = FULL");
    sqlite3_backup *backup = sqlite3_backup_init(copy.get(), "main", source, schema);
    if (!backup)
        fail(QStringLiteral("%1 : %2").arg(origin(), QString::fromUtf8(sqlite3_errmsg(copy.get()))));
    // The source is held in one read transaction: the copy is made in one step, never restarted.
    rc = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup);
    if (rc == SQLITE_DONE)
        rc = finished;
    if (rc == SQLITE_OK)
        return;
    const int systemError = sqlite3_system_errno(copy.get());
    switch (rc & 0xff) {
    case SQLITE_FULL:
        failToWrite(backupsDir, ENOSPC);
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
        failToWrite(backupsDir, systemError ? systemError : EACCES);
    case SQLITE_IOERR:
        if (systemError)
            failToWrite(backupsDir, systemError);
        break;
    default:
        break;
    }
    fail(SqliteFailure::message(copy.get(), rc, sourceFiles, origin()));
}

// The copied files get their manifest and their name; the rotation then drops what it no longer keeps.
BackupFolder::Entry seal(WorkingFolder &work, BackupKind kind, const SqliteBackup::Verification &verification,
                         const QStringList &names)
{
    BackupManifest manifest;
    manifest.date = platform::Clock::now();
    manifest.date = manifest.date.toOffsetFromUtc(manifest.date.offsetFromUtc());
    manifest.kind = kind;
    manifest.rooms = verification.rooms;
    manifest.version = platform::locaviaVersion();
    manifest.schemaVersion = verification.schemaVersion;
    manifest.checked = verification.problem.isEmpty();
    for (const QString &name : names) {
        QFile file(work.file(name));
        const QByteArray sum = file.open(QIODevice::ReadOnly) ? SqliteBackup::checksum(file) : QByteArray();
        if (sum.isEmpty())
            failToWrite(work.backupsDir(), EIO);
        manifest.files.append({name, file.size(), sum});
    }
    QString error;
    if (!platform::FileWriter::writeAtomically(work.file(BackupManifest::fileName()), manifest.toJson(),
                                               &error))
        failToWrite(work.backupsDir(), error);
    const QString name = work.publish(manifest.date, kind);
    const QString path = QDir(work.backupsDir()).absoluteFilePath(name);
    const QStringList removed = BackupFolder::prune(work.backupsDir(), name);
    qInfo().noquote()
        << QStringLiteral(">>>>> Sauvegarde %1 de la base faite : %2 (%3 salles)%4")
               .arg(backupKindLabel(kind), shown(path))
               .arg(manifest.rooms < 0 ? QStringLiteral("?") : QString::number(manifest.rooms))
               .arg(removed.isEmpty()
                        ? QString()
                        : QStringLiteral(" ; effacées : %1").arg(removed.join(QStringLiteral(", "))));
    return {name, path, manifest};
}

} // namespace

BackupFolder::Entry SqliteBackup::create(const QString &databaseDir, const QString &backupsDir,
                                         BackupKind kind, int waitMilliseconds)
{
    SqliteRestore::finishInterrupted(databaseDir);
    const QDir dir(databaseDir);
    const QString inventory = dir.absoluteFilePath(SqliteDatabaseInstaller::inventoryFileName());
    const QString solma = dir.absoluteFilePath(SqliteDatabaseInstaller::solmaFileName());
    for (const QString &path : {inventory, solma}) {
        if (!QFileInfo(path).isFile())
            fail(QStringLiteral("La base « %1 » est introuvable : il n'y a rien à sauvegarder.")
                     .arg(shown(path)));
    }
    const QString sourceFiles = files(inventory, solma);
    WorkingFolder work(backupsDir, kind);

    sqlite3 *raw = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(inventory).constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    const SqliteConnectionPtr source(raw);
    if (rc != SQLITE_OK)
        fail(SqliteFailure::message(raw, rc, sourceFiles, origin()));
    sqlite3_busy_timeout(source.get(),
                         waitMilliseconds < 0 ? SqliteFailure::busyTimeoutMilliseconds() : waitMilliseconds);
    {
        sqlite3_stmt *attachRaw = nullptr;
        sqlite3_prepare_v2(source.get(), "ATTACH DATABASE ?1 AS SOLMA", -1, &attachRaw, nullptr);
        const SqliteStatementPtr attach(attachRaw);
        const QByteArray path = QFile::encodeName(solma);
        sqlite3_bind_text(attachRaw, 1, path.constData(), int(path.size()), SQLITE_TRANSIENT);
        rc = attachRaw ? sqlite3_step(attachRaw) : sqlite3_errcode(source.get());
        if (rc != SQLITE_DONE)
            fail(SqliteFailure::message(source.get(), rc, sourceFiles, origin()));
    }
    // One read transaction over both files: what the copy holds is the state of one moment.
    QStringList markers;
    rc = run(source.get(), "BEGIN");
    if (rc == SQLITE_OK)
        rc = rows(
            source.get(),
            "SELECT name FROM main.sqlite_schema WHERE type = 'table' AND name = 'EO_PROCEDURE' UNION ALL "
            "SELECT name FROM SOLMA.sqlite_schema WHERE type = 'table' AND name = 'SOLMA_PARAMETRES'",
            &markers);
    if (rc != SQLITE_OK)
        fail(SqliteFailure::message(source.get(), rc, sourceFiles, origin()));
    if (markers.size() != 2)
        fail(QStringLiteral(
                 "Les fichiers %1 ne sont pas ceux d'une base Locavia : ils ne sont pas sauvegardés.")
                 .arg(sourceFiles));
    copyOnline(source.get(), "main", work.file(SqliteDatabaseInstaller::inventoryFileName()),
               work.backupsDir(), sourceFiles);
    copyOnline(source.get(), "SOLMA", work.file(SqliteDatabaseInstaller::solmaFileName()), work.backupsDir(),
               sourceFiles);
    run(source.get(), "COMMIT");

    const Verification verification = verify(work.file(SqliteDatabaseInstaller::inventoryFileName()),
                                             work.file(SqliteDatabaseInstaller::solmaFileName()));
    if (!verification.problem.isEmpty())
        fail(QStringLiteral("La copie de la base ne passe pas la vérification d'intégrité : elle n'est pas "
                            "gardée. %1")
                 .arg(verification.problem));
    return seal(work, kind, verification,
                {SqliteDatabaseInstaller::inventoryFileName(), SqliteDatabaseInstaller::solmaFileName()});
}

std::optional<BackupFolder::Entry> SqliteBackup::daily(const QString &databaseDir, const QString &backupsDir,
                                                       int waitMilliseconds)
{
    const QList<BackupFolder::Entry> backups = BackupFolder::list(backupsDir);
    const QDate today = platform::Clock::now().date();
    if (!BackupRotation::dailyDue(backups, today))
        return std::nullopt;
    return create(databaseDir, backupsDir, BackupRotation::nextAutomaticKind(backups, today),
                  waitMilliseconds);
}

BackupFolder::Entry SqliteBackup::keep(const QList<std::pair<QString, QIODevice *>> &files,
                                       const QString &backupsDir, BackupKind kind)
{
    if (files.isEmpty())
        return {};
    WorkingFolder work(backupsDir, kind);
    QStringList names;
    for (const auto &[name, device] : files) {
        platform::FileWriter copy(work.file(name));
        if (!copy.open())
            failToWrite(work.backupsDir(), copy.errorString());
        QByteArray chunk;
        while (!(chunk = device->read(1 << 20)).isEmpty()) {
            if (copy.device()->write(chunk) != chunk.size())
                break;
        }
        if (!device->atEnd())
            fail(QStringLiteral("Le fichier « %1 » de la base ne peut pas être lu : %2")
                     .arg(name, device->errorString()));
        if (!copy.commit())
            failToWrite(work.backupsDir(), copy.errorString());
        names.append(name);
    }
    const QString inventory = SqliteDatabaseInstaller::inventoryFileName();
    const QString solma = SqliteDatabaseInstaller::solmaFileName();
    Verification verification;
    if (names.contains(inventory) && names.contains(solma))
        verification = verify(work.file(inventory), work.file(solma));
    else
        verification.problem = QStringLiteral("Un des deux fichiers de la base manquait.");
    if (!verification.problem.isEmpty())
        qWarning().noquote() << QStringLiteral(
                                    ">>>>> Les fichiers gardés ne passent pas la vérification : %1")
                                    .arg(verification.problem);
    return seal(work, kind, verification, names);
}

SqliteBackup::Verification SqliteBackup::verify(const QString &inventoryPath, const QString &solmaPath)
{
    Verification result;
    for (const QString &path : {inventoryPath, solmaPath}) {
        if (!QFileInfo(path).isFile()) {
            result.problem = QStringLiteral("Le fichier « %1 » manque.").arg(shown(path));
            return result;
        }
    }
    sqlite3 *raw = nullptr;
    int rc =
        sqlite3_open_v2(QFile::encodeName(inventoryPath).constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    const SqliteConnectionPtr db(raw);
    const auto problem = [&](int code, const QString &path) {
        const QString detail = QString::fromUtf8(sqlite3_errmsg(db.get()));
        if ((code & 0xff) == SQLITE_NOTADB)
            return QStringLiteral("Le fichier « %1 » n'est pas une base SQLite.").arg(shown(path));
        return QStringLiteral("Le fichier « %1 » ne peut pas être lu (%2).").arg(shown(path), detail);
    };
    if (rc == SQLITE_OK)
        rc = run(db.get(), "SELECT COUNT(*) FROM main.sqlite_schema");
    if (rc != SQLITE_OK) {
        result.problem = problem(rc, inventoryPath);
        return result;
    }
    {
        sqlite3_stmt *attachRaw = nullptr;
        sqlite3_prepare_v2(db.get(), "ATTACH DATABASE ?1 AS SOLMA", -1, &attachRaw, nullptr);
        const SqliteStatementPtr attach(attachRaw);
        const QByteArray path = QFile::encodeName(solmaPath);
        sqlite3_bind_text(attachRaw, 1, path.constData(), int(path.size()), SQLITE_TRANSIENT);
        rc = sqlite3_step(attachRaw);
        if (rc != SQLITE_DONE) {
            result.problem = problem(rc, solmaPath);
            return result;
        }
    }
    const std::pair<const char *, QString> schemas[] = {{"main", inventoryPath}, {"SOLMA", solmaPath}};
    for (const auto &[schema, path] : schemas) {
        QStringList report;
        rc = rows(db.get(), QByteArray("PRAGMA ") + schema + ".integrity_check(5)", &report);
        if (rc != SQLITE_OK) {
            result.problem = (rc & 0xff) == SQLITE_CORRUPT || (rc & 0xff) == SQLITE_NOTADB
                                 ? QStringLiteral("Le fichier « %1 » est endommagé (%2).")
                                       .arg(shown(path), QString::fromUtf8(sqlite3_errmsg(db.get())))
                                 : problem(rc, path);
            return result;
        }
        if (report != QStringList{QStringLiteral("ok")}) {
            result.problem = QStringLiteral("Le fichier « %1 » est endommagé (%2).")
                                 .arg(shown(path), report.join(QStringLiteral(" ; ")));
            return result;
        }
    }
    QStringList facts;
    rc = rows(
        db.get(),
        "SELECT (SELECT COUNT(*) FROM main.sqlite_schema WHERE type = 'table' AND name = 'EO_PROCEDURE') + "
        "(SELECT COUNT(*) FROM SOLMA.sqlite_schema WHERE type = 'table' AND name = 'SOLMA_PARAMETRES') "
        "UNION ALL SELECT user_version FROM pragma_user_version",
        &facts);
    if (rc != SQLITE_OK || facts.value(0) != QLatin1String("2")) {
        result.problem = QStringLiteral("Les fichiers %1 ne sont pas ceux d'une base Locavia.")
                             .arg(files(inventoryPath, solmaPath));
        return result;
    }
    result.schemaVersion = facts.value(1).toInt();
    QStringList rooms;
    rc = rows(db.get(), "SELECT COUNT(*) FROM SOLMA.SALLES", &rooms);
    if (rc != SQLITE_OK) {
        result.problem = problem(rc, solmaPath);
        return result;
    }
    result.rooms = rooms.value(0).toLongLong();
    return result;
}

QByteArray SqliteBackup::checksum(QIODevice &device)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&device))
        return {};
    return hash.result().toHex();
}

} // namespace data
