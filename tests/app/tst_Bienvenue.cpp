// The first start without a database: the welcome's choices, each remembered so that the next start opens the
// database directly; a remembered database that is gone brings the welcome back; a choice that cannot be
// made says why and leaves nothing half made, on a full disk too; a server is checked as a room manager.

#include "AlertPanel.h"
#include "Bienvenue.h"
#include "EOException.h"
#include "FirstDatabase.h"
#include "OpenPanel.h"
#include "RememberedDatabase.h"
#include "ShellFixture.h"
#include "ui_Bienvenue.h"

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QStackedWidget>
#include <QStorageInfo>
#include <QTest>
#include <QTimer>
#include <fcntl.h>

using app::FirstDatabase;

namespace
{

// Answers the welcome as a user does, once it shows: the button named, and what the window said.
struct WelcomeDriver {
    QString button;
    bool shown = false;
    QString explication;

    void watch()
    {
        QTimer::singleShot(10, [this] {
            for (QWidget *window : QApplication::topLevelWidgets()) {
                if (window->objectName() != u"fenetreBienvenue" || !window->isVisible())
                    continue;
                shown = true;
                explication = window->findChild<QLabel *>(QStringLiteral("texteExplication"))->text();
                window->findChild<QPushButton *>(button)->click();
                return;
            }
            watch();
        });
    }
};

// One start of the application whose model opens the user's data folder, as installed.
struct FirstStart {
    ShellRun run;
    WelcomeDriver driver;

    explicit FirstStart(const QString &button)
    {
        QVariantMap connection = run.db().model().connectionDictionary();
        connection.insert(QStringLiteral("URL"), QStringLiteral("sqlite:///${LOCAVIA_DATA}/locavia.db"));
        connection.insert(QStringLiteral("attachedDatabases"), QVariantMap{{"SOLMA", "solma.db"}});
        run.db().model().setConnectionDictionary(connection);
        driver.button = button;
        driver.watch();
        run.app().initApp();
    }
    qint64 rooms()
    {
        const auto rows = run.app().superDataBus()->executeSQLQuery("SELECT COUNT(*) FROM SOLMA.SALLES");
        return rows.value(0).value("Attribute0").toLongLong();
    }
};

// The application object a window needs where no start made one.
struct Application {
    int argc = 1;
    char name[6] = "tests";
    char *argv[2] = {name, nullptr};
    QApplication application{argc, argv};
};

QString remembered()
{
    return QSettings(QStringLiteral("Locavia"), QStringLiteral("Locavia")).value("DatabaseURL").toString();
}

} // namespace

class TestBienvenue : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> home;
    QString dataFolder() const { return home->filePath("donnees/Locavia"); }

