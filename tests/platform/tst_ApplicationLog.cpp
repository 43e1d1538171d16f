// The log file: where it lives, how it rotates at its size keeping a bounded number of files, and the
// messages of the program that reach it while whatever handled them before still does.

#include "ApplicationLog.h"
#include "LogFile.h"

#include <QDir>
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
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Lines first to last, each of width bytes (end of line excluded) saying which one it is.
QStringList numbered(int first, int last, int width)
{
    QStringList lines;
    for (int i = first; i <= last; ++i)
        lines << QStringLiteral("ligne %1 ")
                     .arg(i, 4, 10, QLatin1Char('0'))
                     .leftJustified(width, QLatin1Char('.'));
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
    void messagesReachTheFileAndThePreviousHandler();
    void folderThatCannotBeMade();
};

void TestApplicationLog::defaultPath_data()
{
    QTest::addColumn<QByteArray>("stateHome");
    QTest::addColumn<QString>("expected");
    QTest::newRow("XDG_STATE_HOME") << QByteArray("/var/tmp/etat") << "/var/tmp/etat/Locavia/locavia.log";
    // The XDG rules ignore a relative folder.
    QTest::newRow("relative") << QByteArray("etat") << QDir::homePath() + "/.local/state/Locavia/locavia.log";
}

void TestApplicationLog::defaultPath()
{
    QFETCH(QByteArray, stateHome);
    QFETCH(QString, expected);
    const QByteArray saved = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", stateHome);
    const QString path = LogFile::defaultPath();
    qputenv("XDG_STATE_HOME", saved);
    QCOMPARE(path, expected);
}

void TestApplicationLog::rotates_data()
{
    QTest::addColumn<int>("fileCount");
    QTest::addColumn<int>("width"); // bytes per line, end of line excluded, in files of 1000 bytes
    QTest::addColumn<int>("lines");
    QTest::addColumn<QList<QStringList>>("expected"); // the newest file first

    // Ten lines of 100 bytes fill a file.
    QTest::newRow("exactly full") << 3 << 99 << 10 << QList<QStringList>{numbered(1, 10, 99)};
    QTest::newRow("three files") << 3 << 99 << 25
                                 << QList<QStringList>{numbered(21, 25, 99), numbered(11, 20, 99),
                                                       numbered(1, 10, 99)};
    QTest::newRow("oldest dropped") << 3 << 99 << 45
                                    << QList<QStringList>{numbered(41, 45, 99), numbered(31, 40, 99),
                                                          numbered(21, 30, 99)};
    QTest::newRow("one file") << 1 << 99 << 25 << QList<QStringList>{numbered(21, 25, 99)};
    // A line longer than the size still gets written, alone in its file.
    QTest::newRow("lines longer than the size")
        << 3 << 1500 << 4
        << QList<QStringList>{numbered(4, 4, 1500), numbered(3, 3, 1500), numbered(2, 2, 1500)};
}

void TestApplicationLog::rotates()
{
    QFETCH(int, fileCount);
    QFETCH(int, width);
    QFETCH(int, lines);
    QFETCH(QList<QStringList>, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    LogFile log(dir.filePath(QStringLiteral("etat/Locavia/locavia.log")), 1000, fileCount);
    for (const QString &line : numbered(1, lines, width))
        QVERIFY(log.append(line));

    for (int generation = 0; generation < expected.size(); ++generation) {
        QCOMPARE(linesOf(log.generation(generation)), expected.at(generation));
        QVERIFY(width >= 1000 || QFileInfo(log.generation(generation)).size() <= 1000);
    }
    QVERIFY2(!QFile::exists(log.generation(int(expected.size()))), "a file beyond the number kept");
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

    // The previous handler saw everything; the file all but the debug line and what came after its end.
    QCOMPARE(ApplicationLog::path(), QString());
    QCOMPARE(received.size(), 5);
    const QStringList lines = linesOf(path);
    const QString process = QStringLiteral(" locavia[%1] ").arg(QCoreApplication::applicationPid());
    const QStringList ends{QStringLiteral("avertissement : >>>>> Démarrage interrompu : base introuvable"),
                           QStringLiteral("erreur : [ERREUR...] contrainte non respectée"),
                           QStringLiteral("info : >>>>> Locavia démarre")};
    QCOMPARE(lines.size(), ends.size());
    for (int i = 0; i < ends.size(); ++i) {
        QVERIFY2(lines.at(i).endsWith(process + ends.at(i)), qPrintable(lines.at(i)));
        QVERIFY(
            QDateTime::fromString(lines.at(i).section(QLatin1Char(' '), 0, 0), Qt::ISODateWithMs).isValid());
    }
}

void TestApplicationLog::folderThatCannotBeMade()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile blocker(dir.filePath(QStringLiteral("Locavia"))); // a file where the folder should be
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(!ApplicationLog::install(dir.filePath(QStringLiteral("Locavia/locavia.log"))));
    QCOMPARE(ApplicationLog::path(), QString());
    QVERIFY(!LogFile(dir.filePath(QStringLiteral("Locavia/locavia.log"))).append(QStringLiteral("perdue")));
}

QTEST_GUILESS_MAIN(TestApplicationLog)
#include "tst_ApplicationLog.moc"
