#pragma once

#include "BackupKind.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace data
{

// What a backup folder says of itself, in its file sauvegarde.json, written whole once both copies are
// checked: a folder without it, or with one that cannot be read, is not a backup. The checksums tie both
// files to this backup, so that a restore never puts back a file of another one, or a damaged one.
struct BackupManifest {
    struct File {
        QString name;      // locavia.db or solma.db
        qint64 size = 0;   // bytes
        QByteArray sha256; // hexadecimal
    };

    QDateTime date;
    BackupKind kind = BackupKind::Manual;
    // Rooms in the copy; -1 when the copy could not be read (the files kept before a restore, damaged).
    qint64 rooms = -1;
    // The program that made it, and the schema version of its files.
    QString version;
    int schemaVersion = 0;
    // Whether the integrity check of both copies passed. Only the files kept before a restore may be
    // unchecked: they are kept as they were, even damaged.
    bool checked = true;
    QList<File> files;

    static QString fileName() { return QStringLiteral("sauvegarde.json"); }

    QByteArray toJson() const;
    // Nothing when the text is not a complete manifest.
    static std::optional<BackupManifest> fromJson(const QByteArray &json);
    // The entry of one file; null when the manifest has none.
    const File *file(const QString &name) const;
};

} // namespace data
