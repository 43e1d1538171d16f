// The room result list of the all-rooms search exported to XLSX and to CSV, as "Exporter la liste…" writes
// it (the columns the result window shows), each compared with the bare fetch of the same rows through the
// sqlite3 C API on the same connection in the same run; and the memory an export adds to what the list
// holds: the heap in use (mallinfo2) sampled while the rows are written and after, against the heap the
// fetched list takes. Prints "name: value" lines.

#include "BenchSupport.h"
#include "Creation.h"
#include "EOException.h"
#include "EOSQLiteAdaptor.h"
#include "KORDataBusOC.h"
#include "Resources.h"
#include "RoomDisplayGroups.h"
#include "RoomListActions.h"
#include "RoomListExporter.h"
#include "RoomListOccupations.h"
#include "RoomSearchBuilder.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>
#include <malloc.h>
#include <vector>

namespace
{

double elapsedMs(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

double heapBytes()
{
    return double(mallinfo2().uordblks);
}

struct Export {
    double milliseconds = 0;
    double heapAdded = 0; // the most the heap grew over what it held before the export
    qint64 fileBytes = 0;
    bool written = false;
};

// An export timed, or measured: the heap is sampled where the writer tells its progress (every 500 rows),
// which takes time of its own on a large heap, so that a measured run is not a timed one.
Export exportList(rooms::RoomListExporter &exporter, const QString &path, spreadsheet::TableFormat format,
                  bool allColumns, bool measureHeap)
{
    Export run;
    const double before = measureHeap ? heapBytes() : 0;
    double peak = before;
    QElapsedTimer timer;
    timer.start();
    const spreadsheet::TableWriteResult result =
        exporter.exporter(path, {format, allColumns}, [&peak, measureHeap](qsizetype, qsizetype) {
            if (measureHeap)
                peak = std::max(peak, heapBytes());
            return true;
        });
    run.milliseconds = elapsedMs(timer);
    if (measureHeap) {
        peak = std::max(peak, heapBytes());
        run.heapAdded = peak - before;
    }
    run.written = result.succeeded();
    run.fileBytes = QFileInfo(path).size();
    if (!run.written)
        std::fprintf(stderr, "export impossible : %s\n", qPrintable(result.error));
    return run;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QString directory = qEnvironmentVariable("LOCAVIA_BENCH_DATA");
    if (directory.isEmpty()) {
        std::fprintf(stderr, "LOCAVIA_BENCH_DATA doit désigner le dossier de la base de mesure.\n");
        return 2;
    }
    const int runs = bench::runsAsked(5);
    QTemporaryDir output;
    try {
        eo::EOModel &model = eo::EOModelGroup::defaultGroup().addModelWithFile(
            platform::resourcePath(QStringLiteral("models/Locavia.json")));
        QVariantMap dictionary = model.connectionDictionary();
        dictionary.insert(QStringLiteral("URL"), QStringLiteral("sqlite://") +
                                                     QDir(directory).absolutePath() +
                                                     QStringLiteral("/locavia.db"));
        model.setConnectionDictionary(dictionary);

        eo::EOEditingContext context(eo::EOModelGroup::defaultGroup());
        data::KORDataBusOC dataBus;
        dataBus.initDataBusWithModel(model.name(), &context);
        rooms::Creation creation(dataBus);
        creation.initObjet();
        auto *searchButton =
            creation.afficheBoutons()->findChild<QPushButton *>(QStringLiteral("boutonRecherche"));
        searchButton->click(); // criteria entry, no criterion typed

        // What the list holds: the heap taken by the search that fills it.
        const double beforeSearch = heapBytes();
        searchButton->click();
        QApplication::processEvents();
        const double listHeap = heapBytes() - beforeSearch;
        const qsizetype rooms = creation.tables().tableSalles.displayedObjects().size();
        if (rooms == 0) {
            std::fprintf(stderr, "la recherche n'a trouvé aucune salle\n");
            return 1;
        }
        rooms::RoomListExporter &exporter = creation.actionsListe().exportation();

        auto *adaptor = static_cast<eo::EOSQLiteAdaptor *>(dataBus.dataBusAdaptor());
        const bench::BareQuery search(model, adaptor->dialect(), rooms::RoomSearchBuilder::entite(),
                                      rooms::RoomSearchBuilder::conditionDeBase(),
                                      rooms::RoomSearchBuilder::ordreDesSalles());

        std::vector<double> bareTimes, xlsxTimes, csvTimes;
        qint64 xlsxBytes = 0, csvBytes = 0;
        long long checksum = 0;
        for (int run = 0; run < runs; ++run) {
            QElapsedTimer timer;
            timer.start();
            checksum += search.run(adaptor->handle());
            bareTimes.push_back(elapsedMs(timer));

            const Export xlsx = exportList(exporter, output.filePath(QStringLiteral("salles.xlsx")),
                                           spreadsheet::TableFormat::Xlsx, false, false);
            const Export csv = exportList(exporter, output.filePath(QStringLiteral("salles.csv")),
                                          spreadsheet::TableFormat::Csv, false, false);
            if (!xlsx.written || !csv.written)
                return 1;
            xlsxTimes.push_back(xlsx.milliseconds);
            csvTimes.push_back(csv.milliseconds);
            xlsxBytes = xlsx.fileBytes;
            csvBytes = csv.fileBytes;
        }
        const double xlsxHeap = exportList(exporter, output.filePath(QStringLiteral("salles.xlsx")),
                                           spreadsheet::TableFormat::Xlsx, false, true)
                                    .heapAdded;
        const double csvHeap = exportList(exporter, output.filePath(QStringLiteral("salles.csv")),
                                          spreadsheet::TableFormat::Csv, false, true)
                                   .heapAdded;
        // Every column, with the occupation by department read for the whole list: timed once, measured once.
        const Export xlsxAll = exportList(exporter, output.filePath(QStringLiteral("toutes.xlsx")),
                                          spreadsheet::TableFormat::Xlsx, true, false);
        const Export csvAll = exportList(exporter, output.filePath(QStringLiteral("toutes.csv")),
                                         spreadsheet::TableFormat::Csv, true, false);
        const double allHeap = std::max(exportList(exporter, output.filePath(QStringLiteral("toutes.xlsx")),
                                                   spreadsheet::TableFormat::Xlsx, true, true)
                                            .heapAdded,
                                        exportList(exporter, output.filePath(QStringLiteral("toutes.csv")),
                                                   spreadsheet::TableFormat::Csv, true, true)
                                            .heapAdded);

        // Of which: the occupation by department of the whole list, read and added up.
        QElapsedTimer occupationTimer;
        occupationTimer.start();
        const rooms::RoomListOccupations occupations =
            rooms::RoomListOccupations::lire(dataBus, creation.tables().tableSalles.displayedObjects());
        const double occupationMs = elapsedMs(occupationTimer);

        const double bare = bench::median(bareTimes);
        const double xlsx = bench::median(xlsxTimes);
        const double csv = bench::median(csvTimes);
        const double megabyte = 1024.0 * 1024.0;
        std::printf("rooms_exported: %lld\n", (long long)rooms);
        std::printf("columns_shown: %lld\n", (long long)creation.tables().tableSalles.columns().size());
        std::printf("runs: %d\n", runs);
        std::printf("bare_fetch_sqlite3_median_ms: %.1f\n", bare);
        std::printf("xlsx_export_median_ms: %.1f\n", xlsx);
        std::printf("csv_export_median_ms: %.1f\n", csv);
        std::printf("xlsx_to_bare_ratio: %.2f\n", bare > 0 ? xlsx / bare : 0.0);
        std::printf("csv_to_bare_ratio: %.2f\n", bare > 0 ? csv / bare : 0.0);
        std::printf("xlsx_file_mb: %.1f\n", double(xlsxBytes) / megabyte);
        std::printf("csv_file_mb: %.1f\n", double(csvBytes) / megabyte);
        std::printf("list_heap_mb: %.1f\n", listHeap / megabyte);
        std::printf("xlsx_export_heap_added_mb: %.2f\n", xlsxHeap / megabyte);
        std::printf("csv_export_heap_added_mb: %.2f\n", csvHeap / megabyte);
        std::printf("export_memory_added_ratio: %.3f\n",
                    listHeap > 0 ? std::max(xlsxHeap, csvHeap) / listHeap : 0.0);
        std::printf("xlsx_all_columns_export_ms: %.1f\n", xlsxAll.milliseconds);
        std::printf("csv_all_columns_export_ms: %.1f\n", csvAll.milliseconds);
        std::printf("all_columns_departments: %lld\n", (long long)occupations.colonnes().size());
        std::printf("all_columns_occupation_read_ms: %.1f\n", occupationMs);
        std::printf("all_columns_export_memory_added_ratio: %.3f\n", listHeap > 0 ? allHeap / listHeap : 0.0);
        if (checksum == 42)
            std::fprintf(stderr, " ");
    } catch (const eo::EOException &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
