#pragma once

#include <QString>
#include <optional>

namespace data
{

// Why a backup of the embedded database was made. The daily and weekly copies are the automatic ones, kept
// by the rotation (the last days, the last weeks); the others are kept apart, each kind by its own count.
enum class BackupKind { Daily, Weekly, Manual, BeforeUpgrade, BeforeRestore };

// The word that names the kind in a backup's folder and manifest ("quotidienne", "avant-mise-a-jour"...).
QString backupKindId(BackupKind kind);
// The kind as a user reads it ("quotidienne", "avant mise à jour"...).
QString backupKindLabel(BackupKind kind);
std::optional<BackupKind> backupKindFromId(const QString &id);
bool isAutomaticBackup(BackupKind kind);

} // namespace data
