// The application object: the shipped configuration, configuration files that are missing or broken, the
// time zone it sets, the launcher's user from the user defaults, the password check, the data bus and the
// title, the parameters and the completion of the models through the directory service.

#include "EODisplayGroup.h"
#include "EOException.h"
#include "EOModelGroup.h"
#include "EONull.h"
#include "KORApplicationOC.h"
#include "KORTimeZone.h"
#include "Resources.h"
#include "TestDatabase.h"

#include <QDateTime>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using framework::KORApplicationOC;

namespace
{

QStringList logged;
QtMessageHandler defaultHandler = nullptr;

void recordLog(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String(">>>>> ")))
        logged << message;
    else if (defaultHandler)
        defaultHandler(type, context, message);
}

QString titleAtStart;
QString zoneAtStart;

// Wall-clock time at 2021-07-01 12:00 UTC in the process's zone.
QString summerNoonUtc()
{
    return QDateTime::fromString(QStringLiteral("2021-07-01T12:00:00Z"), Qt::ISODate)
        .toLocalTime()
        .toString(QStringLiteral("HH:mm"));
}

// Runs the application's configuration step on a resources folder of its own.
class OtherResources
{
public:
    explicit OtherResources(const QByteArray *config)
    {
        m_previous = qgetenv("LOCAVIA_RESOURCES");
        if (config) {
            QFile file(path());
            if (file.open(QIODevice::WriteOnly))
                file.write(*config);
        }
        qputenv("LOCAVIA_RESOURCES", m_dir.path().toUtf8());
    }
    ~OtherResources() { qputenv("LOCAVIA_RESOURCES", m_previous); }
    OtherResources(const OtherResources &) = delete;
    OtherResources &operator=(const OtherResources &) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.filePath(QStringLiteral("Application.config")); }

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
};

struct Calls {
    QList<QStringList> netId;
    QList<QStringList> userInfo;
    QStringList connectionIds;
};

} // namespace

class TestKORApplicationOC : public QObject
{
    Q_OBJECT
public:
    explicit TestKORApplicationOC(KORApplicationOC &application) : app(application) {}

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void startsFromTheShippedConfiguration();
    void configurationFiles_data();
    void configurationFiles();
    void findsResourceFiles();
    void launcherUserFromTheUserDefaults();
    void passwordCheck();
    void opensTheDataBus();
    void parametersThroughTheApplication();
    void databaseTimeLimitsFromTheConfiguration();
    void completesTheModelsThroughTheService();

private:
    void restoreShippedConfiguration();

    KORApplicationOC &app;
    Calls calls;
    QVariant netIdAnswer;
    QVariant userInfoAnswer;
    QMap<QString, QVariant> connectionAnswers;
    std::unique_ptr<TestDatabase> db;
};

void TestKORApplicationOC::initTestCase()
{
    // Qt Test has its own handler by now; the lines of the application are kept, the rest goes on to it.
    defaultHandler = qInstallMessageHandler(recordLog);
}

void TestKORApplicationOC::init()
{
    logged.clear();
    calls = {};
    framework::KORDirectoryServices services;
    services.netId = [this](const QString &host, const QString &port, const QString &ticket) {
        calls.netId << QStringList{host, port, ticket};
        return netIdAnswer;
    };
    services.userInfo = [this](const QString &url, const QString &login, const QString &password,
                               const QString &alias) {
        calls.userInfo << QStringList{url, login, password, alias, alias.isNull() ? "null" : "text"};
        return userInfoAnswer;
    };
    services.connectionInfo = [this](const QString &, const QString &modelId, const QVariant &) {
        calls.connectionIds << modelId;
        return connectionAnswers.value(modelId);
    };
    app.setDirectoryServices(services);
}

void TestKORApplicationOC::cleanup()
{
    restoreShippedConfiguration();
}

void TestKORApplicationOC::restoreShippedConfiguration()
{
    app.initApplication();
}

