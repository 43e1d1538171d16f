#include "BackupManifest.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace data
{

namespace
{

constexpr int Format = 1;

} // namespace

QByteArray BackupManifest::toJson() const
{
    QJsonArray fichiers;
    for (const File &entry : files)
        fichiers.append(QJsonObject{{QStringLiteral("nom"), entry.name},
                                    {QStringLiteral("taille"), entry.size},
                                    {QStringLiteral("sha256"), QString::fromLatin1(entry.sha256)}});
    const QJsonObject root{
        {QStringLiteral("format"), Format},           {QStringLiteral("date"), date.toString(Qt::ISODate)},
        {QStringLiteral("type"), backupKindId(kind)}, {QStringLiteral("salles"), rooms},
        {QStringLiteral("version"), version},         {QStringLiteral("versionSchema"), schemaVersion},
        {QStringLiteral("verifiee"), checked},        {QStringLiteral("fichiers"), fichiers}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<BackupManifest> BackupManifest::fromJson(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject root = document.object();
    BackupManifest manifest;
    manifest.date = QDateTime::fromString(root.value(QStringLiteral("date")).toString(), Qt::ISODate);
    const std::optional<BackupKind> kind = backupKindFromId(root.value(QStringLiteral("type")).toString());
    if (root.value(QStringLiteral("format")).toInt() != Format || !manifest.date.isValid() || !kind)
        return std::nullopt;
    manifest.kind = *kind;
    manifest.rooms = root.value(QStringLiteral("salles")).toInteger(-1);
    manifest.version = root.value(QStringLiteral("version")).toString();
    manifest.schemaVersion = root.value(QStringLiteral("versionSchema")).toInt();
    manifest.checked = root.value(QStringLiteral("verifiee")).toBool(false);
    for (const QJsonValue &value : root.value(QStringLiteral("fichiers")).toArray()) {
        const QJsonObject entry = value.toObject();
        File file{entry.value(QStringLiteral("nom")).toString(),
                  entry.value(QStringLiteral("taille")).toInteger(-1),
                  entry.value(QStringLiteral("sha256")).toString().toLatin1()};
        if (file.name.isEmpty() || file.size < 0 || file.sha256.size() != 64)
            return std::nullopt;
        manifest.files.append(file);
    }
    return manifest;
}

const BackupManifest::File *BackupManifest::file(const QString &name) const
{
    for (const File &entry : files) {
        if (entry.name == name)
            return &entry;
    }
    return nullptr;
}

} // namespace data
