#pragma once

#include "BackupFolder.h"

#include <QIODevice>
#include <QList>
#include <optional>
#include <utility>

namespace data
{

// Copies of the embedded database (locavia.db and solma.db together) into its backup folder.
//
// A copy is made in a hidden working folder, checked (integrity of both files, the rooms they hold),
// described by its manifest with a checksum of each file, and only then takes its name: whatever stops it
// (a full disk, a read-only folder, the program ended), no half-made folder passes for a backup. The
// rotation then removes the copies it no longer keeps. Every failure throws eo::EOException
// (Kind::Database) with a French message saying what to do; nothing is left behind.
class SqliteBackup
{
public:
    // What a check of two database files found.
    struct Verification {
        QString problem; // empty when both files are sound Locavia databases
        qint64 rooms = -1;
        int schemaVersion = 0;
    };

    SqliteBackup() = delete;

    // A copy through SQLite's online backup, while other programs go on working: both files are read in
    // one read transaction, so that the copy is the state of one moment, whatever is written meanwhile
    // (writers wait for the copy, as long as they wait for any reader). waitMilliseconds: how long to wait
    // for a writer that holds the files (-1: as long as the program).
    static BackupFolder::Entry create(const QString &databaseDir, const QString &backupsDir, BackupKind kind,
                                      int waitMilliseconds = -1);
    // The day's automatic copy, daily or weekly, when none was made today; nothing otherwise.
    static std::optional<BackupFolder::Entry> daily(const QString &databaseDir, const QString &backupsDir,
                                                    int waitMilliseconds = -1);
    // A copy of files as they are, read from the devices given (name, open device), which the caller holds
    // locked: the files kept before a restore, which may be damaged (the copy is then kept unchecked) or
    // fewer than two. Answers an entry without name when there is nothing to copy.
    static BackupFolder::Entry keep(const QList<std::pair<QString, QIODevice *>> &files,
                                    const QString &backupsDir, BackupKind kind);
    // Checks two database files: integrity, the tables that make them Locavia's, the rooms.
    static Verification verify(const QString &inventoryPath, const QString &solmaPath);

    // The SHA-256 of a device's bytes from where it stands, in hexadecimal; empty when it cannot be read.
    static QByteArray checksum(QIODevice &device);
};

} // namespace data
