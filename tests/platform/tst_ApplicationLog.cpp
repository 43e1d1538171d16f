// The log file: where it lives, how it rotates at its size and keeps a bounded number of files, and the
// messages of the program that reach it while whatever handled them before still does.

#include "ApplicationLog.h"
#include "LogFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using platform::ApplicationLog;
using platform::LogFile;

namespace
{

QStringList linesOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// A line of exactly width bytes (end of line excluded) that says which one it is.
QString numbered(int number, int width)
{
    const QString label = QStringLiteral("ligne %1 ").arg(number, 4, 10, QLatin1Char('0'));
    return label + QString(width - label.size(), QLatin1Char('.'));
}

QStringList range(int first, int last, int width)
{
    QStringList lines;
    for (int i = first; i <= last; ++i)
        lines << numbered(i, width);
    return lines;
}

QStringList received;
void recordMessage(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    received << QStringLiteral("%1:%2").arg(int(type)).arg(message);
}

} // namespace

class TestApplicationLog : public QObject
{
    Q_OBJECT

private slots:
    void defaultPath_data();
    void defaultPath();
    void rotates_data();
    void rotates();
    void rotatesAtOneMegabyteKeepingThree();
    void messagesReachTheFileAndThePreviousHandler();
    void folderThatCannotBeMadeChangesNothing();
};

void TestApplicationLog::defaultPath_data()
{
    QTest::addColumn<QByteArray>("stateHome");
    QTest::addColumn<QString>("expected");
    const QString home = QDir::homePath();
    QTest::newRow("XDG_STATE_HOME") << QByteArray("/var/tmp/etat") << "/var/tmp/etat/Locavia/locavia.log";
    QTest::newRow("unset") << QByteArray() << home + "/.local/state/Locavia/locavia.log";
    // The XDG rules ignore a relative folder.
    QTest::newRow("relative") << QByteArray("etat") << home + "/.local/state/Locavia/locavia.log";
}

void TestApplicationLog::defaultPath()
{
    QFETCH(QByteArray, stateHome);
    QFETCH(QString, expected);
    const QByteArray saved = qgetenv("XDG_STATE_HOME");
    if (stateHome.isEmpty())
        qunsetenv("XDG_STATE_HOME");
    else
        qputenv("XDG_STATE_HOME", stateHome);
    const QString path = LogFile::defaultPath();
    qputenv("XDG_STATE_HOME", saved);
    QCOMPARE(path, expected);
}

void TestApplicationLog::rotates_data()
{
    QTest::addColumn<int>("maximumSize");
    QTest::addColumn<int>("fileCount");
    QTest::addColumn<int>("width"); // bytes per line, end of line excluded
    QTest::addColumn<int>("lines");
    QTest::addColumn<QList<QStringList>>("expected"); // the newest file first

    // Ten lines of 100 bytes fill a file of 1000.
    QTest::newRow("three files") << 1000 << 3 << 99 << 25
                                 << QList<QStringList>{range(21, 25, 99), range(11, 20, 99),
                                                       range(1, 10, 99)};
    QTest::newRow("exactly full") << 1000 << 3 << 99 << 10 << QList<QStringList>{range(1, 10, 99)};
    QTest::newRow("oldest dropped") << 1000 << 3 << 99 << 45
                                    << QList<QStringList>{range(41, 45, 99), range(31, 40, 99),
                                                          range(21, 30, 99)};
    QTest::newRow("one file") << 1000 << 1 << 99 << 25 << QList<QStringList>{range(21, 25, 99)};
    // A line longer than the size still gets written, alone in its file.
    QTest::newRow("lines longer than the size")
        << 100 << 3 << 249 << 4 << QList<QStringList>{range(4, 4, 249), range(3, 3, 249), range(2, 2, 249)};
}

