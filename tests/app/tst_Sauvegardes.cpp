// The backups as the desktop application offers them: the two items of the Locavia menu, the day's copy when
// the session ends (a failure told once a day), a restore chosen in its panel.

#include "AlertPanel.h"
#include "BackupFolder.h"
#include "Clock.h"
#include "CommandLine.h"
#include "ShellFixture.h"
#include "SqliteBackup.h"

#include <QAction>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace
{

QStringList logged;

QAction *item(app::Superviseur &application, const char *name)
{
    return application.mainWindow()->findChild<QAction *>(QLatin1String(name));
}

} // namespace

class TestSauvegardes : public QObject
{
    Q_OBJECT

    QDateTime now;
    std::unique_ptr<ShellRun> run;
    app::Superviseur &application() { return run->app(); }
    QString folder() { return run->db().directory() + "/sauvegardes"; }
    QStringList titles()
    {
        QStringList titles;
        for (const ShellRun::Alert &alert : std::as_const(run->alerts))
            titles << alert.title;
        return titles;
    }

private slots:
    void initTestCase()
    {
        platform::Clock::setSource([this] { return now; });
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &message) {
            if (message.startsWith(QLatin1String(">>>>> Sauvegarde")))
                logged << message;
        });
    }
    void init() { start(TestDatabase::Backend::SQLite); }
    void start(TestDatabase::Backend backend)
    {
        logged.clear();
        now = QDateTime(QDate(2024, 6, 3), QTime(17, 30));
        run.reset();
        run = std::make_unique<ShellRun>(QVariant(QStringLiteral("amartin")), backend);
        run->addPerson(1, QStringLiteral("amartin"), {QStringLiteral("SCI")});
        run->allowGroups({QStringLiteral("SCI")});
        QVERIFY(!item(application(), "actionSauvegarder")->isEnabled());
        QVERIFY(!item(application(), "actionRestaurer")->isEnabled());
        application().initApp();
        application().userDefaults().removeObjectForKey(app::Sauvegardes::cleEchecSignale());
    }
    void cleanup() { run.reset(); }

    void backupFromTheMenuThenTheDaysCopy()
    {
        QAction *sauvegarder = item(application(), "actionSauvegarder");
        QCOMPARE(sauvegarder->text(), QStringLiteral("Sauvegarder la base…"));
        QVERIFY(sauvegarder->isEnabled() && item(application(), "actionRestaurer")->isEnabled());
        sauvegarder->trigger();
        QCOMPARE(titles(), QStringList{"Sauvegarde de la base"});
        QVERIFY(run->alerts.first().message.startsWith("La base est sauvegardée (0 salle) dans"));

        now = now.addSecs(60);
        item(application(), "actionQuitter")->trigger();
        QVERIFY(application().hasTerminated());
        const QList<data::BackupFolder::Entry> backups = data::BackupFolder::list(folder());
        QCOMPARE(backups.size(), 2);
        QCOMPARE(backups.first().manifest.kind, data::BackupKind::Weekly);
        QCOMPARE(titles().size(), 1);
    }

    // A server has no files here to copy: the items stay disabled and the session ends without a copy.
    void nothingOnAServer()
    {
        LOCAVIA_REQUIRE_BACKEND(TestDatabase::Backend::PostgreSQL);
        start(TestDatabase::Backend::PostgreSQL);
        QVERIFY(!application().hasTerminated());
        QVERIFY(!item(application(), "actionSauvegarder")->isEnabled());
        QVERIFY(!item(application(), "actionRestaurer")->isEnabled());
        item(application(), "actionQuitter")->trigger();
        QVERIFY(application().hasTerminated() && run->alerts.isEmpty() && logged.isEmpty());
    }

    void failedDailyCopyIsToldOnceADay()
    {
        // The backup folder cannot be made: a file has its name.
        QFile blocking(folder());
        QVERIFY(blocking.open(QIODevice::WriteOnly));
        blocking.close();
        // Two sessions end the same day.
        item(application(), "actionQuitter")->trigger();
        item(application(), "actionQuitter")->trigger();
        QCOMPARE(titles(), QStringList{"Sauvegarde de la base"});
        QVERIFY(run->alerts.first().message.startsWith(
            "La sauvegarde du jour n'a pas pu être faite. La sauvegarde "
            "ne peut pas être écrite dans"));
        QCOMPARE(logged.size(), 2);
        now = now.addDays(1);
        item(application(), "actionQuitter")->trigger();
        QCOMPARE(titles().size(), 2);
        QCOMPARE(logged.size(), 3);
    }

    void restoreFromTheMenu_data()
    {
        QTest::addColumn<bool>("damaged");
        QTest::newRow("sound backup") << false;
        QTest::newRow("damaged backup") << true;
    }
    void restoreFromTheMenu()
    {
        QFETCH(bool, damaged);
        TestDatabase &db = run->db();
        QVERIFY(!db.addBuilding("SCI", "SCIENCES").isEmpty() && db.addRoom("SCI", "1", "P1") > 0);
        const data::BackupFolder::Entry backup =
            data::SqliteBackup::create(db.directory(), folder(), data::BackupKind::Manual);
        QVERIFY(db.addRoom("SCI", "1", "P2") > 0);
        if (damaged)
            QVERIFY(QFile::resize(backup.path + "/solma.db", 4096));

        int relances = 0;
        const auto relance = app::Sauvegardes::setRelance([&relances] { return ++relances > 0; });
        platform::setChoicePresenter(
            [](const QString &, const QString &, const QStringList &, int) { return 0; });
        QStringList shown;
        QTimer::singleShot(0, &application(), [&] {
            QWidget *panel = application().theModalWindow();
            auto *liste = panel ? panel->findChild<QTreeWidget *>("listeSauvegardes") : nullptr;
            if (!liste)
                return;
            for (int column = 0; column < liste->columnCount(); ++column)
                shown << liste->topLevelItem(0)->text(column);
            panel->findChild<QPushButton *>("boutonRestaurer")->click();
        });
        item(application(), "actionRestaurer")->trigger();
        app::Sauvegardes::setRelance(relance);
        platform::setChoicePresenter({});

        QCOMPARE(shown, (QStringList{"03/06/2024 17:30:00", "manuelle", "1", platform::locaviaVersion()}));
        QCOMPARE(application().hasTerminated(), !damaged);
        QCOMPARE(relances, damaged ? 0 : 1);
        QCOMPARE(titles(), QStringList{damaged ? "ERREUR" : "Restaurer une sauvegarde"});
        QVERIFY2(run->alerts.first().message.contains(damaged ? "est endommagée" : "Locavia redémarre"),
                 qPrintable(run->alerts.first().message));
        const qint64 rooms =
            data::SqliteBackup::verify(db.directory() + "/locavia.db", db.directory() + "/solma.db").rooms;
        QCOMPARE(rooms, damaged ? 2 : 1);
    }
};

int main(int argc, char *argv[])
{
    // Each test starts an application of its own.
    ShellResources resources;
    if (!resources.isValid())
        return 2;
    TestSauvegardes test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Sauvegardes.moc"
