#pragma once

#include "BackupFolder.h"

#include <QDate>

namespace data
{

// Which backups are kept. The automatic copies: the newest of each of the last 7 days that have one, and the
// week's copy (the first automatic copy of a week, Monday to Sunday) of the last 4 weeks that have one.
// Beside them, the last 10 manual copies, the last 5 made before an upgrade and the last 5 made before a
// restore.
class BackupRotation
{
public:
    static constexpr int Days = 7;
    static constexpr int Weeks = 4;
    static constexpr int Manual = 10;
    static constexpr int BeforeUpgrade = 5;
    static constexpr int BeforeRestore = 5;

    BackupRotation() = delete;

    // The names of the backups the rotation no longer keeps.
    static QStringList surplus(const QList<BackupFolder::Entry> &backups);
    // Whether the automatic copy of the day is still to be made.
    static bool dailyDue(const QList<BackupFolder::Entry> &backups, const QDate &today);
    // The kind of the next automatic copy: weekly when the week has no weekly copy yet.
    static BackupKind nextAutomaticKind(const QList<BackupFolder::Entry> &backups, const QDate &today);
};

} // namespace data
