// The statistics window's figures of the whole inventory, every view read, its tables and charts drawn up
// (the window's "Actualiser"), against the bare GROUP BY statements of the same views stepped through the
// sqlite3 C API on the same connection in the same run; the same for the rooms of a search listing them
// all (read in parts of room numbers); and the heap the figures add, which does not grow with the rooms.
// Prints "name: value" lines.

#include "BenchSupport.h"
#include "EOException.h"
#include "EOSQLiteAdaptor.h"
#include "KORDataBusOC.h"
#include "Resources.h"
#include "StatisticsReader.h"
#include "Statistiques.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QWidget>
#include <cstdio>
#include <malloc.h>
#include <sqlite3.h>
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

// The view's statement run bare: prepared, stepped, every column read.
long long runBare(sqlite3 *db, const QString &sql)
{
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &statement, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n", sqlite3_errmsg(db));
        return -1;
    }
    long long checksum = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(statement); ++c)
            checksum += sqlite3_column_type(statement, c) == SQLITE_TEXT ? sqlite3_column_bytes(statement, c)
                                                                         : sqlite3_column_int64(statement, c);
    }
    sqlite3_finalize(statement);
    return checksum;
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
    const int runs = bench::runsAsked(7);
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

        QList<qint64> listed;
        for (const QVariantMap &row : dataBus.executeSQLQuery(
                 QStringLiteral("SELECT SAL_NUMERO FROM SALLES_VIX WHERE SAL_RESERVABLE IS NOT NULL")))
            listed.append(row.value(QStringLiteral("Attribute0")).toLongLong());

        statistics::Statistiques window(dataBus, {[&listed] { return listed; }, {}});
        window.fenetre()->resize(1366, 768);
        window.fenetre()->show();
        auto *adaptor = static_cast<eo::EOSQLiteAdaptor *>(dataBus.dataBusAdaptor());
        using statistics::StatisticsReader;

        std::vector<double> bareTimes, allTimes, searchTimes;
        long long checksum = 0;
        window.actualiser(); // warms the statements and the page cache
        for (int run = 0; run < runs; ++run) {
            QElapsedTimer timer;
            timer.start();
            for (const StatisticsReader::Vue vue : StatisticsReader::vues())
                checksum +=
                    runBare(adaptor->handle(), StatisticsReader::requete(vue, QStringLiteral("1 = 1")));
            bareTimes.push_back(elapsedMs(timer));

            timer.restart();
            window.actualiser();
            allTimes.push_back(elapsedMs(timer));

            timer.restart();
            const statistics::RoomStatistics figures =
                StatisticsReader::lire(dataBus, statistics::RoomScope::parmi(listed));
            searchTimes.push_back(elapsedMs(timer));
            checksum += figures.total().salles;
        }
        // The heap the figures of the whole inventory take once read: a few hundred groups, no room.
        const double before = heapBytes();
        statistics::RoomStatistics figures = StatisticsReader::lire(dataBus, statistics::RoomScope::toutes());
        const double added = heapBytes() - before;

        const double bare = bench::median(bareTimes);
        const double all = bench::median(allTimes);
        std::printf("statistics_rooms: %lld\n", figures.total().salles);
        std::printf("statistics_bare_group_by_median_ms: %.1f\n", bare);
        std::printf("statistics_all_views_median_ms: %.1f\n", all);
        std::printf("statistics_to_bare_ratio: %.2f\n", bare > 0 ? all / bare : 0.0);
        std::printf("statistics_search_scope_rooms: %lld\n", qint64(listed.size()));
        std::printf("statistics_search_scope_median_ms: %.1f\n", bench::median(searchTimes));
        std::printf("statistics_heap_added_kb: %.1f\n", added / 1024.0);
        std::printf("statistics_checksum: %lld\n", checksum);
    } catch (const eo::EOException &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
