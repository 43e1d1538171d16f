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

        QTest::newRow("nothing") << QStringList{} << "Indiquez la commande « sqlite » ou « postgresql ».";
        QTest::newRow("no directory")
            << QStringList{"sqlite", "--demo"} << "Indiquez le dossier de la base avec --dir.";
        QTest::newRow("directory missing its value")
            << QStringList{"sqlite", "--dir"} << "L'option --dir attend un dossier.";
        QTest::newRow("directory followed by an option")
            << QStringList{"sqlite", "--dir", "--demo"} << "L'option --dir attend un dossier.";
        QTest::newRow("unknown command")
            << QStringList{"postgres", "--dir", "d"}
            << "Commande inconnue : « postgres » (« sqlite » ou « postgresql »).";
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
