// The Debian package as a department receives it: made by CPack from this build, its control fields, its
// files in the places the desktop looks for them, and its programs run from the unpacked copy — moved
// elsewhere too — with the source and build trees out of the way: locavia-admin makes a demo database,
// locavia-inventory reads it, and the desktop program shows its main window on a virtual display.

#include "VirtualDisplay.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QProcess>
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

struct Run {
    int status = -1;
    QString out;
    QString err;
    QString all() const
    {
        return QStringLiteral("statut %1\nsortie :\n%2\nerreurs :\n%3").arg(status).arg(out, err);
    }
};

Run runProcess(QProcess &process, const QString &program, const QStringList &arguments, int timeout = 120000)
{
    process.start(program, arguments);
    Run run;
    if (!process.waitForFinished(timeout)) {
        run.err = QStringLiteral("%1 ne s'est pas terminé : %2").arg(program, process.errorString());
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// The entries of the [Desktop Entry] group of a desktop file.
QMap<QString, QString> desktopEntry(const QString &path)
{
    QMap<QString, QString> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return entries;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals > 0 && !line.startsWith(QLatin1Char('#')))
            entries.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return entries;
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

private:
    // The environment of the unpacked programs: nothing that points into the source or build trees.
    QProcessEnvironment
    environment(QProcessEnvironment base = QProcessEnvironment::systemEnvironment()) const;
    // A program of the unpacked package, run with the source and build trees hidden when the system allows.
    Run run(const QString &program, const QStringList &arguments, QProcess *process = nullptr);
    void startHidden(QProcess &process, const QString &program, const QStringList &arguments);
    QStringList hidden(const QString &program, const QStringList &arguments) const;

    QTemporaryDir m_dir;
    QString m_package;
    QString m_root; // where the package is unpacked (moved by movedInstallation)
    QString m_home; // the XDG homes of the programs
    bool m_treesHidden = false;
};

void TestPackage::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QDir dir(m_dir.path());
    m_home = dir.filePath(QStringLiteral("home"));
    for (const char *folder : {"home/data", "home/config", "home/cache", "home/state", "home/runtime"})
        QVERIFY(dir.mkpath(QLatin1String(folder)));
    QFile::setPermissions(dir.filePath(QStringLiteral("home/runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // The package of the programs this build made.
    QElapsedTimer clock;
    clock.start();
    QProcess cpack;
    cpack.setWorkingDirectory(buildDir);
    const Run made = runProcess(cpack, QStringLiteral(LOCAVIA_CPACK),
                                {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                                 buildDir + QStringLiteral("/CPackConfig.cmake"), QStringLiteral("-B"),
                                 dir.filePath(QStringLiteral("paquet"))},
                                240000);
    QVERIFY2(made.status == 0, qPrintable(made.all()));
    qInfo().noquote() << QStringLiteral("package_build_ms: %1").arg(clock.elapsed());
    m_package = dir.filePath(QStringLiteral("paquet/locavia_%1_amd64.deb").arg(version));
    QVERIFY2(QFile::exists(m_package), qPrintable(made.out));

    m_root = dir.filePath(QStringLiteral("racine"));
    QProcess unpack;
    const Run unpacked =
        runProcess(unpack, QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), m_package, m_root});
    QVERIFY2(unpacked.status == 0, qPrintable(unpacked.all()));

    // Whether the trees can be hidden from the programs: a mount namespace of their own, where an empty
    // file system covers them.
    QProcess probe;
    const Run hiddenProbe = runProcess(
        probe, QStringLiteral("unshare"),
        hidden(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("test ! -e \"$0\""),
                                           sourceDir + QStringLiteral("/CMakeLists.txt")}));
    m_treesHidden = hiddenProbe.status == 0;
    if (!m_treesHidden)
        qWarning().noquote() << "the source tree cannot be hidden here (no mount namespace):"
                             << hiddenProbe.err;
}

