#pragma once

#include "BackupManifest.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace data
{

// The folder of the embedded database's backups: one sub-folder per backup, named by its date and kind
// (2024-06-11_18-05-03_quotidienne), holding copies of locavia.db and solma.db and the manifest. A backup
// being written lives in a hidden folder (.en-cours-…) and takes its name only once complete and checked.
class BackupFolder
{
public:
    struct Entry {
        QString name;
        QString path;
        BackupManifest manifest;
    };

    BackupFolder() = delete;

    // The key of the configuration file that names the folder.
    static QString configurationKey() { return QStringLiteral("BACKUP_DIR"); }
    // Where the backups of the database in databaseDir go: the configured folder (a relative one is taken
    // from the database's folder), by default « sauvegardes » beside the database files.
    static QString path(const QString &databaseDir, const QString &configured);
    // The same, the folder read from the configuration file of the resources (Application.config).
    static QString forDatabase(const QString &databaseDir, const QString &resourcesDir);

    // The backups of a folder, newest first. A folder without a readable manifest is not one.
    static QList<Entry> list(const QString &folder);
    // The backup of that name (or path) in the folder; its name is empty when there is none.
    static Entry find(const QString &folder, const QString &nameOrPath);
    // Removes the backups the rotation no longer keeps, and the working folders of backups that never
    // finished (a day old); answers the names removed. The backup named kept stays whatever its date.
    static QStringList prune(const QString &folder, const QString &kept = QString());
    // The name of a working folder, to tell it from a backup.
    static QString workingPrefix() { return QStringLiteral(".en-cours-"); }
};

} // namespace data
