#include "KORTimeZone.h"

#include <QDebug>
#include <QFile>
#include <QRegularExpression>
#include <ctime>

namespace framework
{

namespace
{

QString zoneDirectory()
{
    const QString fromEnv = qEnvironmentVariable("TZDIR");
    return fromEnv.isEmpty() ? QStringLiteral("/usr/share/zoneinfo") : fromEnv;
}

// A name of the zone database: words of letters, digits, '_', '+' and '-' separated by '/', which cannot
// climb out of the zone directory; the file must be a compiled zone ("TZif"), not one of the tables that
// live beside them.
bool isDatabaseZone(const QString &name)
{
    static const QRegularExpression shape(QStringLiteral("^[A-Za-z0-9_+-]+(/[A-Za-z0-9_+-]+)*$"));
    if (!shape.match(name).hasMatch())
        return false;
    QFile file(zoneDirectory() + QLatin1Char('/') + name);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return file.read(4) == "TZif";
}

} // namespace

QString KORTimeZone::resolve(const QString &name)
{
    if (name.isEmpty())
        return {};
    if (isDatabaseZone(name))
        return name;
    // Each summer-time abbreviation with the city zone that uses it, and the same rules written for the C
    // library, used when the system has no zone database.
    struct SummerTime {
        const char16_t *abbreviation;
        const char16_t *zone;
        const char16_t *rules;
    };
    static constexpr SummerTime summerTimes[]{
        {u"WEST", u"Europe/Lisbon", u"WET0WEST,M3.5.0/1,M10.5.0"},
        {u"CEST", u"Europe/Paris", u"CET-1CEST,M3.5.0,M10.5.0/3"},
        {u"EEST", u"Europe/Athens", u"EET-2EEST,M3.5.0/3,M10.5.0/4"},
        {u"BST", u"Europe/London", u"GMT0BST,M3.5.0/1,M10.5.0"},
    };
    for (const SummerTime &summerTime : summerTimes) {
        if (name.compare(QStringView(summerTime.abbreviation), Qt::CaseInsensitive) != 0)
            continue;
        const QString zone = QString::fromUtf16(summerTime.zone);
        return isDatabaseZone(zone) ? zone : QString::fromUtf16(summerTime.rules);
    }
    return {};
}

bool KORTimeZone::setDefaultTimeZone(const QString &name)
{
    const QString zone = resolve(name);
    if (zone.isEmpty())
        return false;
    qputenv("TZ", zone.toUtf8());
    tzset();
    return true;
}

void KORTimeZone::initTimeZone(const QString &configuredName)
{
    const QString name = configuredName.isEmpty() ? defaultZoneName() : configuredName;
    if (setDefaultTimeZone(name))
        return;
    qWarning().noquote() << QStringLiteral(">>>>> Error while setting the time zone to <%1>").arg(name);
    qWarning().noquote() << QStringLiteral(">>>>> The time zone was set to <%1>").arg(defaultZoneName());
    setDefaultTimeZone(defaultZoneName());
}

QString KORTimeZone::currentZoneId()
{
    return qEnvironmentVariable("TZ");
}

} // namespace framework
