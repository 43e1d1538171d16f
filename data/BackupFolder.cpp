#include "BackupFolder.h"

#include "BackupRotation.h"
#include "StringsFileParser.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace data
{

QString BackupFolder::path(const QString &databaseDir, const QString &configured)
{
    const QString folder = configured.trimmed();
    if (folder.isEmpty())
        return QDir(databaseDir).absoluteFilePath(QStringLiteral("sauvegardes"));
    return QDir::cleanPath(QDir(databaseDir).absoluteFilePath(folder));
}

QString BackupFolder::forDatabase(const QString &databaseDir, const QString &resourcesDir)
{
    // A missing or broken configuration file leaves the default folder, as it leaves every other default.
    const auto configuration = platform::StringsFileParser::parseFile(
        QDir(resourcesDir).absoluteFilePath(QStringLiteral("Application.config")));
    return path(databaseDir, configuration ? configuration->value(configurationKey()) : QString());
}

QList<BackupFolder::Entry> BackupFolder::list(const QString &folder)
{
    QList<Entry> backups;
    const QFileInfoList folders = QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &info : folders) {
        QFile file(QDir(info.absoluteFilePath()).absoluteFilePath(BackupManifest::fileName()));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const std::optional<BackupManifest> manifest = BackupManifest::fromJson(file.readAll());
        if (manifest)
            backups.append({info.fileName(), info.absoluteFilePath(), *manifest});
    }
    std::stable_sort(backups.begin(), backups.end(), [](const Entry &a, const Entry &b) {
        return a.manifest.date != b.manifest.date ? a.manifest.date > b.manifest.date : a.name > b.name;
    });
    return backups;
}

BackupFolder::Entry BackupFolder::find(const QString &folder, const QString &nameOrPath)
{
    const QString name = QFileInfo(QDir::cleanPath(nameOrPath)).fileName();
    const QString wanted = nameOrPath.contains(QLatin1Char('/')) ? QFileInfo(nameOrPath).absoluteFilePath()
                                                                 : QDir(folder).absoluteFilePath(name);
    const QList<Entry> backups = list(QFileInfo(wanted).absolutePath());
    for (const Entry &backup : backups) {
        if (backup.name == name)
            return backup;
    }
    return {};
}

QStringList BackupFolder::prune(const QString &folder, const QString &kept)
{
    QStringList removed;
    for (const QString &name : BackupRotation::surplus(list(folder))) {
        if (name == kept)
            continue;
        if (QDir(QDir(folder).absoluteFilePath(name)).removeRecursively())
            removed.append(name);
        else
            qWarning().noquote() << QStringLiteral(
                                        ">>>>> La sauvegarde périmée « %1 » ne peut pas être effacée.")
                                        .arg(QDir::toNativeSeparators(QDir(folder).absoluteFilePath(name)));
    }
    // A backup interrupted by the end of its program (a machine switched off) leaves its working folder; one
    // still being written by another program is younger than a day.
    const QDateTime dayAgo = QDateTime::currentDateTime().addDays(-1);
    const QFileInfoList working = QDir(folder).entryInfoList(
        {workingPrefix() + QLatin1Char('*')}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo &info : working) {
        if (info.lastModified() < dayAgo)
            QDir(info.absoluteFilePath()).removeRecursively();
    }
    return removed;
}

} // namespace data