void TestApplicationLog::rotates()
{
    QFETCH(int, maximumSize);
    QFETCH(int, fileCount);
    QFETCH(int, width);
    QFETCH(int, lines);
    QFETCH(QList<QStringList>, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    LogFile log(dir.filePath(QStringLiteral("etat/Locavia/locavia.log")), maximumSize, fileCount);
    for (int i = 1; i <= lines; ++i)
        QVERIFY(log.append(numbered(i, width)));

    for (int generation = 0; generation < expected.size(); ++generation)
        QCOMPARE(linesOf(log.generation(generation)), expected.at(generation));
    QVERIFY2(!QFile::exists(log.generation(int(expected.size()))), "a file beyond the number kept");
    if (width < maximumSize) {
        for (int generation = 0; generation < expected.size(); ++generation)
            QVERIFY(QFileInfo(log.generation(generation)).size() <= maximumSize);
    }
}

void TestApplicationLog::rotatesAtOneMegabyteKeepingThree()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Locavia/locavia.log"));
    received.clear();
    const QtMessageHandler before = qInstallMessageHandler(recordMessage);
    QVERIFY(ApplicationLog::install(path, QStringLiteral("locavia")));
    // About 3.5 MB of warnings: more than the three files hold.
    const QString block(10000, QLatin1Char('x'));
    for (int i = 0; i < 350; ++i)
        qWarning().noquote() << QStringLiteral(">>>>> message %1 ").arg(i, 3, 10, QLatin1Char('0')) + block;
    ApplicationLog::uninstall();
    qInstallMessageHandler(before);

    QCOMPARE(received.size(), 350);
    const LogFile log(path);
    for (int generation = 0; generation < 3; ++generation) {
        const qint64 size = QFileInfo(log.generation(generation)).size();
        QVERIFY2(size > 0 && size <= LogFile::DefaultMaximumSize, qPrintable(log.generation(generation)));
    }
    QVERIFY(QFileInfo(log.generation(1)).size() > LogFile::DefaultMaximumSize - 11000);
    QVERIFY(!QFile::exists(log.generation(3)));
    const QStringList newest = linesOf(log.generation(0));
    QVERIFY(!newest.isEmpty());
    QVERIFY2(newest.last().contains(QLatin1String(">>>>> message 349 ")),
             qPrintable(newest.last().left(120)));
    // The oldest messages went with the file that was dropped.
    const QString oldestKept = linesOf(log.generation(2)).first();
    QVERIFY(oldestKept.contains(QLatin1String(">>>>> message ")));
    QVERIFY(!oldestKept.contains(QLatin1String(">>>>> message 000 ")));
}

void TestApplicationLog::messagesReachTheFileAndThePreviousHandler()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Locavia/locavia.log"));
    received.clear();
    const QtMessageHandler before = qInstallMessageHandler(recordMessage);
    QVERIFY(ApplicationLog::install(path, QStringLiteral("locavia")));
    QCOMPARE(ApplicationLog::path(), path);

    qWarning().noquote() << ">>>>> Démarrage interrompu : base introuvable";
    qCritical().noquote() << "[ERREUR...] contrainte non respectée";
    qInfo().noquote() << ">>>>> Locavia démarre";
    qDebug().noquote() << "détail pour le développeur";
    ApplicationLog::uninstall();
    qWarning().noquote() << "après la fin du journal";
    qInstallMessageHandler(before);

    QCOMPARE(ApplicationLog::path(), QString());
    // The previous handler saw everything, the debug line and the line after the end included.
    QCOMPARE(received.size(), 5);
    QVERIFY2(received.at(3).endsWith(QStringLiteral("détail pour le développeur")),
             qPrintable(received.join(" / ")));
    QVERIFY(received.at(4).endsWith(QStringLiteral("après la fin du journal")));

    const QStringList lines = linesOf(path);
    QCOMPARE(lines.size(), 3);
    const QString process = QStringLiteral(" locavia[%1] ").arg(QCoreApplication::applicationPid());
    const QStringList expectedEnds{
        QStringLiteral("avertissement : >>>>> Démarrage interrompu : base introuvable"),
        QStringLiteral("erreur : [ERREUR...] contrainte non respectée"),
        QStringLiteral("info : >>>>> Locavia démarre")};
    for (int i = 0; i < 3; ++i) {
        QVERIFY2(lines.at(i).contains(process + expectedEnds.at(i)), qPrintable(lines.at(i)));
        // Each line begins with its date and time.
        QVERIFY2(
            QDateTime::fromString(lines.at(i).section(QLatin1Char(' '), 0, 0), Qt::ISODateWithMs).isValid(),
            qPrintable(lines.at(i)));
    }
}

void TestApplicationLog::folderThatCannotBeMadeChangesNothing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A file stands where the folder should be made.
    QFile blocker(dir.filePath(QStringLiteral("Locavia")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(!ApplicationLog::install(dir.filePath(QStringLiteral("Locavia/locavia.log"))));
    QCOMPARE(ApplicationLog::path(), QString());
    LogFile log(dir.filePath(QStringLiteral("Locavia/locavia.log")));
    QVERIFY(!log.append(QStringLiteral("perdue")));
}

QTEST_GUILESS_MAIN(TestApplicationLog)
#include "tst_ApplicationLog.moc"
