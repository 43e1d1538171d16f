// The process's time zone: names of the zone database and summer-time abbreviations, what refuses to be a
// zone, the two log lines of a zone that cannot be set, and dates formatted afterwards in the new zone.

#include "KORTimeZone.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>

using framework::KORTimeZone;

namespace
{

QStringList logged;

void recordLog(QtMsgType, const QMessageLogContext &, const QString &message)
{
    logged << message;
}

// Local wall-clock time of an instant given in UTC.
QString localTime(const char *utc)
{
    return QDateTime::fromString(QString::fromLatin1(utc), Qt::ISODate)
        .toLocalTime()
        .toString(QStringLiteral("HH:mm"));
}

} // namespace

class TestKORTimeZone : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void resolvesNames_data();
    void resolvesNames();
    void datesFollowTheZone_data();
    void datesFollowTheZone();
    void unknownZoneFallsBackWithTwoLogLines();
    void noLogForTheDefault_data();
    void noLogForTheDefault();
    void summerTimesWithoutZoneDatabase();

private:
    QtMessageHandler m_previous = nullptr;
};

void TestKORTimeZone::init()
{
    logged.clear();
    m_previous = qInstallMessageHandler(recordLog);
}

void TestKORTimeZone::cleanup()
{
    qInstallMessageHandler(m_previous);
    qunsetenv("TZDIR");
}

void TestKORTimeZone::resolvesNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("zone");

    QTest::newRow("city zone") << QStringLiteral("Europe/Paris") << QStringLiteral("Europe/Paris");
    QTest::newRow("zone of three levels") << QStringLiteral("America/Argentina/Buenos_Aires")
                                          << QStringLiteral("America/Argentina/Buenos_Aires");
    QTest::newRow("plain zone") << QStringLiteral("UTC") << QStringLiteral("UTC");
    QTest::newRow("WET is a zone of the database") << QStringLiteral("WET") << QStringLiteral("WET");
    QTest::newRow("WEST is the summer time of Lisbon")
        << QStringLiteral("WEST") << QStringLiteral("Europe/Lisbon");
    QTest::newRow("abbreviation in lower case") << QStringLiteral("west") << QStringLiteral("Europe/Lisbon");
    QTest::newRow("CEST") << QStringLiteral("CEST") << QStringLiteral("Europe/Paris");
    QTest::newRow("unknown") << QStringLiteral("Mars/Olympus") << QStringLiteral("");
    QTest::newRow("empty") << QStringLiteral("") << QStringLiteral("");
    QTest::newRow("climbing out of the zone folder")
        << QStringLiteral("../../../etc/passwd") << QStringLiteral("");
    QTest::newRow("absolute path") << QStringLiteral("/usr/share/zoneinfo/UTC") << QStringLiteral("");
    QTest::newRow("table beside the zones") << QStringLiteral("zone.tab") << QStringLiteral("");
    QTest::newRow("file that is not a zone") << QStringLiteral("leapseconds") << QStringLiteral("");
    QTest::newRow("folder") << QStringLiteral("Europe") << QStringLiteral("");
    QTest::newRow("rules for the C library are not a name")
        << QStringLiteral("CET-1CEST,M3.5.0,M10.5.0/3") << QStringLiteral("");
    QTest::newRow("offset") << QStringLiteral("UTC+01:00") << QStringLiteral("");
}

void TestKORTimeZone::resolvesNames()
{
    QFETCH(QString, name);
    QFETCH(QString, zone);
    QCOMPARE(KORTimeZone::resolve(name), zone);
}

void TestKORTimeZone::datesFollowTheZone_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("summer"); // 2021-07-01 12:00 UTC
    QTest::addColumn<QString>("winter"); // 2021-01-15 12:00 UTC

    QTest::newRow("Tokyo") << QStringLiteral("Asia/Tokyo") << QStringLiteral("21:00")
                           << QStringLiteral("21:00");
    QTest::newRow("Paris") << QStringLiteral("Europe/Paris") << QStringLiteral("14:00")
                           << QStringLiteral("13:00");
    QTest::newRow("WEST") << QStringLiteral("WEST") << QStringLiteral("13:00") << QStringLiteral("12:00");
    QTest::newRow("New York") << QStringLiteral("America/New_York") << QStringLiteral("08:00")
                              << QStringLiteral("07:00");
}