void TestKORApplicationOC::startsFromTheShippedConfiguration()
{
    QCOMPARE(titleAtStart, QStringLiteral("Locavia - Identification..."));
    QCOMPARE(zoneAtStart, QStringLiteral("Europe/Paris"));

    QVERIFY(app.parameters().has_value());
    const KORApplicationOC::Configuration expected{{"DEFAULT_TITLE", "Locavia"},
                                                   {"DEFAULT_TIME_ZONE", "Europe/Paris"},
                                                   {"APP_ID", "LOCAVIA"},
                                                   {"APP_ALIAS", "LOCAVIA"},
                                                   {"MIRL_URL", ""},
                                                   {"DEFAULT_PREFIXE", "LOCAVIA"},
                                                   {"DB_LOCK_TIMEOUT", "10"},
                                                   {"DB_STATEMENT_TIMEOUT", "60"}};
    QCOMPARE(*app.parameters(), expected);
    QCOMPARE(app.parameter(QStringLiteral("APP_ALIAS")), QVariant(QStringLiteral("LOCAVIA")));
    QVERIFY(!app.parameter(QStringLiteral("ABSENT")).isValid());
    QCOMPARE(summerNoonUtc(), QStringLiteral("14:00"));
    QCOMPARE(KORApplicationOC::instance(), &app);
}

void TestKORApplicationOC::configurationFiles_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<bool>("read");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("zone");
    QTest::addColumn<QString>("summerNoon");
    QTest::addColumn<QStringList>("logLines"); // exact, or parts of the one line when it names the file

    QTest::newRow("no zone configured: WEST, silently")
        << true << QByteArray("\"DEFAULT_TITLE\" = \"Essai\";") << true
        << QStringLiteral("Essai - Identification...") << QStringLiteral("Europe/Lisbon")
        << QStringLiteral("13:00") << QStringList{};
    QTest::newRow("empty zone: WEST, silently")
        << true << QByteArray("\"DEFAULT_TITLE\" = \"Essai\"; \"DEFAULT_TIME_ZONE\" = \"\";") << true
        << QStringLiteral("Essai - Identification...") << QStringLiteral("Europe/Lisbon")
        << QStringLiteral("13:00") << QStringList{};
    QTest::newRow("configured zone")
        << true << QByteArray("\"DEFAULT_TITLE\" = \"Essai\"; \"DEFAULT_TIME_ZONE\" = \"Asia/Tokyo\";")
        << true << QStringLiteral("Essai - Identification...") << QStringLiteral("Asia/Tokyo")
        << QStringLiteral("21:00") << QStringList{};
    QTest::newRow("summer-time abbreviation")
        << true << QByteArray("\"DEFAULT_TITLE\" = \"Essai\"; \"DEFAULT_TIME_ZONE\" = \"CEST\";") << true
        << QStringLiteral("Essai - Identification...") << QStringLiteral("Europe/Paris")
        << QStringLiteral("14:00") << QStringList{};
    QTest::newRow("unknown zone: two log lines and WEST")
        << true << QByteArray("\"DEFAULT_TITLE\" = \"Essai\"; \"DEFAULT_TIME_ZONE\" = \"Mars/Olympus\";")
        << true << QStringLiteral("Essai - Identification...") << QStringLiteral("Europe/Lisbon")
        << QStringLiteral("13:00")
        << QStringList{">>>>> Error while setting the time zone to <Mars/Olympus>",
                       ">>>>> The time zone was set to <WEST>"};
    QTest::newRow("no title configured")
        << true << QByteArray("/* vide */") << true << QStringLiteral("(null) - Identification...")
        << QStringLiteral("Europe/Lisbon") << QStringLiteral("13:00") << QStringList{};
    QTest::newRow("broken file: ignored as a whole, one line naming it")
        << true
        << QByteArray("\"DEFAULT_TITLE\" = \"Essai\";\n\"DEFAULT_TIME_ZONE\" = \"Asia/Tokyo\"\n\"APP_ID\" = "
                      "\"X\";\n")
        << false << QStringLiteral("(null) - Identification...") << QStringLiteral("Europe/Lisbon")
        << QStringLiteral("13:00") << QStringList{"Application.config", "ligne 2", "DEFAULT_TIME_ZONE"};
    QTest::newRow("missing file") << false << QByteArray() << false
                                  << QStringLiteral("(null) - Identification...")
                                  << QStringLiteral("Europe/Lisbon") << QStringLiteral("13:00")
                                  << QStringList{"Application.config", "n'existe pas"};
}

