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
    }

    void refused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error");

        QTest::newRow("nothing") << QStringList{} << "Indiquez la commande « sqlite ».";
        QTest::newRow("no directory")
            << QStringList{"sqlite", "--demo"} << "Indiquez le dossier de la base avec --dir.";
        QTest::newRow("directory missing its value")
            << QStringList{"sqlite", "--dir"} << "L'option --dir attend un dossier.";
        QTest::newRow("directory followed by an option")
            << QStringList{"sqlite", "--dir", "--demo"} << "L'option --dir attend un dossier.";
        QTest::newRow("unknown command") << QStringList{"postgres", "--dir", "d"}
                                         << "Commande inconnue : « postgres » (seule « sqlite » existe).";
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
    }
};

QTEST_APPLESS_MAIN(TestAdminArguments)
#include "tst_AdminArguments.moc"