void TestKORTimeZone::datesFollowTheZone()
{
    QFETCH(QString, name);
    QFETCH(QString, summer);
    QFETCH(QString, winter);

    QVERIFY(KORTimeZone::setDefaultTimeZone(name));
    QCOMPARE(KORTimeZone::currentZoneId(), KORTimeZone::resolve(name));
    QCOMPARE(localTime("2021-07-01T12:00:00Z"), summer);
    QCOMPARE(localTime("2021-01-15T12:00:00Z"), winter);
    // The C library's own formatting follows too.
    const time_t instant = 1625140800; // 2021-07-01 12:00 UTC
    struct tm parts {
    };
    localtime_r(&instant, &parts);
    QCOMPARE(QStringLiteral("%1:%2")
                 .arg(parts.tm_hour, 2, 10, QLatin1Char('0'))
                 .arg(parts.tm_min, 2, 10, QLatin1Char('0')),
             summer);
    QVERIFY(logged.isEmpty());
}

void TestKORTimeZone::unknownZoneFallsBackWithTwoLogLines()
{
    QVERIFY(KORTimeZone::setDefaultTimeZone(QStringLiteral("Asia/Tokyo")));
    QVERIFY(!KORTimeZone::setDefaultTimeZone(QStringLiteral("Mars/Olympus")));
    QCOMPARE(KORTimeZone::currentZoneId(), QStringLiteral("Asia/Tokyo")); // an unknown name changes nothing

    KORTimeZone::initTimeZone(QStringLiteral("Mars/Olympus"));
    QCOMPARE(logged, (QStringList{QStringLiteral(">>>>> Error while setting the time zone to <Mars/Olympus>"),
                                  QStringLiteral(">>>>> The time zone was set to <WEST>")}));
    QCOMPARE(KORTimeZone::currentZoneId(), QStringLiteral("Europe/Lisbon"));
    QCOMPARE(localTime("2021-07-01T12:00:00Z"), QStringLiteral("13:00"));
}

void TestKORTimeZone::noLogForTheDefault_data()
{
    QTest::addColumn<QString>("configured");
    QTest::addColumn<QString>("zone");
    QTest::newRow("no zone configured") << QStringLiteral("") << QStringLiteral("Europe/Lisbon");
    QTest::newRow("the default named") << QStringLiteral("WEST") << QStringLiteral("Europe/Lisbon");
    QTest::newRow("a zone of the database")
        << QStringLiteral("Europe/Paris") << QStringLiteral("Europe/Paris");
}

void TestKORTimeZone::noLogForTheDefault()
{
    QFETCH(QString, configured);
    QFETCH(QString, zone);
    QVERIFY(KORTimeZone::setDefaultTimeZone(QStringLiteral("Asia/Tokyo")));
    KORTimeZone::initTimeZone(configured);
    QCOMPARE(KORTimeZone::currentZoneId(), zone);
    QVERIFY2(logged.isEmpty(), qPrintable(logged.join(u'\n')));
}

void TestKORTimeZone::summerTimesWithoutZoneDatabase()
{
    QTemporaryDir empty;
    QVERIFY(empty.isValid());
    qputenv("TZDIR", empty.path().toUtf8());

    QCOMPARE(KORTimeZone::resolve(QStringLiteral("Europe/Paris")), QString());
    QCOMPARE(KORTimeZone::resolve(QStringLiteral("WEST")), QStringLiteral("WET0WEST,M3.5.0/1,M10.5.0"));

    KORTimeZone::initTimeZone(QString());
    QVERIFY(logged.isEmpty());
    QCOMPARE(localTime("2021-07-01T12:00:00Z"), QStringLiteral("13:00"));
    QCOMPARE(localTime("2021-01-15T12:00:00Z"), QStringLiteral("12:00"));

    KORTimeZone::initTimeZone(QStringLiteral("CEST"));
    QCOMPARE(localTime("2021-07-01T12:00:00Z"), QStringLiteral("14:00"));
    QCOMPARE(localTime("2021-01-15T12:00:00Z"), QStringLiteral("13:00"));
}

QTEST_GUILESS_MAIN(TestKORTimeZone)
#include "tst_KORTimeZone.moc"