private slots:
    void init()
    {
        home = std::make_unique<QTemporaryDir>();
        qputenv("XDG_DATA_HOME", QFile::encodeName(home->filePath("donnees")));
        QSettings(QStringLiteral("Locavia"), QStringLiteral("Locavia")).clear();
        platform::OpenPanel::clearAnswers();
    }

    void eachChoiceIsRememberedForTheNextStart_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("before"); // what was remembered, a database gone since
        QTest::addColumn<int>("rooms");
        QTest::newRow("Créer une base vide") << "boutonBaseVide"
                                             << "" << 0;
        QTest::newRow("Créer une base de démonstration") << "boutonBaseDemo"
                                                         << "" << FirstDatabase::demoRooms;
        QTest::newRow("Ouvrir une base…") << "boutonOuvrirBase"
                                          << "" << FirstDatabase::demoRooms;
        QTest::newRow("a database gone") << "boutonBaseVide"
                                         << "sqlite:///nulle/part/locavia.db" << 0;
    }
    void eachChoiceIsRememberedForTheNextStart()
    {
        QFETCH(QString, button);
        QFETCH(QString, before);
        QFETCH(int, rooms);
        const QString folder = button == u"boutonOuvrirBase" ? home->filePath("ailleurs") : dataFolder();
        if (button == u"boutonOuvrirBase") {
            FirstDatabase::createDemo(folder, ShellApplication::systemUser);
            platform::OpenPanel::setNextAnswer(folder);
        }
        QSettings(QStringLiteral("Locavia"), QStringLiteral("Locavia")).setValue("DatabaseURL", before);
        const QString title = "Locavia - (" + folder + "/locavia.db)";
        {
            FirstStart start(button);
            QVERIFY(start.driver.shown);
            QCOMPARE(start.driver.explication.contains("« /nulle/part/locavia.db », n'existe plus"),
                     !before.isEmpty());
            // The start goes on as usual: the user, made the database's room manager, passes the rights test.
            QVERIFY2(start.run.alerts.isEmpty(), qPrintable(start.run.alerts.value(0).message));
            QVERIFY(start.run.events.contains("initObjet:Creation"));
            QCOMPARE(start.run.app().superTitle(), title);
            QCOMPARE(start.rooms(), rooms);
            QCOMPARE(remembered(), "sqlite://" + folder + "/locavia.db");
        }
        FirstStart next(button);
        QVERIFY(!next.driver.shown);
        QCOMPARE(next.run.app().superTitle(), title);
        QCOMPARE(next.rooms(), rooms);
    }

    void quittingTheWelcomeEndsWithNothingMade()
    {
        FirstStart start("boutonQuitter");
        QVERIFY(start.driver.shown && start.run.app().hasTerminated());
        QCOMPARE(start.run.app().exitStatus(), 0);
        QCOMPARE(start.run.app().superDataBus(), nullptr);
        QVERIFY(remembered().isEmpty() && !QFile::exists(dataFolder() + "/locavia.db"));
    }

    void aChoiceThatCannotBeMadeSaysWhy_data()
    {
        QTest::addColumn<QStringList>("essai"); // the choice, its argument, what the message says
        QTest::newRow("a folder without a database") << QStringList{"ouvrir", "vide", "pas de base Locavia"};
        QTest::newRow("locavia.db without solma.db") << QStringList{"ouvrir", "seule", "mais pas solma.db"};
        QTest::newRow("a database is there already")
            << QStringList{"créer", "base", "contient déjà une base"};
        QTest::newRow("not a server's address")
            << QStringList{"serveur", "h:5432/b", "commence par postgresql://"};
        QTest::newRow("a server that does not answer")
            << QStringList{"serveur", "postgresql://127.0.0.1:9/locavia", "est injoignable"};
    }
    void aChoiceThatCannotBeMadeSaysWhy()
    {
        QFETCH(QStringList, essai);
        const QString &choice = essai.at(0), &argument = essai.at(1), &message = essai.at(2);
        const QString folder = home->filePath(argument);
        QVERIFY(QDir().mkpath(folder));
        if (argument == u"seule")
            QVERIFY(QFile(folder + "/locavia.db").open(QIODevice::WriteOnly));
        if (argument == u"base")
            FirstDatabase::createEmpty(folder, ShellApplication::systemUser);
        const QStringList before = QDir(folder).entryList(QDir::Files);
        try {
            if (choice == u"ouvrir")
                FirstDatabase::openExisting(folder);
            else if (choice == u"créer")
                FirstDatabase::createDemo(folder, ShellApplication::systemUser);
            else
                FirstDatabase::connect({}, argument, "gestionnaire", "secret");
            QFAIL("the choice was made");
        } catch (const eo::EOException &error) {
            QVERIFY2(error.message().contains(message), qPrintable(error.message()));
        }
        QCOMPARE(QDir(folder).entryList(QDir::Files), before);
    }

    // A small file system of its own, which the superuser alone may mount.
    void aFullDiskLeavesNoHalfDatabase()
    {
        const QString disk = home->filePath("disque");
        QVERIFY(QDir().mkpath(disk));
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=2m", "tmpfs", disk}) != 0)
            QSKIP("a small file system can be mounted by the superuser only");
        const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {disk}); });
        QFile filler(disk + "/remplissage");
        QVERIFY(filler.open(QIODevice::WriteOnly) &&
                ::posix_fallocate(filler.handle(), 0, QStorageInfo(disk).bytesAvailable() - 64 * 1024) == 0);
        Application application;
        app::Bienvenue bienvenue(disk + "/Locavia", ShellApplication::systemUser, {});
        QList<QString> alerts;
        platform::setAlertPresenter([&alerts](const QString &, const QString &message, const QString &) {
            alerts.append(message);
            return 1;
        });
        bienvenue.creerBaseDemo(nullptr);
        platform::setAlertPresenter({});
        QVERIFY(bienvenue.choix().isEmpty());
        QVERIFY2(alerts.value(0).contains("est plein. Rien n'a été modifié ; libérez de la place"),
                 qPrintable(alerts.value(0)));
        QCOMPARE(QDir(disk + "/Locavia").entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // On the server, the account a department gives its room managers, never the owner.
    void aServerIsCheckedAsARoomManager()
    {
        LOCAVIA_REQUIRE_BACKEND(TestDatabase::Backend::PostgreSQL);
        TestDatabase db(TestDatabase::Backend::PostgreSQL);
        QVERIFY2(db.isValid(), qPrintable(db.error()));
        const QString url = db.connectionDictionary().value("URL").toString();
        const QString login = TestDatabase::login(TestDatabase::Role::RoomManager);
        // The password from the password file, as libpq finds ~/.pgpass; remembered, the address keeps none.
        QVERIFY(app::RememberedDatabase::remember(
            FirstDatabase::connect(db.model().connectionDictionary(), url, login, {})));
        const QVariantMap recalled = app::RememberedDatabase::recall();
        QCOMPARE(recalled.value("username").toString(), login);

        // Without it, the next start's check fails, and the server's page comes back filled in; a wrong
        // password is said on the page, nothing chosen.
        const QByteArray passwords = qgetenv("PGPASSFILE");
        qputenv("PGPASSFILE", "/nulle/part");
        try {
            FirstDatabase::check(db.model().connectionDictionary(), recalled);
            qputenv("PGPASSFILE", passwords);
            QFAIL("the server let the manager in without the password");
        } catch (const eo::EOException &error) {
            qputenv("PGPASSFILE", passwords);
            QVERIFY2(error.message().contains("refuse la connexion de l'utilisateur"),
                     qPrintable(error.message()));
        }
        Application application;
        app::Bienvenue bienvenue(dataFolder(), login, db.model().connectionDictionary());
        bienvenue.preparer("mot de passe", recalled);
        QCOMPARE(bienvenue.form().pages->currentWidget(), bienvenue.form().pageServeur);
        QCOMPARE(bienvenue.form().champAdresse->text(), url);
        QCOMPARE(bienvenue.form().champCompte->text(), login);
        bienvenue.form().champMotDePasse->setText("pas le bon");
        bienvenue.connecterServeur(nullptr);
        QVERIFY(bienvenue.choix().isEmpty());
        QVERIFY(bienvenue.form().texteErreurServeur->text().contains("refuse la connexion de l'utilisateur"));
    }
};

int main(int argc, char *argv[])
{
    ShellResources resources;
    if (!resources.isValid())
        return 2;
    TestBienvenue test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Bienvenue.moc"
