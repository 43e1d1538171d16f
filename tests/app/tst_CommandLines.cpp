// The command lines of the three programs: --help and --version in French whatever the session's language,
// usage errors with status 2, a database that cannot be read with status 1; the desktop application reads
// its command line without a display, and leaves the "-Clé valeur" pairs to the user defaults.

#include "FrenchTranslations.h"
#include "LocaviaCommandLine.h"

#include <QCoreApplication>
#include <QProcess>
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
    for (QString &argument : arguments)
        argument.replace(QLatin1String("%1"), dir.path());

    // An English session without a display: a window system that cannot be reached would end the program
    // before it printed anything.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QStringLiteral("5"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(programPath(program), arguments);
    QVERIFY2(process.waitForFinished(60000), qPrintable(programPath(program)));
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    const QString err = QString::fromUtf8(process.readAllStandardError());
    const QString both = QStringLiteral("sortie :\n%1\nerreurs :\n%2").arg(out, err);

    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QVERIFY2(process.exitCode() == status,
             qPrintable(QStringLiteral("statut %1\n").arg(process.exitCode()) + both));
    const QStringList lines = out.split(QLatin1Char('\n'));
    for (const QString &line : output) {
        const bool found =
            std::any_of(lines.begin(), lines.end(), [&line](const QString &l) { return l.startsWith(line); });
        QVERIFY2(found, qPrintable(line + QStringLiteral(" absent de la ") + both));
    }
    for (QString text : errors) {
        text.replace(QLatin1String("%1"), dir.path());
        QVERIFY2(err.contains(text), qPrintable(text + QStringLiteral(" absent de la ") + both));
    }
    // Help and version go to the standard output alone; a refusal only to the error output.
    QVERIFY2(status == 0 ? err.isEmpty() : out.isEmpty(), qPrintable(both));
    QVERIFY2(!english.match(both).hasMatch(), qPrintable(both));
}

void TestCommandLines::locaviaArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status"); // -1: the application starts
    QTest::addColumn<QString>("url");

    QTest::newRow("nothing") << QStringList{"locavia"} << -1 << "";
    QTest::newRow("folder") << QStringList{"locavia", "--database", "/srv/base"} << -1
                            << "sqlite:///srv/base/locavia.db";
    QTest::newRow("folder after =") << QStringList{"locavia", "--database=/srv/base/locavia.db"} << -1
                                    << "sqlite:///srv/base/locavia.db";
    QTest::newRow("server among user defaults")
        << QStringList{"locavia",          "-HalvanePort",   "4321", "--database",
                       "postgresql://h/b", "-HalvaneTicket", "ST-42"}
        << -1 << "postgresql://h/b";
    // A value that looks like a user default's key is one; it is no value of --database.
    QTest::newRow("negative value of a user default")
        << QStringList{"locavia", "-Decalage", "-1", "--database", "/srv/base"} << -1
        << "sqlite:///srv/base/locavia.db";
    QTest::newRow("user default key without a value") << QStringList{"locavia", "-HalvanePort"} << 2 << "";
    QTest::newRow("help wins") << QStringList{"locavia", "--database", "/srv/base", "--help"} << 0 << "";
}

void TestCommandLines::locaviaArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, url);
    const app::LocaviaCommandLine line = app::LocaviaCommandLine::parse(arguments);
    QCOMPARE(line.exits(), status >= 0);
    if (status >= 0) {
        QCOMPARE(line.exitStatus(), status);
        QCOMPARE(line.output().isEmpty(), status != 0);
        return;
    }
    QCOMPARE(line.databaseAddress().value(QStringLiteral("URL")).toString(), url);
}

QTEST_GUILESS_MAIN(TestCommandLines)
#include "tst_CommandLines.moc"