QStringList TestPackage::hidden(const QString &program, const QStringList &arguments) const
{
    return QStringList{QStringLiteral("--mount"),
                       QStringLiteral("--map-root-user"),
                       QStringLiteral("--"),
                       QStringLiteral("/bin/sh"),
                       QStringLiteral("-c"),
                       QStringLiteral("mount -t tmpfs locavia-absent \"$1\" && mount -t tmpfs locavia-absent "
                                      "\"$2\" && shift 2 && exec \"$@\""),
                       QStringLiteral("sh"),
                       buildDir,
                       sourceDir,
                       program} +
           arguments;
}

QProcessEnvironment TestPackage::environment(QProcessEnvironment base) const
{
    base.remove(QStringLiteral("LOCAVIA_RESOURCES"));
    base.insert(QStringLiteral("XDG_DATA_HOME"), m_home + QStringLiteral("/data"));
    base.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home + QStringLiteral("/config"));
    base.insert(QStringLiteral("XDG_CACHE_HOME"), m_home + QStringLiteral("/cache"));
    base.insert(QStringLiteral("XDG_STATE_HOME"), m_home + QStringLiteral("/state"));
    base.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home + QStringLiteral("/runtime"));
    base.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    return base;
}

void TestPackage::startHidden(QProcess &process, const QString &program, const QStringList &arguments)
{
    const QString path = m_root + QStringLiteral("/usr/bin/") + program;
    process.setWorkingDirectory(m_dir.path());
    if (process.processEnvironment().isEmpty())
        process.setProcessEnvironment(environment());
    if (m_treesHidden)
        process.start(QStringLiteral("unshare"), hidden(path, arguments));
    else
        process.start(path, arguments);
}

Run TestPackage::run(const QString &program, const QStringList &arguments, QProcess *given)
{
    QProcess own;
    QProcess &process = given ? *given : own;
    startHidden(process, program, arguments);
    Run result;
    if (!process.waitForFinished(120000)) {
        result.err = QStringLiteral("%1 ne s'est pas terminé").arg(program);
        return result;
    }
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

void TestPackage::controlFields()
{
    QProcess fields;
    const Run control = runProcess(fields, QStringLiteral("dpkg-deb"), {QStringLiteral("--info"), m_package});
    QVERIFY2(control.status == 0, qPrintable(control.all()));
    auto field = [&control](const QString &name) {
        const QRegularExpression line(QStringLiteral("^ %1: (.*)$").arg(name),
                                      QRegularExpression::MultilineOption);
        return line.match(control.out).captured(1).trimmed();
    };
    QCOMPARE(field(QStringLiteral("Package")), QStringLiteral("locavia"));
    QCOMPARE(field(QStringLiteral("Version")), version);
    QCOMPARE(field(QStringLiteral("Section")), QStringLiteral("database"));
    QVERIFY2(QRegularExpression(QStringLiteral("^.+ <[^@ ]+@[^@ ]+>$"))
                 .match(field(QStringLiteral("Maintainer")))
                 .hasMatch(),
             qPrintable(control.out));
    // The libraries come from dpkg-shlibdeps; what Qt loads by name is declared by the package.
    const QString depends = field(QStringLiteral("Depends"));
    for (const char *package : {"libqt6widgets6", "libqt6core6", "libqt6svg6", "libpq5", "libsqlite3-0",
                                "libc6", "qt6-qpa-plugins", "qt6-translations-l10n"}) {
        QVERIFY2(depends.contains(QLatin1String(package)), qPrintable(depends));
    }
    // The description, in English and in French.
    QVERIFY2(control.out.contains(QStringLiteral("inventory of its premises")), qPrintable(control.out));
    QVERIFY2(control.out.contains(QStringLiteral("l'inventaire de ses locaux")), qPrintable(control.out));
}

void TestPackage::files_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("present");
    QTest::addColumn<bool>("executable");
    for (const char *program : {"usr/bin/locavia", "usr/bin/locavia-admin", "usr/bin/locavia-inventory"})
        QTest::newRow(program) << QString::fromLatin1(program) << true << true;
    for (const char *resource :
         {"usr/share/locavia/Application.config", "usr/share/locavia/models/Locavia.json",
          "usr/share/locavia/sql/sqlite/inventory.sql", "usr/share/locavia/sql/postgresql/schema.sql",
          "usr/share/applications/locavia.desktop", "usr/share/icons/hicolor/scalable/apps/locavia.svg"}) {
        QTest::newRow(resource) << QString::fromLatin1(resource) << true << false;
    }
    // The forms are compiled into the programs; nothing of the build or the tests is shipped.
    QTest::newRow("no forms") << "usr/share/locavia/ui" << false << false;
    QTest::newRow("no tests") << "usr/bin/tst_Superviseur" << false << false;
}

