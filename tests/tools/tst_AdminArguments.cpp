// The command line of locavia-admin: what it accepts, and the French reason of every refusal.

#include "AdminArguments.h"

#include <QTest>

using admin::AdminArguments;

class TestAdminArguments : public QObject
{
    Q_OBJECT

private slots:
    void accepted_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("directory");
        QTest::addColumn<bool>("demo");
        QTest::addColumn<int>("rooms");
        QTest::addColumn<QString>("user");
        QTest::addColumn<bool>("replace");

        QTest::newRow("install only") << QStringList{"sqlite", "--dir", "/tmp/base"} << "/tmp/base" << false
                                      << AdminArguments::DefaultRooms << "" << false;
        QTest::newRow("options before the command")
            << QStringList{"--dir", "base", "--replace", "sqlite"} << "base" << false << 300 << "" << true;
        QTest::newRow("demo with everything")
            << QStringList{"sqlite", "--dir", "d", "--demo", "--rooms", "100000", "--user", " Alice "} << "d"
            << true << 100000 << "Alice" << false;
        QTest::newRow("one room") << QStringList{"sqlite", "--demo", "--rooms", "1", "--dir", "d"} << "d"
                                  << true << 1 << "" << false;
        QTest::newRow("most rooms") << QStringList{"sqlite", "--dir", "d", "--demo", "--rooms", "1000000"}
                                    << "d" << true << 1000000 << "" << false;
    }
    void accepted()
    {
        QFETCH(QStringList, arguments);
        const AdminArguments parsed = AdminArguments::parse(arguments);
        QVERIFY2(parsed.isValid(), qPrintable(parsed.error()));
        QVERIFY(!parsed.helpRequested());
        QTEST(parsed.directory(), "directory");
        QTEST(parsed.demo(), "demo");
        QTEST(parsed.rooms(), "rooms");
        QTEST(parsed.user(), "user");
        QTEST(parsed.replace(), "replace");
        QCOMPARE(parsed.command(), AdminArguments::Command::Sqlite);
        QVERIFY(parsed.url().isEmpty());
    }

    void serverAccepted_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("demo");
        QTest::addColumn<int>("rooms");

        QTest::newRow("install only") << QStringList{"postgresql", "--url", "postgresql://admin@srv:5433/inv"}
                                      << "postgresql://admin@srv:5433/inv"
                                      << "" << false << 300;
        QTest::newRow("short scheme, demo")
            << QStringList{"--demo", "postgresql", "--url", " postgres://h/b ", "--rooms", "100000"}
            << "postgres://h/b"
            << "" << true << 100000;
        // A password is taken as it is, even when it looks like an option.
        QTest::newRow("password like an option")
            << QStringList{"postgresql", "--password", "--demo", "--url", "postgresql://h/b"}
            << "postgresql://h/b"
            << "--demo" << false << 300;
    }
    void serverAccepted()
    {
        QFETCH(QStringList, arguments);
        const AdminArguments parsed = AdminArguments::parse(arguments);
        QVERIFY2(parsed.isValid(), qPrintable(parsed.error()));
        QCOMPARE(parsed.command(), AdminArguments::Command::PostgreSQL);
        QTEST(parsed.url(), "url");
        QTEST(parsed.password(), "password");
        QTEST(parsed.demo(), "demo");
        QTEST(parsed.rooms(), "rooms");
        QVERIFY(parsed.directory().isEmpty());
    }

    void refused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error");

        QTest::newRow("nothing")
            << QStringList{} << "Indiquez la commande « sqlite », « postgresql », « backup » ou « restore ».";
        QTest::newRow("no directory")
            << QStringList{"sqlite", "--demo"} << "Indiquez le dossier de la base avec --dir.";
        QTest::newRow("directory missing its value")
            << QStringList{"sqlite", "--dir"} << "L'option --dir attend un dossier.";
        QTest::newRow("directory followed by an option")
            << QStringList{"sqlite", "--dir", "--demo"} << "L'option --dir attend un dossier.";
        QTest::newRow("unknown command")
            << QStringList{"postgres", "--dir", "d"}
            << "Commande inconnue : « postgres » (« sqlite », « postgresql », « backup » ou « restore »).";
        QTest::newRow("unknown option")
            << QStringList{"sqlite", "--dir", "d", "--force"} << "Option inconnue : « --force ».";
        QTest::newRow("extra argument")
            << QStringList{"sqlite", "--dir", "d", "encore"} << "Argument inattendu : « encore ».";
        const QString roomsError =
            QStringLiteral("L'option --rooms attend un nombre de salles entre 1 et 1000000.");
        QTest::newRow("rooms not a number")
            << QStringList{"sqlite", "--dir", "d", "--demo", "--rooms", "abc"} << roomsError;
        QTest::newRow("no room") << QStringList{"sqlite", "--dir", "d", "--demo", "--rooms", "0"}
                                 << roomsError;
        QTest::newRow("negative rooms")
            << QStringList{"sqlite", "--dir", "d", "--demo", "--rooms", "-5"} << roomsError;
        QTest::newRow("too many rooms")
            << QStringList{"sqlite", "--dir", "d", "--demo", "--rooms", "1000001"} << roomsError;
        QTest::newRow("rooms missing its value")
            << QStringList{"sqlite", "--dir", "d", "--demo", "--rooms"} << roomsError;
        QTest::newRow("blank user") << QStringList{"sqlite", "--dir", "d", "--demo", "--user", "  "}
                                    << "L'option --user attend un identifiant de connexion.";
        QTest::newRow("rooms without demo") << QStringList{"sqlite", "--dir", "d", "--rooms", "10"}
                                            << "Les options --rooms et --user ne servent qu'avec --demo.";
        QTest::newRow("user without demo") << QStringList{"sqlite", "--dir", "d", "--user", "bob"}
                                           << "Les options --rooms et --user ne servent qu'avec --demo.";
        QTest::newRow("server without address")
            << QStringList{"postgresql", "--demo"} << "Indiquez la base du serveur avec --url.";
        QTest::newRow("server address missing its value")
            << QStringList{"postgresql", "--url"} << "L'option --url attend l'adresse d'une base PostgreSQL.";
        QTest::newRow("server address of another kind")
            << QStringList{"postgresql", "--url", "sqlite:///tmp/locavia.db"}
            << "L'adresse « sqlite:///tmp/locavia.db » n'est pas celle d'une base PostgreSQL "
               "(postgresql://compte@serveur:port/base).";
        QTest::newRow("password missing its value")
            << QStringList{"postgresql", "--url", "postgresql://h/b", "--password"}
            << "L'option --password attend un mot de passe.";
        QTest::newRow("folder for a server")
            << QStringList{"postgresql", "--url", "postgresql://h/b", "--dir", "d"}
            << "Les options --dir et --replace ne servent qu'avec la commande « sqlite ».";
        QTest::newRow("server replaced")
            << QStringList{"postgresql", "--url", "postgresql://h/b", "--replace"}
            << "Les options --dir et --replace ne servent qu'avec la commande « sqlite ».";
        QTest::newRow("address for a file")
            << QStringList{"sqlite", "--dir", "d", "--url", "postgresql://h/b"}
            << "Les options --url et --password ne servent qu'avec la commande « postgresql ».";
        QTest::newRow("password for a file") << QStringList{"sqlite", "--dir", "d", "--password", "x"}
                                             << "Les options --url et --password ne servent qu'avec la "
                                                "commande « postgresql ».";
        const QString backupOnly = QStringLiteral("Les commandes « backup » et « restore » n'acceptent que "
                                                  "--dir, --daily, --list et le nom d'une sauvegarde.");
        const QString whichBackup =
            QStringLiteral("Indiquez la sauvegarde à restaurer, ou --list pour les lister.");
        QTest::newRow("restore without a backup") << QStringList{"restore", "--dir", "d"} << whichBackup;
        QTest::newRow("restore a backup and list") << QStringList{"restore", "--list", "b"} << whichBackup;
        QTest::newRow("restore two backups")
            << QStringList{"restore", "a", "b"} << "Argument inattendu : « b ».";
        QTest::newRow("backup with a name") << QStringList{"backup", "b"} << "Argument inattendu : « b ».";
        QTest::newRow("backup listed")
            << QStringList{"backup", "--list"} << "L'option --list ne sert qu'avec la commande « restore ».";
        QTest::newRow("daily restore") << QStringList{"restore", "b", "--daily"}
                                       << "L'option --daily ne sert qu'avec la commande « backup ».";
        QTest::newRow("daily install") << QStringList{"sqlite", "--dir", "d", "--daily"}
                                       << "L'option --daily ne sert qu'avec la commande « backup ».";
        QTest::newRow("backup replaced") << QStringList{"backup", "--replace"} << backupOnly;
        QTest::newRow("backup of a server")
            << QStringList{"backup", "--url", "postgresql://h/b"} << backupOnly;
    }
    void refused()
    {
        QFETCH(QStringList, arguments);
        const AdminArguments parsed = AdminArguments::parse(arguments);
        QVERIFY(!parsed.isValid());
        QTEST(parsed.error(), "error");
        // A refusal carries no half-read values.
        QVERIFY(parsed.directory().isEmpty());
        QVERIFY(!parsed.demo());
        QVERIFY(!parsed.replace());
    }

    void backupCommands_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("directory");
        QTest::addColumn<bool>("daily");
        QTest::addColumn<bool>("list");
        QTest::addColumn<QString>("backup");

        const int backup = int(AdminArguments::Command::Backup);
        const int restore = int(AdminArguments::Command::Restore);
        QTest::newRow("backup of the user's base")
            << QStringList{"backup"} << backup << "" << false << false << "";
        QTest::newRow("daily backup, for cron")
            << QStringList{"--daily", "backup", "--dir", "d"} << backup << "d" << true << false << "";
        QTest::newRow("list") << QStringList{"restore", "--list"} << restore << "" << false << true << "";
        QTest::newRow("restore by name")
            << QStringList{"restore", "--dir", "d", "2024-06-11_18-05-03_quotidienne"} << restore << "d"
            << false << false << "2024-06-11_18-05-03_quotidienne";
    }
    void backupCommands()
    {
        QFETCH(QStringList, arguments);
        const AdminArguments parsed = AdminArguments::parse(arguments);
        QVERIFY2(parsed.isValid(), qPrintable(parsed.error()));
        QTEST(int(parsed.command()), "command");
        QTEST(parsed.directory(), "directory");
        QTEST(parsed.daily(), "daily");
        QTEST(parsed.list(), "list");
        QTEST(parsed.backup(), "backup");
    }

    void helpWinsOverMissingValues()
    {
        for (const QStringList &arguments : {QStringList{"--help"}, QStringList{"-h", "sqlite"}}) {
            const AdminArguments parsed = AdminArguments::parse(arguments);
            QVERIFY(parsed.helpRequested());
            QVERIFY(parsed.isValid());
        }
        QVERIFY(AdminArguments::usage().contains(QStringLiteral("--replace")));
        QVERIFY(AdminArguments::usage().contains(QStringLiteral("--url")));
    }
};

QTEST_APPLESS_MAIN(TestAdminArguments)
#include "tst_AdminArguments.moc"
