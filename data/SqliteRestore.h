#pragma once

#include "BackupFolder.h"

namespace data
{

// Puts a backup of the embedded database back in place of its two files.
//
// The backup is checked first (the checksums of its manifest, which tie both files to it, then the
// integrity of each file): a damaged one is refused and nothing changes. Its files are copied beside the
// database under hidden names and checked again; the current files, held so that no program writes them
// meanwhile, are kept as a backup of kind "avant restauration"; then both copies take the place of the
// current files. Between the two replacements a marker file says that a restore is under way: a program
// that finds it (at its next start) completes the restore, so that the database never has one file of
// the backup and the other of before. A program that still has the former files open can no longer write
// them (SQLite refuses to write a file that was replaced) and must be started again.
//
// Every failure throws eo::EOException (Kind::Database) with a French message.
class SqliteRestore
{
public:
    struct Report {
        BackupFolder::Entry restored;
        // The current files kept before the restore; no name when there were none.
        BackupFolder::Entry kept;
        qint64 rooms = 0;
        // Whether the restored files were upgraded to the program's schema.
        bool upgraded = false;
    };

    SqliteRestore() = delete;

    // Why the backup cannot be restored, in French; empty when it can.
    static QString check(const BackupFolder::Entry &backup);
    // resourcesDir: the SQL that upgrades a backup made by an older version of the program.
    // waitMilliseconds: how long to wait for a program that is writing the files (-1: as long as the
    // program).
    static Report restore(const QString &databaseDir, const QString &backupsDir,
                          const BackupFolder::Entry &backup, const QString &resourcesDir,
                          int waitMilliseconds = -1);
    // Completes a restore that the end of its program interrupted while it replaced the files; every
    // program calls it before it opens the database.
    static void finishInterrupted(const QString &databaseDir);

    static QString markerFileName() { return QStringLiteral(".restauration-en-cours"); }
    // The hidden name a file of the backup has beside the database until it takes the file's place.
    static QString stagedFileName(const QString &name)
    {
        return QLatin1Char('.') + name + QStringLiteral(".restauration");
    }
};

} // namespace data
