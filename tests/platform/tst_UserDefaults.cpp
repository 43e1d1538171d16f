// User defaults: the stored settings of the organisation, and the `-Key value` pairs of the command line that
// win over them for one run.

#include "UserDefaults.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using platform::UserDefaults;

class TestUserDefaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readsTheCommandLine_data();
    void readsTheCommandLine();
    void commandLineWinsOverSettings();
    void storesForTheNextRuns();
    void usesTheOrganisationSettings();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<QSettings> settingsFile() const
    {
        return std::make_unique<QSettings>(m_dir.filePath(QStringLiteral("defaults.ini")),
                                           QSettings::IniFormat);
    }
};

void TestUserDefaults::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
}

void TestUserDefaults::readsTheCommandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QVariantMap>("expected");

    const QString prog = QStringLiteral("/usr/bin/locavia");
    QTest::newRow("launcher pair") << QStringList{prog, "-HalvanePort", "1234", "-HalvaneTicket", "T"}
                                   << QVariantMap{{"HalvanePort", "1234"}, {"HalvaneTicket", "T"}};
    QTest::newRow("no arguments") << QStringList{prog} << QVariantMap{};
    QTest::newRow("empty command line") << QStringList{} << QVariantMap{};
    QTest::newRow("program name is not a key") << QStringList{"-prog", "value"} << QVariantMap{};
    QTest::newRow("key without value at the end")
        << QStringList{prog, "-HalvaneTicket", "T", "-HalvanePort"} << QVariantMap{{"HalvaneTicket", "T"}};
    QTest::newRow("key followed by a key")
        << QStringList{prog, "-HalvanePort", "-HalvaneTicket", "T"} << QVariantMap{{"HalvaneTicket", "T"}};
    QTest::newRow("negative number is a value")
        << QStringList{prog, "-Decalage", "-1"} << QVariantMap{{"Decalage", "-1"}};
    QTest::newRow("plain words are skipped")
        << QStringList{prog, "fichier.txt", "-A", "1", "autre", "-B", "2"}
        << QVariantMap{{"A", "1"}, {"B", "2"}};
    QTest::newRow("last of a repeated key wins")
        << QStringList{prog, "-A", "1", "-A", "2"} << QVariantMap{{"A", "2"}};
    QTest::newRow("empty value") << QStringList{prog, "-HalvaneTicket", ""}
                                 << QVariantMap{{"HalvaneTicket", ""}};
}

void TestUserDefaults::readsTheCommandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QVariantMap, expected);

    QCOMPARE(UserDefaults::argumentDomain(arguments), expected);
}

void TestUserDefaults::commandLineWinsOverSettings()
{
    {
        auto settings = settingsFile();
        settings->setValue(QStringLiteral("HalvanePort"), 1111);
        settings->setValue(QStringLiteral("HalvaneTicket"), QStringLiteral("stocké"));
    }
    const UserDefaults defaults(
        {QStringLiteral("locavia"), QStringLiteral("-HalvanePort"), QStringLiteral("1234")}, settingsFile());
    QCOMPARE(defaults.stringForKey(QStringLiteral("HalvanePort")), QStringLiteral("1234"));
    QCOMPARE(defaults.stringForKey(QStringLiteral("HalvaneTicket")), QStringLiteral("stocké"));
    QVERIFY(!defaults.objectForKey(QStringLiteral("Absent")).isValid());
    QVERIFY(defaults.stringForKey(QStringLiteral("Absent")).isNull());
}

void TestUserDefaults::storesForTheNextRuns()
{
    {
        UserDefaults defaults({QStringLiteral("locavia"), QStringLiteral("-Cle"), QStringLiteral("ligne")},
                              settingsFile());
        defaults.setObject(QStringLiteral("gardé"), QStringLiteral("Cle"));
        defaults.setObject(QStringLiteral("aussi"), QStringLiteral("Autre"));
        QCOMPARE(defaults.stringForKey(QStringLiteral("Cle")), QStringLiteral("ligne"));
        QCOMPARE(defaults.stringForKey(QStringLiteral("Autre")), QStringLiteral("aussi"));
    }
    {
        UserDefaults next({QStringLiteral("locavia")}, settingsFile());
        QCOMPARE(next.stringForKey(QStringLiteral("Cle")), QStringLiteral("gardé"));
        next.removeObjectForKey(QStringLiteral("Autre"));
    }
    const UserDefaults last({QStringLiteral("locavia")}, settingsFile());
    QVERIFY(!last.objectForKey(QStringLiteral("Autre")).isValid());
    QCOMPARE(last.stringForKey(QStringLiteral("Cle")), QStringLiteral("gardé"));
}

void TestUserDefaults::usesTheOrganisationSettings()
{
    const QString key = QStringLiteral("HalvaneTicket");
    {
        QSettings organisation(QStringLiteral("Locavia"), QStringLiteral("Locavia"));
        organisation.setValue(key, QStringLiteral("du-réglage"));
    }
    {
        const UserDefaults defaults({QStringLiteral("locavia")});
        QCOMPARE(defaults.stringForKey(key), QStringLiteral("du-réglage"));
    }
    QSettings(QStringLiteral("Locavia"), QStringLiteral("Locavia")).remove(key);
}

QTEST_GUILESS_MAIN(TestUserDefaults)
#include "tst_UserDefaults.moc"
