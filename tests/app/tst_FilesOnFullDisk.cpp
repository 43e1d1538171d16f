// Every file the program writes, on a real disk that fills up: told in French, the older file kept as it was.

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
#include "TestDatabase.h"

#include <QProcess>
#include <QStorageInfo>
#include <QTest>
#include <fcntl.h>

using namespace statistics;
using spreadsheet::ColumnKind;

class TestFilesOnFullDisk : public QObject
{
    Q_OBJECT

    QTemporaryDir outside;
    QString disk = outside.filePath("disque");
    TestDatabase db;
    StatisticsTable table;
    StatisticsChartPanel graphe;

    // What one writer answers: "" when the file is written, else what the user is told.
    QString write(const QString &writer)
    {
        auto *app = static_cast<framework::KORApplicationOC *>(qApp);
        const QVariantList lignes(300, QVariantMap{{"salPorte", "A12"}, {"salEtage", "1"}});
        if (writer == "liste.txt") {
            platform::SavePanel::setNextAnswer(disk + "/liste.txt");
            app->exporterElements(QString(70000, u'é'));
        } else if (writer.startsWith("ListeSalles")) {
            writer.endsWith("eps") ? app->printEPS("ListeSalles", lignes, {})
                                   : app->printPDF("ListeSalles", lignes, {});
        } else if (writer == "fiche de salle") {
            rooms::RoomSheetPrinter(db.dataBus())
                .imprimer(db.dataBus().fetchArray("SallesVix", "salPorte like %@", {"P*"}, {}));
        } else if (writer.startsWith("tableau")) {
            const auto format =
                writer.endsWith("xlsx") ? spreadsheet::TableFormat::Xlsx : spreadsheet::TableFormat::Csv;
            return StatisticsFiles::ecrireTableau(format, table, "Tout", disk + "/" + writer).error;
        } else {
            return writer.startsWith("graphe")
                       ? StatisticsFiles::ecrireGraphique(graphe, "Surfaces", disk + "/" + writer)
                       : StatisticsReport::ecrire({{&table, &graphe}}, "Tout", disk + "/" + writer);
        }
        const QList<TestDatabase::Alert> alerts = db.takeAlerts();
        return alerts.isEmpty() ? QString() : alerts.first().message;
    }

private slots:
    void initTestCase()
    {
        platform::Clock::setSource([] { return QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)); });
        platform::FileOpener::setOpener([](const QString &) { return true; });
        platform::ApplicationLog::install(outside.filePath("locavia.log"));
        QVERIFY2(db.isValid(), qPrintable(db.error()));
        // The prints go to the temporary folder: the small disk.
        QVERIFY(QDir().mkpath(disk));
        qputenv("TMPDIR", QFile::encodeName(disk));
        QVERIFY(!db.addBuilding("SCI", "SCIENCES").isEmpty() && db.addRoom("SCI", "1", "P1") > 0);
        QList<StatisticsTable::Ligne> lignes;
        RoomStatistics figures;
        for (int i = 0; i < 400; ++i) {
            const QString nom = QStringLiteral("Pavillon %1").arg(i);
            lignes.append(
                {{{nom, nom}, {QStringLiteral("%1,50").arg(i), QStringLiteral("%1.50").arg(i)}}, {}, false});
            figures.parBatiment.append({nom, nom, 3, 40, 100000 * i, 0, 0});
        }
        graphe.montrer(StatisticsCharts::parBatiment(figures));
        table.remplir("Bâtiments", {{"Nom", ColumnKind::Text, 0}, {"m²", ColumnKind::Decimal, 2}}, lignes,
                      {});
    }
    // A small file system of its own, which the superuser alone may mount; CI runs as such.
    void init()
    {
        QFile::remove(platform::ApplicationLog::path());
        const bool mounted = QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=4m", "tmpfs", disk}) == 0;
        if (!mounted && qEnvironmentVariableIsSet("CI"))
            QFAIL("a small file system cannot be mounted");
        if (!mounted)
            QSKIP("a small file system can be mounted by the superuser only");
    }
    void cleanup() { QProcess::execute("umount", {disk}); }

    void aFullDiskKeepsTheOlderFile_data()
    {
        QTest::addColumn<QString>("writer");
        for (const char *writer :
             {"liste.txt", "ListeSalles.pdf", "ListeSalles.eps", "fiche de salle", "tableau.xlsx",
              "tableau.csv", "graphe.png", "graphe.pdf", "statistiques.pdf"})
            QTest::newRow(writer) << writer;
    }
    void aFullDiskKeepsTheOlderFile()
    {
        QFETCH(QString, writer);
        // With room enough, the file is there, and it alone.
        QCOMPARE(write(writer), QString());
        const QStringList names = QDir(disk).entryList(QDir::Files | QDir::Hidden);
        QFile older(disk + "/" + names.value(0));
        QVERIFY(names.size() == 1 && older.open(QIODevice::ReadOnly));
        const QByteArray bytes = older.readAll();
        older.close();
        QVERIFY(bytes.size() > 4096);

        // Filled up to its last page, which the new file outgrows.
        QFile filler(disk + "/remplissage");
        QVERIFY(filler.open(QIODevice::WriteOnly) &&
                ::posix_fallocate(filler.handle(), 0, QStorageInfo(disk).bytesAvailable() - 4096) == 0);

        const QString alert = write(writer);
        QVERIFY2(alert.contains("disque est plein : libérez de la place") && !alert.contains("No space"),
                 qPrintable(alert));
        QCOMPARE(QDir(disk).entryList(QDir::Files | QDir::Hidden).size(), 2);
        QVERIFY(older.open(QIODevice::ReadOnly) && older.readAll() == bytes);
        // Nor a file deleted but still open, whose room would come back only when the program ends.
        QCOMPARE(QStorageInfo(disk).bytesAvailable(), 4096);
        QFile log(platform::ApplicationLog::path());
        QVERIFY(log.open(QIODevice::ReadOnly) && log.readAll().contains("No space left on device"));
    }
};

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int applicationArgc = 1;
    framework::KORApplicationOC app(applicationArgc, argv);
    TestFilesOnFullDisk test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_FilesOnFullDisk.moc"