void TestKORApplicationOC::configurationFiles()
{
    QFETCH(bool, present);
    QFETCH(QByteArray, config);
    QFETCH(bool, read);
    QFETCH(QString, title);
    QFETCH(QString, zone);
    QFETCH(QString, summerNoon);
    QFETCH(QStringList, logLines);

    OtherResources resources(present ? &config : nullptr);
    QVERIFY(resources.isValid());
    app.initApplication();

    QCOMPARE(app.parameters().has_value(), read);
    QCOMPARE(app.superTitle(), title);
    QCOMPARE(framework::KORTimeZone::currentZoneId(), zone);
    QCOMPARE(summerNoonUtc(), summerNoon);
    if (read) {
        QCOMPARE(logged, logLines);
    } else {
        QCOMPARE(logged.size(), 1);
        QVERIFY2(logged.first().contains(resources.path()), qPrintable(logged.first()));
        for (const QString &part : std::as_const(logLines))
            QVERIFY2(logged.first().contains(part), qPrintable(logged.first()));
        // Nothing of a broken file is kept.
        QVERIFY(!app.parameter(QStringLiteral("DEFAULT_TITLE")).isValid());
    }
}

void TestKORApplicationOC::findsResourceFiles()
{
    QCOMPARE(app.trouverFichier(QStringLiteral("Application"), QStringLiteral("config")),
             QStringLiteral("Application"));
    QCOMPARE(app.myPath(), platform::resourcePath(QStringLiteral("Application.config")));
    QVERIFY(QFile::exists(app.myPath()));
    QCOMPARE(app.trouverFichier(QStringLiteral("Absent"), QStringLiteral("txt")), QStringLiteral("Absent"));
    QCOMPARE(app.myPath(), platform::resourcePath(QStringLiteral("Absent.txt")));
    QCOMPARE(app.superAbreviation(), QString());
}

void TestKORApplicationOC::launcherUserFromTheUserDefaults()
{
    // Started with "-HalvanePort 1234" while the settings hold port 9999 and a ticket.
    netIdAnswer = QStringLiteral("jdupont");
    QCOMPARE(app.getCASUserName(), QVariant(QStringLiteral("jdupont")));
    QCOMPARE(calls.netId, (QList<QStringList>{{"", "1234", "T-stocké"}}));

    netIdAnswer = QVariant(); // the launcher does not answer
    QVERIFY(!app.getCASUserName().isValid());

    // A ticket that reads as empty, then no ticket at all: the empty string, and the launcher is not asked.
    calls = {};
    app.userDefaults().setObject(QStringLiteral("NaN"), QStringLiteral("HalvaneTicket"));
    QCOMPARE(app.getCASUserName(), QVariant(QString()));
    app.userDefaults().removeObjectForKey(QStringLiteral("HalvaneTicket"));
    const QVariant none = app.getCASUserName();
    QCOMPARE(none.typeId(), int(QMetaType::QString));
    QCOMPARE(none.toString(), QString());
    QVERIFY(calls.netId.isEmpty());
    app.userDefaults().setObject(QStringLiteral("T-stocké"), QStringLiteral("HalvaneTicket"));
}

void TestKORApplicationOC::passwordCheck()
{
    userInfoAnswer = QVariantMap{{"errno", 0}, {"msg", "ok"}};
    // The shipped configuration has no service address: no check at all.
    QVERIFY(!app.initIdentification(QStringLiteral("jdupont"), QStringLiteral("secret")).isValid());
    QVERIFY(calls.userInfo.isEmpty());

    const QByteArray withService("\"MIRL_URL\" = \"https://mirl.test/\"; \"APP_ALIAS\" = \"LOCAVIA\";");
    {
        OtherResources resources(&withService);
        app.initApplication();
    }
    QCOMPARE(app.initIdentification(QStringLiteral("jdupont"), QStringLiteral("secret")), userInfoAnswer);
    QCOMPARE(calls.userInfo,
             (QList<QStringList>{{"https://mirl.test/", "jdupont", "secret", "LOCAVIA", "text"}}));

    const QByteArray withoutAlias("\"MIRL_URL\" = \"https://mirl.test/\";");
    {
        OtherResources resources(&withoutAlias);
        app.initApplication();
    }
    calls = {};
    app.initIdentification(QStringLiteral("jdupont"), QStringLiteral("secret"));
    QCOMPARE(calls.userInfo, (QList<QStringList>{{"https://mirl.test/", "jdupont", "secret", "", "text"}}));
}