void TestPackage::files()
{
    QFETCH(QString, path);
    QFETCH(bool, present);
    QFETCH(bool, executable);
    const QFileInfo file(m_root + QLatin1Char('/') + path);
    QCOMPARE(file.exists(), present);
    if (present)
        QCOMPARE(file.isExecutable(), executable);
}

void TestPackage::desktopEntryAndIcon()
{
    const QString desktop = m_root + QStringLiteral("/usr/share/applications/locavia.desktop");
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    QVERIFY2(!validator.isEmpty(),
             "desktop-file-validate (desktop-file-utils, scripts/install-deps) is needed");
    QProcess validate;
    const Run valid = runProcess(validate, validator, {desktop});
    QVERIFY2(valid.status == 0 && valid.out.trimmed().isEmpty(), qPrintable(valid.all()));

    // The entry starts the installed program and names the installed icon.
    const QMap<QString, QString> entry = desktopEntry(desktop);
    QCOMPARE(entry.value(QStringLiteral("Name")), QStringLiteral("Locavia"));
    QVERIFY(!entry.value(QStringLiteral("Comment[fr]")).isEmpty() &&
            !entry.value(QStringLiteral("Comment")).isEmpty());
    QVERIFY(QFileInfo(m_root + QStringLiteral("/usr/bin/") +
                      entry.value(QStringLiteral("Exec")).section(u' ', 0, 0))
                .isExecutable());
    const QString icon = m_root + QStringLiteral("/usr/share/icons/hicolor/scalable/apps/%1.svg")
                                      .arg(entry.value(QStringLiteral("Icon")));
    QVERIFY2(QFile::exists(icon), qPrintable(icon));

    // Readable at the smallest size a menu shows: square, and at 16 px the tile, the walls and the room
    // still come out in their own colours.
    QSvgRenderer renderer(icon);
    QVERIFY(renderer.isValid());
    QCOMPARE(renderer.viewBoxF().width(), renderer.viewBoxF().height());
    QImage small(16, 16, QImage::Format_ARGB32);
    small.fill(Qt::transparent);
    QPainter painter(&small);
    renderer.render(&painter);
    painter.end();
    int white = 0, orange = 0, blue = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QColor colour = small.pixelColor(x, y);
            if (colour.red() > 230 && colour.green() > 230 && colour.blue() > 230)
                ++white;
            else if (colour.red() > 200 && colour.green() > 120 && colour.blue() < 80)
                ++orange;
            else if (colour.blue() > colour.red() + 40 && colour.alpha() > 200)
                ++blue;
        }
    }
    QVERIFY2(white >= 30 && orange >= 12 && blue >= 60,
             qPrintable(QStringLiteral("blanc %1, orange %2, bleu %3").arg(white).arg(orange).arg(blue)));
}

