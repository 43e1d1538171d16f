// Every file the program writes, on a real disk that fills up: the writer says so in French, the file that
// was there stays byte for byte, nothing half-written is left, and the system's text goes to the log.

#include "AlertPanel.h"
#include "ApplicationLog.h"
#include "Clock.h"
#include "FileOpener.h"
#include "KORApplicationOC.h"
#include "RoomSheetPrinter.h"
#include "SavePanel.h"
#include "StatisticsChartPanel.h"
#include "StatisticsCharts.h"
#include "StatisticsFiles.h"
#include "StatisticsReport.h"
#include "StatisticsTable.h"
#include "TableExport.h"
#include "TestDatabase.h"

#include <QDir>
#include <QProcess>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <unistd.h>

using namespace statistics;

class Application : public framework::KORApplicationOC
{
public:
    using KORApplicationOC::KORApplicationOC;
    void stopModal() override {}
};

class TestFilesOnFullDisk : public QObject
{
    Q_OBJECT

    QTemporaryDir outside;
    QString disk;
    bool mounted = false;
    std::unique_ptr<TestDatabase> db;
    StatisticsTable table;
    StatisticsChartPanel graphe;

    // What one writer answers: "" when the file is written, else what the user is told.
    QString write(const QString &writer)
    {
        db->takeAlerts();
        const QVariantList lignes(300, QVariantMap{{"salPorte", "A12"}, {"salEtage", "1"}});
        if (writer == "text export") {
            platform::SavePanel::setNextAnswer(disk + "/liste.txt");
            static_cast<Application *>(qApp)->exporterElements(QString(70000, u'é'));
        } else if (writer == "report PDF" || writer == "PostScript") {
            auto *app = static_cast<Application *>(qApp);
            writer == "PostScript" ? app->printEPS("ListeSalles", lignes, {})
                                   : app->printPDF("ListeSalles", lignes, {});
        } else if (writer == "room sheet") {
            rooms::RoomSheetPrinter(db->roomManagerBus())
                .imprimer(db->roomManagerBus().fetchArray("SallesVix", "salPorte like %@", {"P*"}, {}));
        } else if (writer == "XLSX" || writer == "CSV") {
            const auto format =
                writer == "XLSX" ? spreadsheet::TableFormat::Xlsx : spreadsheet::TableFormat::Csv;
            return StatisticsFiles::ecrireTableau(format, table, "Tout",
                                                  disk + "/tableau." + writer.toLower())
                .error;
        } else if (writer.startsWith("chart ")) {
            return StatisticsFiles::ecrireGraphique(graphe, "Surfaces", disk + "/graphe." + writer.mid(6));
        } else {
            return StatisticsReport::ecrire({{&table, &graphe}}, "Tout", disk + "/statistiques.pdf");
        }
        const QList<TestDatabase::Alert> alerts = db->takeAlerts();
        return alerts.isEmpty() ? QString() : alerts.first().message;
    }

    QHash<QString, QByteArray> files() const
    {
        QHash<QString, QByteArray> contents;
        for (const QFileInfo &file : QDir(disk).entryInfoList(QDir::Files | QDir::Hidden)) {
            QFile f(file.filePath());
            if (file.fileName() != "remplissage" && f.open(QIODevice::ReadOnly))
                contents.insert(file.fileName(), f.readAll());
        }
        return contents;
    }

private slots:
    void initTestCase()
    {
        platform::Clock::setSource([] { return QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)); });
        platform::FileOpener::setOpener([](const QString &) { return true; });
        platform::ApplicationLog::install(outside.filePath("locavia.log"));
        db = std::make_unique<TestDatabase>();
        QVERIFY2(db->isValid(), qPrintable(db->error()));
        // The prints go to the temporary folder: the small disk.
        disk = outside.filePath("disque");
        QVERIFY(QDir().mkpath(disk));
        qputenv("TMPDIR", QFile::encodeName(disk));
        db->addBuilding("SCI", "SCIENCES");
        for (int porte = 0; porte < 20; ++porte)
            QVERIFY(db->addRoom("SCI", "1", QStringLiteral("P%1").arg(porte)) > 0);
        QList<StatisticsTable::Ligne> lignes;
        RoomStatistics figures;
        for (int i = 0; i < 400; ++i) {
            const QString nom = QStringLiteral("Pavillon %1").arg(i);
            lignes.append(
                {{{nom, nom}, {QStringLiteral("%1,50").arg(i), QStringLiteral("%1.50").arg(i)}}, {}, false});
            if (i < 30)
                figures.parBatiment.append({nom, nom, 3, 40, 100000 * i, 0, 0});
        }
        graphe.montrer(StatisticsCharts::parBatiment(figures));
        table.remplir("Par bâtiment",
                      {{"Bâtiment", spreadsheet::ColumnKind::Text, 0},
                       {"Surface", spreadsheet::ColumnKind::Decimal, 2}},
                      lignes, {});
    }
    // A small file system of its own, which the superuser alone may mount; CI runs as such.
    void init()
    {
        QFile::remove(platform::ApplicationLog::path());
        mounted = QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=4m", "tmpfs", disk}) == 0;
        if (!mounted) {
            if (qEnvironmentVariableIsSet("CI"))
                QFAIL("a small file system cannot be mounted");
            QSKIP("a small file system can be mounted by the superuser only");
        }
    }
    void cleanup()
    {
        if (mounted)
            QProcess::execute("umount", {disk});
    }

    void aFullDiskKeepsTheOlderFile_data()
    {
        QTest::addColumn<QString>("writer");
        for (const char *writer : {"text export", "report PDF", "PostScript", "room sheet", "XLSX", "CSV",
                                   "chart png", "chart pdf", "statistics report"})
            QTest::newRow(writer) << writer;
    }
    void aFullDiskKeepsTheOlderFile()
    {
        QFETCH(QString, writer);
        // With room enough, the file is there, and it alone.
        QCOMPARE(write(writer), QString());
        const QHash<QString, QByteArray> before = files();
        QCOMPARE(before.size(), 1);
        QVERIFY(before.begin().value().size() > 4096);

        // Filled up to its last page, which the new file outgrows.
        const int filler = ::open(QFile::encodeName(disk + "/remplissage"), O_WRONLY | O_CREAT, 0600);
        const QByteArray block(65536, 'x');
        off_t size = 0;
        for (ssize_t written; (written = ::write(filler, block.constData(), block.size())) > 0;)
            size += written;
        QCOMPARE(::ftruncate(filler, size - 4096), 0);
        ::close(filler);

        const QString alert = write(writer);
        QVERIFY2(alert.contains("disque est plein : libérez de la place"), qPrintable(alert));
        QCOMPARE(files(), before);
        // Nor a file deleted but still open, whose room would come back only when the program ends.
        QCOMPARE(QStorageInfo(disk).bytesAvailable(), 4096);
        QFile log(platform::ApplicationLog::path());
        QVERIFY(log.open(QIODevice::ReadOnly) && log.readAll().contains("No space left on device"));
        QVERIFY(!alert.contains("No space left"));
    }
};

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    char *applicationArgv[] = {argv[0], nullptr};
    int applicationArgc = 1;
    Application app(applicationArgc, applicationArgv);
    TestFilesOnFullDisk test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_FilesOnFullDisk.moc"
