// The Debian package as a department receives it: made by CPack from this build, its control fields, its
// files in the places the desktop looks for them, and its programs run from the unpacked copy — moved
// elsewhere too — with the source and build trees hidden: locavia-admin makes a demo database,
// locavia-inventory reads it, and the desktop program shows its main window on a virtual display, or its
// welcome in a fresh account; the manual pages, copyright file and changelog as Debian keeps them.

#include "ProgramRun.h"
#include "VirtualDisplay.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>

namespace
{

const QString buildDir = QStringLiteral(LOCAVIA_BUILD_DIR);
const QString sourceDir = QStringLiteral(LOCAVIA_SOURCE_DIR);
const QString version = QStringLiteral(LOCAVIA_EXPECTED_VERSION);

// The unpacked programs run in a mount namespace of their own, where an empty file system covers the build
// and source trees.
QStringList hidingTheTrees(const QString &program, const QStringList &arguments)
{
    return QStringList{
               "--mount",
               "--map-root-user",
               "--",
               "/bin/sh",
               "-c",
               "mount -t tmpfs absent \"$1\" && mount -t tmpfs absent \"$2\" && shift 2 && exec \"$@\"",
               "sh",
               buildDir,
               sourceDir,
               program} +
           arguments;
}

} // namespace

class TestPackage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void controlFields();
    void files_data();
    void files();
    void desktopEntryAndIcon();
    void inventoryOfADemoDatabase();
    void movedInstallation();
    void desktopProgramShowsItsMainWindow();
    void documentation();
    void firstStartOpensTheWelcome();

private:
    // The environment of the unpacked programs: homes of their own, nothing that points into the trees.
    QProcessEnvironment
    environment(QProcessEnvironment base = QProcessEnvironment::systemEnvironment()) const;
    QString program(const QString &name) const { return m_root + QStringLiteral("/usr/bin/") + name; }
    ProgramRun run(const QString &name, const QStringList &arguments = {}) const;

    QTemporaryDir m_dir;
    QString m_package;
    QString m_root; // where the package is unpacked (moved by movedInstallation)
    bool m_treesHidden = false;
};

void TestPackage::initTestCase()
{
    QVERIFY(m_dir.isValid());
    for (const char *home : {"home/data", "home/config", "home/cache", "home/state", "home/runtime"})
        QVERIFY(QDir(m_dir.path()).mkpath(QLatin1String(home)));
    QFile::setPermissions(m_dir.filePath("home/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QElapsedTimer clock;
    clock.start();
    const ProgramRun made = ProgramRun::of(
        QStringLiteral(LOCAVIA_CPACK),
        {"-G", "DEB", "--config", buildDir + "/CPackConfig.cmake", "-B", m_dir.filePath("paquet")},
        QProcessEnvironment::systemEnvironment(), buildDir);
    QVERIFY2(made.status == 0, qPrintable(made.report()));
    qInfo().noquote() << QStringLiteral("package_build_ms: %1").arg(clock.elapsed());
    m_package = m_dir.filePath(QStringLiteral("paquet/locavia_%1_amd64.deb").arg(version));
    m_root = m_dir.filePath(QStringLiteral("racine"));
    const ProgramRun unpacked = ProgramRun::of(QStringLiteral("dpkg-deb"), {"-x", m_package, m_root});
    QVERIFY2(unpacked.status == 0, qPrintable(unpacked.report()));

    const ProgramRun probe =
        ProgramRun::of(QStringLiteral("unshare"),
                       hidingTheTrees("/bin/sh", {"-c", "test ! -e \"$0\"", sourceDir + "/CMakeLists.txt"}));
    m_treesHidden = probe.status == 0;
    if (!m_treesHidden)
        qWarning().noquote() << "the trees cannot be hidden here (no mount namespace):" << probe.err;
}

QProcessEnvironment TestPackage::environment(QProcessEnvironment base) const
{
    base.remove(QStringLiteral("LOCAVIA_RESOURCES"));
    for (const char *home : {"data", "config", "cache", "state"})
        base.insert(QStringLiteral("XDG_%1_HOME").arg(QString::fromLatin1(home).toUpper()),
                    m_dir.filePath("home/" + QString::fromLatin1(home)));
    base.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.filePath(QStringLiteral("home/runtime")));
    return base;
}

ProgramRun TestPackage::run(const QString &name, const QStringList &arguments) const
{
    if (m_treesHidden)
        return ProgramRun::of(QStringLiteral("unshare"), hidingTheTrees(program(name), arguments),
                              environment(), m_dir.path());
    return ProgramRun::of(program(name), arguments, environment(), m_dir.path());
}

void TestPackage::controlFields()
{
    const ProgramRun info = ProgramRun::of(QStringLiteral("dpkg-deb"), {"--info", m_package});
    QVERIFY2(info.status == 0, qPrintable(info.report()));
    auto field = [&info](const char *name) {
        return QRegularExpression(QStringLiteral("^ %1: (.*)$").arg(QLatin1String(name)),
                                  QRegularExpression::MultilineOption)
            .match(info.out)
            .captured(1);
    };
    QCOMPARE(field("Package"), QStringLiteral("locavia"));
    QCOMPARE(field("Version"), version);
    QCOMPARE(field("Section"), QStringLiteral("database"));
    QVERIFY2(QRegularExpression(QStringLiteral("^.+ <[^@ ]+@[^@ ]+>$")).match(field("Maintainer")).hasMatch(),
             qPrintable(info.out));
    // The libraries come from dpkg-shlibdeps; what Qt loads by name is declared by the package.
    for (const char *package : {"libqt6widgets6", "libqt6svg6", "libpq5", "libsqlite3-0", "qt6-qpa-plugins",
                                "qt6-translations-l10n"}) {
        QVERIFY2(field("Depends").contains(QLatin1String(package)), qPrintable(field("Depends")));
    }
    QVERIFY2(info.out.contains("inventory of its premises") &&
                 info.out.contains("l'inventaire de ses locaux"),
             qPrintable(info.out));
}

void TestPackage::files_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("present");
    for (const char *path :
         {"usr/bin/locavia", "usr/bin/locavia-admin", "usr/bin/locavia-inventory",
          "usr/share/locavia/Application.config", "usr/share/locavia/models/Locavia.json",
          "usr/share/locavia/sql/sqlite/inventory.sql", "usr/share/locavia/sql/postgresql/schema.sql",
          "usr/share/locavia/reports", "usr/share/applications/locavia.desktop",
          "usr/share/icons/hicolor/scalable/apps/locavia.svg"})
        QTest::newRow(path) << QString::fromLatin1(path) << true;
    // The forms are compiled into the programs; nothing of the tests is shipped.
    QTest::newRow("no forms") << "usr/share/locavia/ui" << false;
    QTest::newRow("no tests") << "usr/bin/tst_Superviseur" << false;
}

