// The real program on a virtual display: started on a fresh demo database by the user who created it, it
// passes the rights test and shows its main window, whose screenshot is kept beside this test's build.

#include "VirtualDisplay.h"

#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace
{

const QString mainWindowTitle = QStringLiteral("Locavia - (locavia.db)");

} // namespace

class TestLocaviaUnderXvfb : public QObject
{
    Q_OBJECT

private slots:
    void showsTheMainWindow();
};

void TestLocaviaUnderXvfb::showsTheMainWindow()
{
    if (!VirtualDisplay::unavailableReason().isEmpty())
        QSKIP(qPrintable(VirtualDisplay::unavailableReason()));

    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QDir dir(home.path());
    QVERIFY(dir.mkpath(QStringLiteral("data/Locavia")) && dir.mkpath(QStringLiteral("config")) &&
            dir.mkpath(QStringLiteral("runtime")) && dir.mkpath(QStringLiteral("state")));
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

    VirtualDisplay display;
    QString error;
    QVERIFY2(display.start(&error), qPrintable(error));

    QProcessEnvironment environment = display.environment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.filePath(QStringLiteral("runtime")));
    environment.insert(QStringLiteral("XDG_STATE_HOME"), dir.filePath(QStringLiteral("state")));
    environment.insert(QStringLiteral("LOCAVIA_READY_PROBE"), QStringLiteral("print"));
    QProcess locavia;
    locavia.setProcessEnvironment(environment);
    locavia.start(QStringLiteral(LOCAVIA_APP_PATH), {});
    ProcessStopper stopLocavia{locavia};
    QVERIFY(locavia.waitForStarted(5000));

    // The room tab is ready once the program says so, and the window carries the application's title.
    QByteArray output;
    bool windowFound = false;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 60000 && locavia.state() == QProcess::Running) {
        locavia.waitForReadyRead(100);
        output += locavia.readAllStandardOutput();
        if (output.contains("locavia-ready") && display.showsWindowTitled(mainWindowTitle)) {
            windowFound = true;
            break;
        }
    }
    QVERIFY2(locavia.state() == QProcess::Running,
             qPrintable(QStringLiteral("Locavia ended (status %1): %2")
                            .arg(locavia.exitCode())
                            .arg(QString::fromUtf8(locavia.readAllStandardError()))));
    QVERIFY2(windowFound, output.constData());

    // What the program logs also goes to its log file, under the XDG state folder.
    QFile log(dir.filePath(QStringLiteral("state/Locavia/locavia.log")));
    QVERIFY2(log.open(QIODevice::ReadOnly), qPrintable(log.fileName()));
    const QString logged = QString::fromUtf8(log.readAll());
    QVERIFY2(logged.contains(QStringLiteral("info : >>>>> Locavia ")) &&
                 logged.contains(QStringLiteral(" démarre (Qt ")),
             qPrintable(logged));

    // What the screen shows, kept for whoever wants to look at it.
    const QString shot = QStringLiteral(QT_TESTCASE_BUILDDIR "/locavia-main-window.png");
    const QImage image = display.screenshot(shot);
    QVERIFY2(!image.isNull(), qPrintable(shot));
    qInfo().noquote() << "screenshot:" << shot;
    QCOMPARE(image.size(), QSize(1280, 1024));
    QVERIFY2(VirtualDisplay::showsSomething(image), "the screen is blank or nearly uniform");
}

QTEST_GUILESS_MAIN(TestLocaviaUnderXvfb)
#include "tst_LocaviaUnderXvfb.moc"
