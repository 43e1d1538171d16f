// Who the user is: the launcher's user, the system's user, the login panel with its password check, its
// three attempts and its empty-password rule.

#include "EONull.h"
#include "OperatingSystemUser.h"
#include "ShellFixture.h"

#include <QDialog>
#include <QTest>
#include <pwd.h>
#include <unistd.h>

using app::Superviseur;
using Entry = PanelDriver::Entry;

namespace
{

const QString applicationTitle = QStringLiteral("Locavia - (locavia.db)");

QVariant verdict(const QVariant &number, const QString &message = QString())
{
    QVariantMap answer{{QStringLiteral("errno"), number}};
    if (!message.isNull())
        answer.insert(QStringLiteral("msg"), message);
    return answer;
}

QVariant refusal()
{
    return verdict(3, QStringLiteral("Mot de passe incorrect"));
}

// The demo group's member amartin, allowed to use the application, and MIRL_USER as given.
void member(ShellRun &run, const QString &mirlUser)
{
    run.addPerson(1, QStringLiteral("amartin"), {QStringLiteral("SCI")});
    run.allowGroups({QStringLiteral("SCI")});
    if (!mirlUser.isNull())
        run.setMirlUser(mirlUser);
}

bool anyLoad(const QStringList &events)
{
    for (const QString &event : events) {
        if (event.startsWith(QLatin1String("load:")))
            return true;
    }
    return false;
}

} // namespace

class TestIdentification : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void theLauncherUserNeverSeesThePanel();
    void aSilentLauncherLeavesNoUser();
    void onlyYesOrOuiOpenThePanel_data();
    void onlyYesOrOuiOpenThePanel();
    void thePanelProposesTheSystemUserInLowerCase();
    void theSystemUserIsNotTheEnvironments();
    void acceptances_data();
    void acceptances();
    void aRefusalThenAnAcceptance();
    void theThirdRefusalEnds();
    void anEmptyPasswordRefusedEnds_data();
    void anEmptyPasswordRefusedEnds();
    void anUnreadableVerdictRefuses();
    void closingThePanelEnds();
};

void TestIdentification::init()
{
    ShellApplication::systemUser = QStringLiteral("AMartin");
}

void TestIdentification::theLauncherUserNeverSeesThePanel()
{
    ShellRun run(QVariant(QStringLiteral("Dupont")));
    run.addPerson(2, QStringLiteral("Dupont"), {QStringLiteral("SCI")});
    run.allowGroups({QStringLiteral("SCI")});
    run.setMirlUser(QStringLiteral("OUI"));
    PanelDriver driver(run.app(), {Entry{std::nullopt, QStringLiteral("secret")}}, 20);

    run.app().initApp();
    QVERIFY(!run.events.contains(QStringLiteral("panel")));
    QVERIFY(driver.seen.isEmpty());
    QCOMPARE(run.events.filter(QStringLiteral("check:")).size(), 0);
    // The launcher's name is kept as it was handed over.
    QCOMPARE(run.app().localUser().toString(), QStringLiteral("Dupont"));
    QVERIFY(!run.app().hasTerminated());
}

void TestIdentification::aSilentLauncherLeavesNoUser()
{
    ShellRun run(QVariant{});
    member(run, QStringLiteral("OUI"));

    run.app().initApp();
    QVERIFY(!run.events.contains(QStringLiteral("panel")));
    QVERIFY(!run.app().localUser().isValid());
    // The system user is a member, but nobody was identified: the rights test refuses.
    QCOMPARE(run.alerts.size(), 1);
    QCOMPARE(run.alerts.first().title, QStringLiteral("ATTENTION"));
    QVERIFY(run.app().hasTerminated());
}

void TestIdentification::onlyYesOrOuiOpenThePanel_data()
{
    QTest::addColumn<QString>("mirlUser");
    QTest::addColumn<bool>("panel");
    QTest::newRow("YES") << "YES" << true;
    QTest::newRow("OUI") << "OUI" << true;
    QTest::newRow("yes in lower case") << "yes" << false;
    QTest::newRow("Oui") << "Oui" << false;
    QTest::newRow("NON") << "NON" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("no parameter") << QString() << false;
}

