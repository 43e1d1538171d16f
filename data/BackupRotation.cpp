#include "BackupRotation.h"

#include <QSet>
#include <algorithm>

namespace data
{

namespace
{

QDate dayOf(const BackupFolder::Entry &backup)
{
    return backup.manifest.date.toLocalTime().date();
}

int weekOf(const QDate &day)
{
    int year = 0;
    const int week = day.weekNumber(&year);
    return year * 100 + week;
}

QList<BackupFolder::Entry> newestFirst(QList<BackupFolder::Entry> backups)
{
    std::stable_sort(backups.begin(), backups.end(), [](const auto &a, const auto &b) {
        return a.manifest.date != b.manifest.date ? a.manifest.date > b.manifest.date : a.name > b.name;
    });
    return backups;
}

// Keeps the newest backup of each period (day, week or the backup itself) of the kinds given, for the
// newest `periods` periods.
template <typename Period>
void keepNewest(const QList<BackupFolder::Entry> &backups, std::initializer_list<BackupKind> kinds,
                int periods, Period period, QSet<QString> &kept)
{
    QSet<qint64> seen;
    for (const BackupFolder::Entry &backup : backups) {
        if (std::find(kinds.begin(), kinds.end(), backup.manifest.kind) == kinds.end())
            continue;
        const qint64 key = period(backup);
        if (seen.contains(key))
            continue;
        if (seen.size() == periods)
            break;
        seen.insert(key);
        kept.insert(backup.name);
    }
}

} // namespace

QStringList BackupRotation::surplus(const QList<BackupFolder::Entry> &backups)
{
    const QList<BackupFolder::Entry> sorted = newestFirst(backups);
    QSet<QString> kept;
    keepNewest(
        sorted, {BackupKind::Daily, BackupKind::Weekly}, Days,
        [](const auto &backup) { return dayOf(backup).toJulianDay(); }, kept);
    keepNewest(
        sorted, {BackupKind::Weekly}, Weeks, [](const auto &backup) { return weekOf(dayOf(backup)); }, kept);
    qint64 order = 0;
    const auto each = [&order](const auto &) { return order++; };
    keepNewest(sorted, {BackupKind::Manual}, Manual, each, kept);
    keepNewest(sorted, {BackupKind::BeforeUpgrade}, BeforeUpgrade, each, kept);
    keepNewest(sorted, {BackupKind::BeforeRestore}, BeforeRestore, each, kept);

    QStringList removed;
    for (const BackupFolder::Entry &backup : sorted) {
        if (!kept.contains(backup.name))
            removed.append(backup.name);
    }
    return removed;
}

bool BackupRotation::dailyDue(const QList<BackupFolder::Entry> &backups, const QDate &today)
{
    return std::none_of(backups.begin(), backups.end(), [&today](const BackupFolder::Entry &backup) {
        return isAutomaticBackup(backup.manifest.kind) && dayOf(backup) == today;
    });
}

BackupKind BackupRotation::nextAutomaticKind(const QList<BackupFolder::Entry> &backups, const QDate &today)
{
    const bool weekHasOne =
        std::any_of(backups.begin(), backups.end(), [&today](const BackupFolder::Entry &backup) {
            return backup.manifest.kind == BackupKind::Weekly && weekOf(dayOf(backup)) == weekOf(today);
        });
    return weekHasOne ? BackupKind::Daily : BackupKind::Weekly;
}

} // namespace data
