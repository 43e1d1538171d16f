// The command lines of the three programs: --help and --version in French whatever the session's language,
// usage errors with status 2, a database that cannot be read with status 1; the desktop application reads
// its command line without a display, and leaves the "-Clé valeur" pairs to the user defaults.

#include "FrenchTranslations.h"
#include "LocaviaCommandLine.h"
#include "ProgramRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace
{

const QString version = QStringLiteral(LOCAVIA_EXPECTED_VERSION);

QString programPath(const QString &name)
{
    if (name == QLatin1String("locavia"))
        return QStringLiteral(LOCAVIA_APP_PATH);
    if (name == QLatin1String("locavia-inventory"))
        return QStringLiteral(LOCAVIA_INVENTORY_PATH);
    return QStringLiteral(LOCAVIA_ADMIN_PATH);
}

// Qt's English texts of a command line.
const QRegularExpression english(QStringLiteral(
    "\\b(Usage|Options:|Arguments:|Displays|Unknown option|Missing value|Unexpected value)\\b"));

} // namespace

class TestCommandLines : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void programs_data();
    void programs();
    void locaviaArguments_data();
    void locaviaArguments();
};

void TestCommandLines::initTestCase()
{
    // The parser's own texts (usage errors) come from Qt's translations, as in the program.
    QVERIFY(platform::FrenchTranslations::install().isEmpty());
}

void TestCommandLines::programs_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments"); // %1: a temporary folder
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("output"); // lines the standard output holds
    QTest::addColumn<QStringList>("errors"); // texts the error output holds

    const QStringList statusLines{QStringLiteral("Codes de sortie :"), QStringLiteral("  0  "),
                                  QStringLiteral("  1  "),
                                  QStringLiteral("  2  ligne de commande incorrecte")};
    QTest::newRow("locavia --help") << "locavia" << QStringList{"--help"} << 0
                                    << QStringList{"Utilisation : locavia [options]",
                                                   "Options :", "  -v, --version", "  --database <base>"} +
                                           statusLines
                                    << QStringList();
    QTest::newRow("locavia -h") << "locavia" << QStringList{"-h"} << 0
                                << QStringList{"Utilisation : locavia [options]"} << QStringList();
    QTest::newRow("locavia --version")
        << "locavia" << QStringList{"--version"} << 0 << QStringList{"Locavia " + version} << QStringList();
    QTest::newRow("locavia -v with user defaults") << "locavia" << QStringList{"-HalvanePort", "4321", "-v"}
                                                   << 0 << QStringList{"Locavia " + version} << QStringList();
    QTest::newRow("locavia unknown option") << "locavia" << QStringList{"--inconnue"} << 2 << QStringList()
                                            << QStringList{"locavia : Option inconnue", "locavia --help"};
    QTest::newRow("locavia --database without a value")
        << "locavia" << QStringList{"--database"} << 2 << QStringList() << QStringList{"Valeur manquante"};
    QTest::newRow("locavia --database empty") << "locavia" << QStringList{"--database", " "} << 2
                                              << QStringList() << QStringList{"l'option --database attend"};
    QTest::newRow("locavia stray argument") << "locavia" << QStringList{"salles.txt"} << 2 << QStringList()
                                            << QStringList{"argument inattendu : « salles.txt »"};

    QTest::newRow("inventory --help") << "locavia-inventory" << QStringList{"--help"} << 0
                                      << QStringList{"Utilisation : locavia-inventory [options]",
                                                     "  --database <dossier>", "  --url <adresse>"} +
                                             statusLines
                                      << QStringList();
    QTest::newRow("inventory --version")
        << "locavia-inventory" << QStringList{"--version"} << 0
        << QStringList{"locavia-inventory (Locavia) " + version} << QStringList();
    QTest::newRow("inventory --url not a server")
        << "locavia-inventory" << QStringList{"--url", "sqlite:///tmp/locavia.db"} << 2 << QStringList()
        << QStringList{"n'est pas celle d'une base PostgreSQL"};
    QTest::newRow("inventory two databases")
        << "locavia-inventory" << QStringList{"--database", "%1", "--url", "postgresql://h/b"} << 2
        << QStringList() << QStringList{"n'en donnez qu'une"};
    QTest::newRow("inventory missing database")
        << "locavia-inventory" << QStringList{"--database", "%1/absente"} << 1 << QStringList()
        << QStringList{"locavia-inventory : ", "%1/absente/locavia.db", "introuvable"};
    QTest::newRow("inventory server down")
        << "locavia-inventory" << QStringList{"--url", "postgresql://locavia@127.0.0.1:1/locavia"} << 1
        << QStringList() << QStringList{"locavia-inventory : "};

    QTest::newRow("admin --help") << "locavia-admin" << QStringList{"--help"} << 0
                                  << QStringList{"              locavia-admin --help | --version",
                                                 "  -v, --version   affiche la version et s'arrête"} +
                                         statusLines
                                  << QStringList();
    QTest::newRow("admin --version") << "locavia-admin" << QStringList{"--version"} << 0
                                     << QStringList{"locavia-admin (Locavia) " + version} << QStringList();
    QTest::newRow("admin unknown command")
        << "locavia-admin" << QStringList{"mysql"} << 2 << QStringList() << QStringList{"Commande inconnue"};
}