void TestIdentification::onlyYesOrOuiOpenThePanel()
{
    QFETCH(QString, mirlUser);
    QFETCH(bool, panel);
    ShellRun run;
    member(run, mirlUser);
    run.verdicts << verdict(0);
    PanelDriver driver(run.app(), {Entry{std::nullopt, QStringLiteral("secret")}}, 20);

    run.app().initApp();
    QCOMPARE(run.events.contains(QStringLiteral("panel")), panel);
    QCOMPARE(run.events.contains(QStringLiteral("check:amartin")), panel);
    QCOMPARE(run.app().localUser().toString(), QStringLiteral("amartin"));
    QVERIFY2(!run.app().hasTerminated(), qPrintable(run.events.join(u'\n')));
    QVERIFY(run.events.indexOf(QStringLiteral("load:Creation")) > 0);
    if (panel) {
        QVERIFY(run.events.indexOf(QStringLiteral("panel")) <
                run.events.indexOf(QStringLiteral("load:Creation")));
        QVERIFY(!run.app().panneauIdentification()->isVisible());
    }
}

void TestIdentification::theSystemUserIsNotTheEnvironments()
{
    // Anyone can set USER or LOGNAME before starting the program; the account database names the user.
    const QByteArray user = qgetenv("USER");
    const QByteArray logname = qgetenv("LOGNAME");
    qputenv("USER", "amartin");
    qputenv("LOGNAME", "amartin");
    const passwd *account = getpwuid(geteuid());
    QVERIFY(account);
    QCOMPARE(app::operatingSystemUserName(), QString::fromLocal8Bit(account->pw_name));
    qputenv("USER", user);
    qputenv("LOGNAME", logname);
}

void TestIdentification::thePanelProposesTheSystemUserInLowerCase()
{
    ShellRun run;
    member(run, QStringLiteral("YES"));
    run.verdicts << verdict(0);
    // The user types the login in capitals: it is used in lower case.
    PanelDriver driver(run.app(), {Entry{QStringLiteral("AMARTIN"), QStringLiteral("secret")}}, 20);

    run.app().initApp();
    QCOMPARE(driver.seen.size(), 1);
    QCOMPARE(driver.seen.first().proposedLogin, QStringLiteral("amartin"));
    QCOMPARE(driver.seen.first().title, applicationTitle);
    QCOMPARE(driver.seen.first().mainWindowTitle, Superviseur::startupTitle);
    QVERIFY(run.events.contains(QStringLiteral("check:amartin")));
    QCOMPARE(run.app().localUser().toString(), QStringLiteral("amartin"));
    QVERIFY(!run.app().hasTerminated());
}

void TestIdentification::acceptances_data()
{
    QTest::addColumn<QVariant>("answer");
    QTest::newRow("errno 0 with a message") << verdict(0, QStringLiteral("Bienvenue"));
    QTest::newRow("negative errno") << verdict(-1, QStringLiteral("Compte expirant bientôt"));
    QTest::newRow("errno written as text") << verdict(QStringLiteral("0"));
    QTest::newRow("no password check configured") << QVariant();
}

void TestIdentification::acceptances()
{
    QFETCH(QVariant, answer);
    ShellRun run;
    member(run, QStringLiteral("YES"));
    run.verdicts << answer;
    PanelDriver driver(run.app(), {Entry{std::nullopt, QStringLiteral("secret")}}, 20);

    run.app().initApp();
    QCOMPARE(driver.seen.size(), 1);
    QVERIFY(run.alerts.isEmpty());
    QCOMPARE(run.app().cptPasswd(), 0);
    QVERIFY(!run.app().hasTerminated());
    QCOMPARE(run.creation()->inits, 1);
}

