// Fetches every room into a display group sorted by building, floor and door, and compares it with the bare
// query of the same rows stepped through the sqlite3 C API on the same connection, and with the same query
// sorted by SQLite's own NOCASE instead of the French order, what the French order costs. Prints
// "name: value" lines.

#include "BenchSupport.h"
#include "EODisplayGroup.h"
#include "EOEditingContext.h"
#include "EOException.h"
#include "EOModelGroup.h"
#include "EOSQLExpression.h"
#include "EOSQLiteAdaptor.h"
#include "KORDataBusOC.h"
#include "Resources.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <sqlite3.h>
#include <vector>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
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

        const QList<eo::EOSortOrdering> sort{
            {QStringLiteral("appellation"), eo::EOSortOrdering::Selector::CompareCaseInsensitiveAscending},
            {QStringLiteral("salEtage"), eo::EOSortOrdering::Selector::CompareCaseInsensitiveAscending},
            {QStringLiteral("salPorte"), eo::EOSortOrdering::Selector::CompareCaseInsensitiveAscending},
        };

        std::vector<double> fetchTimes;
        std::vector<double> bareTimes;
        std::vector<double> noCaseTimes;
        qsizetype rooms = 0;
        double bytesPerRecord = 0;
        for (int run = 0; run < runs; ++run) {
            const bench::RoomFetchRun measured =
                bench::fetchAllRooms(model, sort, [&](data::KORDataBusOC &dataBus) {
                    // The same statement, stepped and read column by column through the C API.
                    auto *adaptor = static_cast<eo::EOSQLiteAdaptor *>(dataBus.dataBusAdaptor());
                    const bench::BareQuery bareQuery(model, adaptor->dialect(), QStringLiteral("SallesVix"),
                                                     eo::EOQualifierPtr(), sort);
                    QElapsedTimer timer;
                    timer.start();
                    const long long checksum = bareQuery.run(adaptor->handle());
                    bareTimes.push_back(double(timer.nsecsElapsed()) / 1e6);
                    bench::BareQuery noCaseQuery = bareQuery;
                    noCaseQuery.replace("COLLATE FRANCAIS_LETTRES", "COLLATE NOCASE");
                    noCaseQuery.replace("COLLATE FRANCAIS", "COLLATE NOCASE");
                    timer.restart();
                    const long long noCaseChecksum = noCaseQuery.run(adaptor->handle());
                    noCaseTimes.push_back(double(timer.nsecsElapsed()) / 1e6);
                    if (checksum == 42 || noCaseChecksum != checksum)
                        std::fprintf(stderr, " ");
                });
            fetchTimes.push_back(measured.milliseconds);
            rooms = measured.rooms;
            if (run == 0)
                bytesPerRecord = measured.heapBytesPerRoom;
        }
        const double fetch = bench::median(fetchTimes);
        const double bare = bench::median(bareTimes);
        std::printf("rooms: %lld\n", (long long)rooms);
        std::printf("runs: %d\n", runs);
        std::printf("fetch_all_rooms_display_group_median_ms: %.1f\n", fetch);
        std::printf("bare_sqlite3_query_median_ms: %.1f\n", bare);
        std::printf("fetch_to_bare_ratio: %.2f\n", bare > 0 ? fetch / bare : 0.0);
        const double noCase = bench::median(noCaseTimes);
        std::printf("bare_sqlite3_query_nocase_order_median_ms: %.1f\n", noCase);
        std::printf("french_order_cost_in_bare_query_ms: %.1f\n", bare - noCase);
        std::printf("fetch_to_bare_nocase_ratio: %.2f\n", noCase > 0 ? fetch / noCase : 0.0);
        std::printf("heap_bytes_per_room_record: %.0f\n", bytesPerRecord);
    } catch (const eo::EOException &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
