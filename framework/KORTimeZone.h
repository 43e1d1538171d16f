#pragma once

#include <QString>

namespace framework
{

// The process's default time zone. Qt has no zone of its own for local time: it follows the C library, so
// the zone is set through the TZ variable of the environment and tzset(); every local date formatted
// afterwards (QDateTime, QDate, the C library) uses it.
//
// A name is an identifier of the system's zone database ("Europe/Paris", "UTC", "WET"), or one of the
// European summer-time abbreviations, which name no zone by themselves and are taken as the zone of a city
// that uses them: "WEST" (Western European Summer Time) is Europe/Lisbon, "CEST" Europe/Paris, "EEST"
// Europe/Athens, "BST" Europe/London. Without a zone database on the system, these four are set from their
// rules written for the C library ("WET0WEST,M3.5.0/1,M10.5.0"), so the default zone is always available.
class KORTimeZone
{
public:
    KORTimeZone() = delete;

    // The zone set before the configuration is read, and whenever the configured one cannot be set.
    static QString defaultZoneName() { return QStringLiteral("WEST"); }

    // The zone database identifier for a name; empty when the name is unknown.
    static QString resolve(const QString &name);
    // Makes the named zone the process's local time; false, and nothing changed, for an unknown name.
    static bool setDefaultTimeZone(const QString &name);
    // The configured zone (empty: the default, silently); a name that cannot be set writes two lines to the
    // log and the default is set instead.
    static void initTimeZone(const QString &configuredName);
    // The identifier now in force (the TZ variable), empty when the process runs on the system's zone.
    static QString currentZoneId();
};

} // namespace framework