void TestIdentification::aRefusalThenAnAcceptance()
{
    ShellRun run;
    member(run, QStringLiteral("YES"));
    run.verdicts << refusal() << verdict(0);
    PanelDriver driver(
        run.app(),
        {Entry{std::nullopt, QStringLiteral("faux")}, Entry{std::nullopt, QStringLiteral("juste")}}, 20);

    run.app().initApp();
    QCOMPARE(run.alerts.size(), 1);
    QCOMPARE(run.alerts.first().title, QString());
    QCOMPARE(run.alerts.first().message, QStringLiteral("ERREUR 3 : Mot de passe incorrect..."));
    QCOMPARE(driver.seen.size(), 2);
    QCOMPARE(driver.seen.at(1).cptPasswd, 1);
    QVERIFY(!run.app().hasTerminated());
    QCOMPARE(run.creation()->inits, 1);
}

void TestIdentification::theThirdRefusalEnds()
{
    ShellRun run;
    member(run, QStringLiteral("YES"));
    run.verdicts << refusal() << refusal() << refusal() << verdict(0);
    PanelDriver driver(
        run.app(),
        {Entry{std::nullopt, QStringLiteral("un")}, Entry{std::nullopt, QStringLiteral("deux")},
         Entry{std::nullopt, QStringLiteral("trois")}, Entry{std::nullopt, QStringLiteral("quatre")}},
        20);

    run.app().initApp();
    // After two refusals the panel was still open for a third attempt, and that one was the last.
    QCOMPARE(driver.seen.size(), 3);
    QCOMPARE(driver.seen.at(2).cptPasswd, 2);
    QCOMPARE(run.alerts.size(), 3);
    QCOMPARE(run.app().cptPasswd(), 3);
    QVERIFY(run.app().hasTerminated());
    QCOMPARE(run.app().exitStatus(), 1);
    QVERIFY(!run.app().panneauIdentification()->isVisible());
    QVERIFY(!anyLoad(run.events));
}

void TestIdentification::anEmptyPasswordRefusedEnds_data()
{
    QTest::addColumn<QStringList>("passwords");
    QTest::newRow("at the first attempt") << QStringList{QString()};
    QTest::newRow("after one refusal") << QStringList{QStringLiteral("faux"), QString()};
}

void TestIdentification::anEmptyPasswordRefusedEnds()
{
    QFETCH(QStringList, passwords);
    ShellRun run;
    member(run, QStringLiteral("YES"));
    run.verdicts << refusal() << refusal() << verdict(0);
    QList<Entry> entries;
    for (const QString &password : passwords)
        entries << Entry{std::nullopt, password};
    entries << Entry{std::nullopt, QStringLiteral("juste")};
    PanelDriver driver(run.app(), entries, 20);

    run.app().initApp();
    QCOMPARE(driver.seen.size(), passwords.size());
    QCOMPARE(run.alerts.size(), passwords.size());
    QCOMPARE(run.app().cptPasswd(), int(passwords.size()));
    QVERIFY(run.app().hasTerminated());
    QCOMPARE(run.app().exitStatus(), 1);
    QVERIFY(!anyLoad(run.events));
}

void TestIdentification::anUnreadableVerdictRefuses()
{
    ShellRun run;
    member(run, QStringLiteral("YES"));
    run.verdicts << eo::eoNull() << verdict(0);
    PanelDriver driver(
        run.app(),
        {Entry{std::nullopt, QStringLiteral("secret")}, Entry{std::nullopt, QStringLiteral("secret")}}, 20);

    run.app().initApp();
    QCOMPARE(run.alerts.size(), 1);
    QCOMPARE(run.alerts.first().message,
             QStringLiteral("ERREUR 1 : Le service d'identification ne peut pas être joint..."));
    QCOMPARE(driver.seen.size(), 2);
    QVERIFY(!run.app().hasTerminated());
}

void TestIdentification::closingThePanelEnds()
{
    ShellRun run;
    member(run, QStringLiteral("YES"));
    run.verdicts << verdict(0);
    PanelDriver driver(run.app(), {}, 10);

    run.app().initApp();
    QVERIFY(driver.closedForLackOfEntries);
    QCOMPARE(run.events.filter(QStringLiteral("check:")).size(), 0);
    QVERIFY(run.app().hasTerminated());
    QCOMPARE(run.app().exitStatus(), 1);
    QVERIFY(!anyLoad(run.events));
}

int main(int argc, char *argv[])
{
    ShellResources resources;
    if (!resources.isValid())
        return 2;
    TestIdentification test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Identification.moc"
