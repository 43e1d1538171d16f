// The real program on a virtual display: started on a fresh demo database by the user who created it, it
// passes the rights test and shows its main window, whose screenshot is kept beside this test's build.

#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace
{

const QString mainWindowTitle = QStringLiteral("Locavia - (locavia.db)");

// Ends a process that may still run when the test stops, whatever the reason.
struct Stopper {
    QProcess &process;
    ~Stopper()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        if (!process.waitForFinished(3000)) {
            process.kill();
            process.waitForFinished(3000);
        }
    }
};

// Whether a screenshot shows something: enough distinct colours in the middle of the screen.
int distinctColours(const QImage &image, const QRect &area)
{
    QSet<QRgb> colours;
    for (int y = area.top(); y <= area.bottom(); y += 3) {
        for (int x = area.left(); x <= area.right(); x += 3)
            colours.insert(image.pixel(x, y));
    }
    return int(colours.size());
}

} // namespace

class TestLocaviaUnderXvfb : public QObject
{
    Q_OBJECT

private slots:
    void showsTheMainWindow();
};

void TestLocaviaUnderXvfb::showsTheMainWindow()
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty())
        QSKIP("Xvfb is not installed (scripts/install-deps installs it)");
    const QString xwininfo = QStandardPaths::findExecutable(QStringLiteral("xwininfo"));
    const QString import = QStandardPaths::findExecutable(QStringLiteral("import"));
    QVERIFY2(!xwininfo.isEmpty() && !import.isEmpty(),
             "xwininfo (x11-utils) and import (imagemagick) are needed beside Xvfb");

    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QDir dir(home.path());
    QVERIFY(dir.mkpath(QStringLiteral("data/Locavia")) && dir.mkpath(QStringLiteral("config")) &&
            dir.mkpath(QStringLiteral("runtime")));
    QFile::setPermissions(dir.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // The demo database, whose account is the user running this test.
    QProcess admin;
    admin.start(QStringLiteral(LOCAVIA_ADMIN_PATH),
                {QStringLiteral("sqlite"), QStringLiteral("--dir"),
                 dir.filePath(QStringLiteral("data/Locavia")), QStringLiteral("--demo")});
    QVERIFY(admin.waitForFinished(60000));
    QVERIFY2(admin.exitStatus() == QProcess::NormalExit && admin.exitCode() == 0,
             admin.readAllStandardError().constData());

    // A display of its own: Xvfb picks a free number and writes it on the descriptor given.
    QProcess server;
    server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                        QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp")});
    Stopper stopServer{server};
    QVERIFY(server.waitForStarted(5000));
    QByteArray number;
    QElapsedTimer clock;
    clock.start();
    while (!number.contains('\n') && clock.elapsed() < 15000 && server.state() == QProcess::Running) {
        server.waitForReadyRead(200);
        number += server.readAllStandardOutput();
    }
    QVERIFY2(number.contains('\n'), server.readAllStandardError().constData());
    const QString display = QStringLiteral(":") + QString::fromLatin1(number.trimmed());

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.filePath(QStringLiteral("runtime")));
    environment.insert(QStringLiteral("LOCAVIA_READY_PROBE"), QStringLiteral("print"));
    QProcess locavia;
    locavia.setProcessEnvironment(environment);
    locavia.start(QStringLiteral(LOCAVIA_APP_PATH), {});
    Stopper stopLocavia{locavia};
    QVERIFY(locavia.waitForStarted(5000));

    // The room tab is ready once the program says so, and the window carries the application's title.
    QByteArray output;
    bool windowFound = false;
    clock.restart();
    while (clock.elapsed() < 60000 && locavia.state() == QProcess::Running) {
        locavia.waitForReadyRead(100);
        output += locavia.readAllStandardOutput();
        if (!output.contains("locavia-ready"))
            continue;
        QProcess info;
        info.start(xwininfo,
                   {QStringLiteral("-display"), display, QStringLiteral("-root"), QStringLiteral("-tree")});
        info.waitForFinished(5000);
        if (QString::fromUtf8(info.readAllStandardOutput()).contains(u'"' + mainWindowTitle + u'"')) {
            windowFound = true;
            break;
        }
    }
    QVERIFY2(locavia.state() == QProcess::Running,
             qPrintable(QStringLiteral("Locavia ended (status %1): %2")
                            .arg(locavia.exitCode())
                            .arg(QString::fromUtf8(locavia.readAllStandardError()))));
    QVERIFY2(windowFound, output.constData());

    // What the screen shows, kept for whoever wants to look at it.
    const QString shot = QStringLiteral(QT_TESTCASE_BUILDDIR "/locavia-main-window.png");
    QFile::remove(shot);
    QImage image;
    clock.restart();
    do {
        QTest::qWait(300);
        QProcess grab;
        grab.start(import, {QStringLiteral("-display"), display, QStringLiteral("-window"),
                            QStringLiteral("root"), shot});
        QVERIFY(grab.waitForFinished(15000));
        image.load(shot);
    } while ((image.isNull() || distinctColours(image, image.rect().adjusted(200, 200, -200, -200)) < 16) &&
             clock.elapsed() < 10000);
    QVERIFY2(!image.isNull(), qPrintable(shot));
    qInfo().noquote() << "screenshot:" << shot;
    QCOMPARE(image.size(), QSize(1280, 1024));
    QVERIFY2(distinctColours(image, image.rect().adjusted(200, 200, -200, -200)) >= 16,
             "the screen is blank or nearly uniform");
}

QTEST_GUILESS_MAIN(TestLocaviaUnderXvfb)
#include "tst_LocaviaUnderXvfb.moc"