void TestPackage::files()
{
    QFETCH(QString, path);
    QFETCH(bool, present);
    const QFileInfo file(m_root + QLatin1Char('/') + path);
    QCOMPARE(file.exists(), present);
    if (path.startsWith(QLatin1String("usr/bin/")) && present)
        QVERIFY(file.isExecutable());
}

void TestPackage::desktopEntryAndIcon()
{
    const QString entry = m_root + QStringLiteral("/usr/share/applications/locavia.desktop");
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    QVERIFY2(!validator.isEmpty(),
             "desktop-file-validate (desktop-file-utils, scripts/install-deps) is needed");
    const ProgramRun valid = ProgramRun::of(validator, {entry});
    QVERIFY2(valid.status == 0 && valid.out.isEmpty(), qPrintable(valid.report()));

    // The entry starts the installed program and names the installed icon, a square drawing.
    QFile file(entry);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    auto value = [&text](const char *key) {
        return QRegularExpression(QStringLiteral("^%1=(.*)$").arg(QLatin1String(key)),
                                  QRegularExpression::MultilineOption)
            .match(text)
            .captured(1);
    };
    QVERIFY(QFileInfo(program(value("Exec"))).isExecutable());
    QSvgRenderer icon(m_root +
                      QStringLiteral("/usr/share/icons/hicolor/scalable/apps/%1.svg").arg(value("Icon")));
    QVERIFY(icon.isValid());
    QCOMPARE(icon.viewBoxF().width(), icon.viewBoxF().height());
}

void TestPackage::inventoryOfADemoDatabase()
{
    // The demo database where the programs look by default, made by the package's own locavia-admin from the
    // package's own SQL.
    const QString data = m_dir.filePath(QStringLiteral("home/data/Locavia"));
    const ProgramRun admin = run("locavia-admin", {"sqlite", "--dir", data, "--demo", "--rooms", "40"});
    QVERIFY2(admin.status == 0, qPrintable(admin.report()));

    const ProgramRun inventory = run("locavia-inventory");
    QVERIFY2(inventory.status == 0, qPrintable(inventory.report()));
    QVERIFY2(inventory.out.startsWith(QStringLiteral("Locavia — base « %1/locavia.db »").arg(data)),
             qPrintable(inventory.out));
    const auto rooms =
        QRegularExpression(QStringLiteral("Salles par bâtiment \\((\\d+) en tout\\)")).match(inventory.out);
    QVERIFY2(rooms.captured(1).toInt() >= 40, qPrintable(inventory.out));
    QCOMPARE(run("locavia-inventory", {"--version"}).out,
             QStringLiteral("locavia-inventory (Locavia) %1\n").arg(version));
}

void TestPackage::movedInstallation()
{
    const QString moved = m_dir.filePath(QStringLiteral("ailleurs/opt/locavia"));
    QVERIFY(QDir().mkpath(QFileInfo(moved).absolutePath()) && QDir().rename(m_root, moved));
    m_root = moved;
    const ProgramRun inventory = run("locavia-inventory");
    QVERIFY2(inventory.status == 0 && inventory.out.contains("Salles par bâtiment"),
             qPrintable(inventory.report()));

    // Without its models the moved copy says where it looked: beside itself, never in the source tree.
    const QString models = moved + QStringLiteral("/usr/share/locavia/models");
    QVERIFY(QDir().rename(models, models + QStringLiteral(".retirés")));
    const ProgramRun lost = run("locavia-inventory");
    QVERIFY(QDir().rename(models + QStringLiteral(".retirés"), models));
    QVERIFY2(lost.status == 1 && lost.err.contains(models + QStringLiteral("/Locavia.json")),
             qPrintable(lost.report()));
    QVERIFY2(!lost.err.contains(sourceDir), qPrintable(lost.report()));
}

