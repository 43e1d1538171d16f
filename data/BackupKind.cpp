#include "BackupKind.h"

#include <array>

namespace data
{

namespace
{

struct KindNames {
    BackupKind kind;
    const char *id;
    const char *label;
};

constexpr std::array<KindNames, 5> names{{
    {BackupKind::Daily, "quotidienne", "quotidienne"},
    {BackupKind::Weekly, "hebdomadaire", "hebdomadaire"},
    {BackupKind::Manual, "manuelle", "manuelle"},
    {BackupKind::BeforeUpgrade, "avant-mise-a-jour", "avant mise à jour"},
    {BackupKind::BeforeRestore, "avant-restauration", "avant restauration"},
}};

const KindNames &namesOf(BackupKind kind)
{
    for (const KindNames &entry : names) {
        if (entry.kind == kind)
            return entry;
    }
    return names.front();
}

} // namespace

QString backupKindId(BackupKind kind)
{
    return QString::fromLatin1(namesOf(kind).id);
}

QString backupKindLabel(BackupKind kind)
{
    return QString::fromUtf8(namesOf(kind).label);
}

std::optional<BackupKind> backupKindFromId(const QString &id)
{
    for (const KindNames &entry : names) {
        if (id == QLatin1String(entry.id))
            return entry.kind;
    }
    return std::nullopt;
}

bool isAutomaticBackup(BackupKind kind)
{
    return kind == BackupKind::Daily || kind == BackupKind::Weekly;
}

} // namespace data
