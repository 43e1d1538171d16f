#pragma once

#include <QString>

namespace data
{

// Creates or upgrades the embedded database: the inventory file (locavia.db) and the reference schema
// file (solma.db) in one directory, from the SQL under <resources>/sql/sqlite/.
//
// - A missing file is built under a temporary name and renamed only once complete, so a failure never
//   leaves a half-built database behind.
// - An existing file is upgraded in place: missing tables, indexes and views are created, the stored
//   procedure bodies are replaced, the data is kept. A file that is not a Locavia database is refused.
// - The procedure bodies go to the table EO_PROCEDURE (NAME, BODY) of locavia.db, one row per
//   procedures/<name>.sql, plus the row "#session": session.sql, the statements the adaptor runs on every
//   connection once solma.db is attached as SOLMA (the views that join both files, the triggers of the
//   change history).
// - With replace, both files are built anew and then take the place of the existing ones (their data is
//   lost, but only once the new files are complete).
// - Both files are installed or upgraded in one transaction (solma.db attached to locavia.db as the program
//   attaches it): both or neither. A program that holds them (Locavia open on them) is waited for as long as
//   the program itself waits for a lock; past that, the installation gives up with a French message, leaves
//   both files as they were, and can simply be run again.
//
// An existing database whose schema is older than the program's is first copied into its backup folder
// (a backup of kind "avant mise à jour"); when that copy fails, the upgrade is not made.
//
// Before anything is committed, every procedure body is compiled against the schema (with solma.db
// attached and the per-connection views made), so a body that names an unknown table or column is refused
// at install time rather than when a user saves a room.
// Every failure throws eo::EOException (Kind::Database) with a French message.
class SqliteDatabaseInstaller
{
public:
    // waitMilliseconds: how long to wait for a program that holds the files (-1: as long as the program).
    static void install(const QString &directory, const QString &resourcesDir, bool replace = false,
                        int waitMilliseconds = -1);

    // The version of the schema this program installs (PRAGMA user_version of both files).
    static int schemaVersion();

    static QString inventoryFileName() { return QStringLiteral("locavia.db"); }
    static QString solmaFileName() { return QStringLiteral("solma.db"); }
    // The schema name under which the application attaches solma.db.
    static QString solmaSchemaName() { return QStringLiteral("SOLMA"); }
};

} // namespace data