void TestPackage::desktopProgramShowsItsMainWindow()
{
    QVERIFY2(VirtualDisplay::unavailableReason().isEmpty(), qPrintable(VirtualDisplay::unavailableReason()));
    VirtualDisplay display;
    QString error;
    QVERIFY2(display.start(&error), qPrintable(error));
    QProcess locavia;
    QProcessEnvironment withDisplay = environment(display.environment());
    withDisplay.insert(QStringLiteral("LOCAVIA_READY_PROBE"), QStringLiteral("print"));
    locavia.setProcessEnvironment(withDisplay);
    locavia.setWorkingDirectory(m_dir.path());
    if (m_treesHidden)
        locavia.start(QStringLiteral("unshare"), hidingTheTrees(program("locavia"), {}));
    else
        locavia.start(program("locavia"), {});
    ProcessStopper stop{locavia};

    QByteArray output;
    QElapsedTimer clock;
    clock.start();
    while (!(output.contains("locavia-ready") && display.showsWindowTitled("Locavia - (locavia.db)")) &&
           clock.elapsed() < 60000 && locavia.state() != QProcess::NotRunning) {
        locavia.waitForReadyRead(100);
        output += locavia.readAllStandardOutput();
    }
    QVERIFY2(locavia.state() == QProcess::Running, qPrintable(output + locavia.readAllStandardError()));
    QVERIFY2(display.showsWindowTitled("Locavia - (locavia.db)"), output.constData());
    QVERIFY(VirtualDisplay::showsSomething(
        display.screenshot(QT_TESTCASE_BUILDDIR "/locavia-package-window.png")));

    // Its log, in the XDG state folder.
    QFile log(m_dir.filePath(QStringLiteral("home/state/Locavia/locavia.log")));
    QVERIFY2(log.open(QIODevice::ReadOnly), qPrintable(log.fileName()));
    QVERIFY(
        QString::fromUtf8(log.readAll()).contains(QStringLiteral(">>>>> Locavia %1 démarre").arg(version)));
}

void TestPackage::documentation()
{
    // The manual pages read without a warning, in the package's version; the changelog and the copyright
    // file as Debian keeps them.
    QProcessEnvironment utf8 = QProcessEnvironment::systemEnvironment();
    utf8.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    for (const char *page : {"locavia", "locavia-admin", "locavia-inventory"}) {
        const ProgramRun man = ProgramRun::of(
            "man", {"--warnings", "-E", "UTF-8", "-l", m_root + "/usr/share/man/man1/" + page + ".1.gz"},
            utf8);
        QVERIFY2(man.status == 0 && man.err.isEmpty() && man.out.contains("Locavia " + version),
                 qPrintable(man.report()));
    }
    const ProgramRun changelog = ProgramRun::of("zcat", {m_root + "/usr/share/doc/locavia/changelog.gz"});
    QVERIFY2(changelog.out.startsWith("locavia (" + version + ") "), qPrintable(changelog.report()));
    QFile copyright(m_root + "/usr/share/doc/locavia/copyright");
    QVERIFY(copyright.open(QIODevice::ReadOnly) &&
            copyright.readLine().startsWith("Format: https://www.debian.org/doc/packaging-manuals/"));
}

void TestPackage::firstStartOpensTheWelcome()
{
    QVERIFY2(VirtualDisplay::unavailableReason().isEmpty(), qPrintable(VirtualDisplay::unavailableReason()));
    VirtualDisplay display;
    QString error;
    QVERIFY2(display.start(&error), qPrintable(error));
    // A fresh account: no database in its data folder, no choice remembered.
    QProcessEnvironment fresh = environment(display.environment());
    for (const char *home : {"XDG_DATA_HOME", "XDG_CONFIG_HOME"})
        fresh.insert(QLatin1String(home), m_dir.filePath(QStringLiteral("nouveau/") + QLatin1String(home)));
    QProcess locavia;
    locavia.setProcessEnvironment(fresh);
    locavia.setWorkingDirectory(m_dir.path());
    if (m_treesHidden)
        locavia.start(QStringLiteral("unshare"), hidingTheTrees(program("locavia"), {}));
    else
        locavia.start(program("locavia"), {});
    ProcessStopper stop{locavia};
    QElapsedTimer clock;
    clock.start();
    while (!display.showsWindowTitled("Bienvenue dans Locavia") && clock.elapsed() < 60000 &&
           locavia.state() != QProcess::NotRunning)
        locavia.waitForFinished(200);
    QVERIFY2(display.showsWindowTitled("Bienvenue dans Locavia"), locavia.readAllStandardError().constData());
}

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_Package.moc"