void TestPackage::inventoryOfADemoDatabase()
{
    // The demo database where the programs look by default, made by the package's own locavia-admin from the
    // package's own SQL.
    const QString data = m_home + QStringLiteral("/data/Locavia");
    const Run admin = run(QStringLiteral("locavia-admin"),
                          {QStringLiteral("sqlite"), QStringLiteral("--dir"), data, QStringLiteral("--demo"),
                           QStringLiteral("--rooms"), QStringLiteral("40")});
    QVERIFY2(admin.status == 0, qPrintable(admin.all()));

    const Run inventory = run(QStringLiteral("locavia-inventory"), {});
    QVERIFY2(inventory.status == 0, qPrintable(inventory.all()));
    QVERIFY2(inventory.out.startsWith(QStringLiteral("Locavia — base « %1/locavia.db »").arg(data)),
             qPrintable(inventory.all()));
    const QRegularExpressionMatch rooms =
        QRegularExpression(QStringLiteral("Salles par bâtiment \\((\\d+) en tout\\)")).match(inventory.out);
    QVERIFY2(rooms.hasMatch() && rooms.captured(1).toInt() >= 40, qPrintable(inventory.out));
    QVERIFY2(QRegularExpression(QStringLiteral("^Bâtiments \\([1-9]"), QRegularExpression::MultilineOption)
                 .match(inventory.out)
                 .hasMatch(),
             qPrintable(inventory.out));

    const Run shown = run(QStringLiteral("locavia-inventory"), {QStringLiteral("--version")});
    QCOMPARE(shown.out, QStringLiteral("locavia-inventory (Locavia) %1\n").arg(version));
}

void TestPackage::movedInstallation()
{
    const QString moved = m_dir.filePath(QStringLiteral("ailleurs/opt/locavia"));
    QVERIFY(QDir().mkpath(QFileInfo(moved).absolutePath()));
    QVERIFY(QDir().rename(m_root, moved));
    m_root = moved;

    const Run inventory = run(QStringLiteral("locavia-inventory"), {});
    QVERIFY2(inventory.status == 0 && inventory.out.contains(QStringLiteral("Salles par bâtiment")),
             qPrintable(inventory.all()));

    // Without its models the moved copy says where it looked: beside itself, never in the source tree.
    const QString models = moved + QStringLiteral("/usr/share/locavia/models");
    QVERIFY(QDir().rename(models, models + QStringLiteral(".retirés")));
    const Run lost = run(QStringLiteral("locavia-inventory"), {});
    QVERIFY(QDir().rename(models + QStringLiteral(".retirés"), models));
    QVERIFY2(lost.status == 1 && lost.err.contains(models + QStringLiteral("/Locavia.json")),
             qPrintable(lost.all()));
    QVERIFY2(!lost.err.contains(sourceDir), qPrintable(lost.all()));
}

void TestPackage::desktopProgramShowsItsMainWindow()
{
    if (!VirtualDisplay::unavailableReason().isEmpty())
        QFAIL(qPrintable(VirtualDisplay::unavailableReason()));
    QVERIFY2(QFile::exists(m_home + QStringLiteral("/data/Locavia/locavia.db")),
             "the demo database is missing");
    VirtualDisplay display;
    QString error;
    QVERIFY2(display.start(&error), qPrintable(error));

    QProcess locavia;
    QProcessEnvironment withDisplay = environment(display.environment());
    withDisplay.insert(QStringLiteral("LOCAVIA_READY_PROBE"), QStringLiteral("print"));
    locavia.setProcessEnvironment(withDisplay);
    startHidden(locavia, QStringLiteral("locavia"), {});
    ProcessStopper stop{locavia};
    QVERIFY(locavia.waitForStarted(5000));

    const QString title = QStringLiteral("Locavia - (locavia.db)");
    QByteArray output;
    bool shown = false;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 60000 && locavia.state() == QProcess::Running) {
        locavia.waitForReadyRead(100);
        output += locavia.readAllStandardOutput();
        if (output.contains("locavia-ready") && display.showsWindowTitled(title)) {
            shown = true;
            break;
        }
    }
    QVERIFY2(shown, qPrintable(QString::fromUtf8(output + locavia.readAllStandardError())));
    const QImage screen =
        display.screenshot(QStringLiteral(QT_TESTCASE_BUILDDIR "/locavia-package-window.png"));
    QVERIFY2(VirtualDisplay::showsSomething(screen), "the screen is blank or nearly uniform");

    // Its log, in the XDG state folder.
    QFile log(m_home + QStringLiteral("/state/Locavia/locavia.log"));
    QVERIFY2(log.open(QIODevice::ReadOnly), qPrintable(log.fileName()));
    QVERIFY(
        QString::fromUtf8(log.readAll()).contains(QStringLiteral(">>>>> Locavia %1 démarre").arg(version)));
}

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_Package.moc"