void TestKORApplicationOC::opensTheDataBus()
{
    QVERIFY(!app.superDataBus());
    QVERIFY(!app.superModel());
    db = std::make_unique<TestDatabase>();
    QVERIFY(db->isValid());
    const QVariantMap stored = db->model().connectionDictionary();
    KORApplicationOC::loadModels(); // the model is there already: kept, not loaded twice
    KORApplicationOC::loadModels();
    QCOMPARE(eo::EOModelGroup::defaultGroup().modelNames(), QStringList{"Locavia"});

    QWidget window;
    app.setSuperWindow(&window);
    eo::EODisplayGroup parametreEOD;
    app.setParametreEOD(&parametreEOD);
    app.initAccesBase();

    // No service address: the model keeps its stored connection, and nobody was asked.
    QVERIFY(calls.connectionIds.isEmpty());
    QCOMPARE(db->model().connectionDictionary(), stored);

    data::KORDataBusOC *bus = app.superDataBus();
    QVERIFY(bus);
    QCOMPARE(app.superModel(), &db->model());
    QCOMPARE(app.superAdaptor(), bus->dataBusAdaptor());
    QCOMPARE(app.superDatabaseContext(), bus->dataBusDatabaseContext());
    QCOMPARE(app.superDatabaseChannel(), bus->dataBusDatabaseChannel());
    QCOMPARE(app.superAdaptorContext(), bus->dataBusAdaptorContext());
    QCOMPARE(app.superAdaptorChannel(), bus->dataBusAdaptorChannel());
    QVERIFY(app.superEditingContext());
    QCOMPARE(app.superEditingContext(), parametreEOD.editingContext());
    QCOMPARE(app.superTitle(), QStringLiteral("Locavia - (locavia.db)"));
    QCOMPARE(window.windowTitle(), app.superTitle());

    // The data bus reads the same database as the test's.
    db->exec(QStringLiteral(
        "INSERT INTO SOLMA.SOLMA_PARAMETRES (PARAM_KEY, PARAM_VALUE) VALUES ('MIRL_USER', 'OUI')"));
    QCOMPARE(app.getStringValue(QStringLiteral("MIRL_USER"), QStringLiteral("SOLMA.SOLMA_PARAMETRES")),
             QVariant(QStringLiteral("OUI")));

    // Every fetch of a parameter writes its wait message, then puts the application's title back.
    window.setWindowTitle(QStringLiteral("autre chose"));
    app.getStringValue(QStringLiteral("ABSENT"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Locavia - (locavia.db)"));
    app.setSuperWindow(nullptr);
    app.setParametreEOD(nullptr);
}

void TestKORApplicationOC::databaseTimeLimitsFromTheConfiguration()
{
    db = std::make_unique<TestDatabase>();
    QVERIFY(db->isValid());
    const QByteArray config = "\"DEFAULT_TITLE\" = \"Locavia\";\n\"DB_LOCK_TIMEOUT\" = \"3\";\n"
                              "\"DB_STATEMENT_TIMEOUT\" = \"45\";\n";
    {
        OtherResources resources(&config);
        app.initApplication();
        app.initAccesBase();
    }
    QCOMPARE(app.superAdaptor()->lockTimeout(), 3);
    QCOMPARE(app.superAdaptor()->statementTimeout(), 45);
    // The model keeps its stored connection: the limits belong to the program's sessions.
    QVERIFY(!db->model().connectionDictionary().contains(QStringLiteral("lockTimeout")));
}

void TestKORApplicationOC::parametersThroughTheApplication()
{
    QVERIFY(app.superDataBus());
    db->exec(QStringLiteral("INSERT INTO PARAMETRES (PARAM_KEY, PARAM_VALUE) VALUES "
                            "('LOCAVIA_DEFAULT_STRING', 'défaut'), ('LOCAVIA_DEFAULT_NUMBER', '0'), "
                            "('TAUX', '3.50'), ('(null)_DEFAULT_STRING', 'piège');"));
    QCOMPARE(app.getStringValue(QStringLiteral("ABSENT")), QVariant(QStringLiteral("défaut")));
    QVERIFY(app.myStringQualifier().contains(QLatin1String("LOCAVIA_DEFAULT_STRING")));
    QCOMPARE(app.myResult().size(), 1);
    QCOMPARE(app.getNumberValue(QStringLiteral("ABSENT"), QStringLiteral("SOLMA.SOLMA_PARAMETRES")),
             QVariant(QStringLiteral("0")));
    QCOMPARE(app.getNumberValue(QStringLiteral("TAUX")), QVariant(QStringLiteral("3.50")));
    QCOMPARE(app.getValues(QStringLiteral("TAUX"), QStringLiteral("NUMBER")).size(), 1);
    QVERIFY(app.getValues(QStringLiteral("TAUX"), QStringLiteral("SOLMA.SOLMA_PARAMETRES"),
                          QStringLiteral("NUMBER"))
                .isEmpty());

    // Without DEFAULT_PREFIXE in the configuration, the fallback finds nothing, not the "(null)" row.
    const QByteArray withoutPrefix("\"DEFAULT_TITLE\" = \"Locavia\";");
    {
        OtherResources resources(&withoutPrefix);
        app.initApplication();
    }
    QVERIFY(!app.getStringValue(QStringLiteral("ABSENT")).isValid());
    QVERIFY(app.getValues(QStringLiteral("ABSENT"), QStringLiteral("STRING")).isEmpty());
}

void TestKORApplicationOC::completesTheModelsThroughTheService()
{
    // A second model, known to the service under its own identifier.
    const QByteArray annexe(R"({"name": "Annexe", "entities": [],
        "connectionDictionary": {"modelId": "ANX", "URL": "sqlite:///annexe.db", "timeout": "5"},
        "userInfo": {"modelId": "ANX"}})");
    eo::EOModel &second =
        eo::EOModelGroup::defaultGroup().addModel(eo::EOModel::modelWithJson(annexe, "Annexe"));
    const QVariantMap locaviaStored = db->model().connectionDictionary();

    const QByteArray withService(
        "\"DEFAULT_TITLE\" = \"Locavia\"; \"APP_ID\" = \"LOC\"; \"MIRL_URL\" = \"https://mirl.test/\";");
    {
        OtherResources resources(&withService);
        app.initApplication();
    }
    connectionAnswers = {
        {"LOC", eo::eoNull()},
        {"ANX", QVariantMap{{"serverId", "annexe-srv"}, {"password", "pw"}, {"other", "x"}}}};
    app.resetAllModels();

    QCOMPARE(calls.connectionIds, (QStringList{"LOC", "ANX"}));
    QCOMPARE(db->model().connectionDictionary(), locaviaStored);
    QCOMPARE(second.connectionDictionary(), (QVariantMap{{"modelId", "ANX"},
                                                         {"URL", "sqlite:///annexe.db"},
                                                         {"timeout", "5"},
                                                         {"serverId", "annexe-srv"},
                                                         {"password", "pw"}}));
    QCOMPARE(app.connectionDictionaryForID(QStringLiteral("ANX")),
             (QVariantMap{{"serverId", "annexe-srv"}, {"password", "pw"}}));
    QVERIFY(app.defaultConnectionDictionary().isEmpty());

    // Once the model has a user, the service is no longer asked for it.
    calls = {};
    QVariantMap withUser = second.connectionDictionary();
    withUser.insert(QStringLiteral("username"), QStringLiteral("annexe"));
    second.setConnectionDictionary(withUser);
    app.resetAllModels();
    QCOMPARE(calls.connectionIds, QStringList{"LOC"});
    QCOMPARE(second.connectionDictionary(), withUser);
}

int main(int argc, char *argv[])
{
    QStandardPaths::setTestModeEnabled(true);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    {
        QSettings settings(QStringLiteral("Locavia"), QStringLiteral("Locavia"));
        settings.setValue(QStringLiteral("HalvanePort"), QStringLiteral("9999"));
        settings.setValue(QStringLiteral("HalvaneTicket"), QStringLiteral("T-stocké"));
    }

    // The application sees the launcher's port on its command line; Qt Test sees only its own arguments.
    QByteArray program(argv[0]);
    QByteArray portKey("-HalvanePort");
    QByteArray port("1234");
    char *applicationArgv[] = {program.data(), portKey.data(), port.data(), nullptr};
    int applicationArgc = 3;
    KORApplicationOC app(applicationArgc, applicationArgv);
    titleAtStart = app.superTitle();
    zoneAtStart = framework::KORTimeZone::currentZoneId();

    TestKORApplicationOC test(app);
    const int status = QTest::qExec(&test, argc, argv);
    QSettings(QStringLiteral("Locavia"), QStringLiteral("Locavia")).clear();
    return status;
}

#include "tst_KORApplicationOC.moc"