void TestCommandLines::programs()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QStringList, output);
    QFETCH(QStringList, errors);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    arguments.replaceInStrings(QStringLiteral("%1"), dir.path());
    errors.replaceInStrings(QStringLiteral("%1"), dir.path());

    // An English session without a display: a window system that cannot be reached would end the program
    // before it printed anything.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    const ProgramRun run = ProgramRun::of(programPath(program), arguments, environment);

    QVERIFY2(run.status == status, qPrintable(run.report()));
    const QStringList lines = run.out.split(QLatin1Char('\n'));
    for (const QString &line : output) {
        QVERIFY2(
            std::any_of(lines.begin(), lines.end(), [&line](const QString &l) { return l.startsWith(line); }),
            qPrintable(line + QStringLiteral(" absent :\n") + run.report()));
    }
    for (const QString &text : errors)
        QVERIFY2(run.err.contains(text), qPrintable(text + QStringLiteral(" absent :\n") + run.report()));
    // Help and version go to the standard output alone; a refusal only to the error output.
    QVERIFY2(status == 0 ? run.err.isEmpty() : run.out.isEmpty(), qPrintable(run.report()));
    QVERIFY2(!english.match(run.out + run.err).hasMatch(), qPrintable(run.report()));
    // A help names what a user may type: not the launcher's hooks, nor the variables of tests and benchmarks.
    static const QRegularExpression internal(QStringLiteral("Halvane|LOCAVIA_|scripts/"));
    QVERIFY2(!internal.match(run.out).hasMatch(), qPrintable(run.report()));
}

void TestCommandLines::locaviaArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status"); // -1: the application starts
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("serverId"); // what the window title names

    const QString here = QDir::current().absolutePath();
    QTest::newRow("nothing") << QStringList{"locavia"} << -1 << ""
                             << "";
    QTest::newRow("folder") << QStringList{"locavia", "--database", "/srv/base/"} << -1
                            << "sqlite:///srv/base/locavia.db"
                            << "/srv/base/locavia.db";
    QTest::newRow("relative folder") << QStringList{"locavia", "--database", "base"} << -1
                                     << "sqlite://" + here + "/base/locavia.db" << here + "/base/locavia.db";
    QTest::newRow("database file after =")
        << QStringList{"locavia", "--database=/srv/copie.db"} << -1 << "sqlite:///srv/copie.db"
        << "/srv/copie.db";
    // The title never shows a password.
    QTest::newRow("server among user defaults")
        << QStringList{"locavia",        "-HalvanePort", "4321", "--database", "postgresql://u:secret@h/b",
                       "-HalvaneTicket", "ST-42"}
        << -1 << "postgresql://u:secret@h/b"
        << "postgresql://u@h/b";
    // A value that looks like a user default's key is one: it is no value of --database.
    QTest::newRow("negative value of a user default")
        << QStringList{"locavia", "-Decalage", "-1", "--database", "/srv/base"} << -1
        << "sqlite:///srv/base/locavia.db"
        << "/srv/base/locavia.db";
    QTest::newRow("user default key without a value") << QStringList{"locavia", "-HalvanePort"} << 2 << ""
                                                      << "";
    QTest::newRow("help wins") << QStringList{"locavia", "--database", "/srv/base", "--help"} << 0 << ""
                               << "";
}

void TestCommandLines::locaviaArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, url);
    QFETCH(QString, serverId);
    const app::LocaviaCommandLine line = app::LocaviaCommandLine::parse(arguments);
    QCOMPARE(line.exits(), status >= 0);
    if (status >= 0) {
        QCOMPARE(line.exitStatus(), status);
        QCOMPARE(line.output().isEmpty(), status != 0);
        return;
    }
    QCOMPARE(line.databaseAddress().value(QStringLiteral("URL")).toString(), url);
    QCOMPARE(line.databaseAddress().value(QStringLiteral("serverId")).toString(), serverId);
}

QTEST_GUILESS_MAIN(TestCommandLines)
#include "tst_CommandLines.moc"
