// Start-up time of Locavia: from the start of the process to its main window drawn with the room tab ready,
// on a demo database, against a bare Qt program that opens one empty window, measured in the same run.
// Runs on a display of its own (Xvfb) when Xvfb is installed, else offscreen.
//
//   bench_startup [--runs N]

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <optional>

namespace
{

QTextStream out(stdout);
QTextStream err(stderr);

// Milliseconds from the start of the program to its "locavia-ready" line; nothing when it does not say it.
std::optional<double> timeToReady(const QString &program, const QProcessEnvironment &environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer clock;
    clock.start();
    process.start(program, {});
    QByteArray output;
    std::optional<double> elapsed;
    while (process.state() != QProcess::NotRunning || process.bytesAvailable() > 0) {
        if (!process.waitForReadyRead(30000) && process.state() != QProcess::NotRunning)
            break;
        output += process.readAllStandardOutput();
        if (output.contains("locavia-ready")) {
            elapsed = double(clock.nsecsElapsed()) / 1e6;
            break;
        }
        if (process.state() == QProcess::NotRunning && process.bytesAvailable() == 0)
            break;
    }
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(3000);
    }
    if (!elapsed)
        err << program << " did not report: " << process.readAllStandardError() << Qt::endl;
    return elapsed;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2.0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    int runs = 9;
    const QStringList arguments = QCoreApplication::arguments();
    const qsizetype runsAt = arguments.indexOf(QStringLiteral("--runs"));
    if (runsAt > 0 && runsAt + 1 < arguments.size())
        runs = std::max(1, arguments.at(runsAt + 1).toInt());

    QTemporaryDir home;
    const QDir dir(home.path());
    if (!home.isValid() || !dir.mkpath(QStringLiteral("data/Locavia")) ||
        !dir.mkpath(QStringLiteral("config"))) {
        err << "cannot create a temporary folder" << Qt::endl;
        return 1;
    }
    QProcess admin;
    admin.start(QStringLiteral(LOCAVIA_ADMIN_PATH),
                {QStringLiteral("sqlite"), QStringLiteral("--dir"),
                 dir.filePath(QStringLiteral("data/Locavia")), QStringLiteral("--demo")});
    if (!admin.waitForFinished(120000) || admin.exitCode() != 0) {
        err << "locavia-admin failed: " << admin.readAllStandardError() << Qt::endl;
        return 1;
    }

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("LOCAVIA_READY_PROBE"), QStringLiteral("quit"));

    QProcess server;
    QString platform = QStringLiteral("offscreen");
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (!xvfb.isEmpty()) {
        server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                            QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                            QStringLiteral("tcp")});
        QByteArray number;
        QElapsedTimer clock;
        clock.start();
        while (server.waitForStarted(5000) && !number.contains('\n') && clock.elapsed() < 15000 &&
               server.state() == QProcess::Running) {
            server.waitForReadyRead(200);
            number += server.readAllStandardOutput();
        }
        if (number.contains('\n')) {
            platform = QStringLiteral("xcb");
            environment.insert(QStringLiteral("DISPLAY"),
                               QStringLiteral(":") + QString::fromLatin1(number.trimmed()));
        }
    }
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);

    // One run of each first, not counted (files into the cache), then the two in turn.
    timeToReady(QStringLiteral(BARE_WINDOW_PATH), environment);
    timeToReady(QStringLiteral(LOCAVIA_APP_PATH), environment);
    QList<double> bare;
    QList<double> locavia;
    for (int i = 0; i < runs; ++i) {
        const std::optional<double> b = timeToReady(QStringLiteral(BARE_WINDOW_PATH), environment);
        const std::optional<double> l = timeToReady(QStringLiteral(LOCAVIA_APP_PATH), environment);
        if (!b || !l)
            return 1;
        bare << *b;
        locavia << *l;
    }
    if (server.state() != QProcess::NotRunning) {
        server.terminate();
        server.waitForFinished(3000);
    }

    const double bareMedian = median(bare);
    const double locaviaMedian = median(locavia);
    out << "startup_platform: " << platform << '\n';
    out << "startup_runs: " << runs << '\n';
    out << "startup_bare_window_median_ms: " << QString::number(bareMedian, 'f', 1) << '\n';
    out << "startup_locavia_median_ms: " << QString::number(locaviaMedian, 'f', 1) << '\n';
    out << "startup_ratio: " << QString::number(locaviaMedian / bareMedian, 'f', 2) << '\n';
    out << "startup_ratio_target: 3.00" << Qt::endl;
    return 0;
}
