// Fetches every room of a department's server into a display group sorted by building, floor and door, and
// compares it with the bare query of the same rows through libpq in the same run (and, for the record,
// through Qt's QPSQL driver, the other way the adaptor could have been written). Needs LOCAVIA_BENCH_PG_URL
// (scripts/bench starts a server and loads 100,000 rooms). Prints "name: value" lines.

#include "BenchSupport.h"
#include "EODisplayGroup.h"
#include "EOEditingContext.h"
#include "EOException.h"
#include "EOModelGroup.h"
#include "EOPostgreSQLAdaptor.h"
#include "EOPostgreSQLConnection.h"
#include "EOSQLExpression.h"
#include "KORDataBusOC.h"
#include "Resources.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <libpq-fe.h>
#include <malloc.h>
#include <vector>

namespace
{

// The rows read value by value, as an application that does nothing with them would.
long long bareLibpq(pg_conn *connection, const QByteArray &sql, double *milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    PGresult *result = PQexecParams(connection, sql.constData(), 0, nullptr, nullptr, nullptr, nullptr, 0);
    long long checksum = 0;
    const int rows = PQntuples(result);
    const int columns = PQnfields(result);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            if (!PQgetisnull(result, r, c))
                checksum += PQgetlength(result, r, c) + PQgetvalue(result, r, c)[0];
        }
    }
    PQclear(result);
    *milliseconds = double(timer.nsecsElapsed()) / 1e6;
    return checksum;
}

long long qpsql(QSqlDatabase &database, const QString &sql, double *milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    QSqlQuery query(database);
    query.setForwardOnly(true);
    long long checksum = 0;
    if (!query.exec(sql)) {
        std::fprintf(stderr, "QPSQL : %s\n", qPrintable(query.lastError().text()));
        return 0;
    }
    const int columns = query.record().count();
    while (query.next()) {
        for (int c = 0; c < columns; ++c) {
            const QVariant value = query.value(c);
            checksum += value.isNull() ? 0 : value.typeId();
        }
    }
    *milliseconds = double(timer.nsecsElapsed()) / 1e6;
    return checksum;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QString url = qEnvironmentVariable("LOCAVIA_BENCH_PG_URL");
    if (url.isEmpty()) {
        std::fprintf(stderr, "LOCAVIA_BENCH_PG_URL doit désigner la base PostgreSQL de mesure.\n");
        return 2;
    }
    const int runs = bench::runsAsked(7);
    try {
        eo::EOModel &model = eo::EOModelGroup::defaultGroup().addModelWithFile(
            platform::resourcePath(QStringLiteral("models/Locavia.json")));
        const QVariantMap dictionary = bench::serverDictionary(model.connectionDictionary(), url);
        model.setConnectionDictionary(dictionary);

        const QList<eo::EOSortOrdering> sort{
            {QStringLiteral("appellation"), eo::EOSortOrdering::Selector::CompareCaseInsensitiveAscending},
            {QStringLiteral("salEtage"), eo::EOSortOrdering::Selector::CompareCaseInsensitiveAscending},
            {QStringLiteral("salPorte"), eo::EOSortOrdering::Selector::CompareCaseInsensitiveAscending},
        };
        eo::EOPostgreSQLDialect dialect;
        eo::EOSQLExpression expression(model.entity(QStringLiteral("SallesVix")), dialect);
        eo::EOFetchRequest fetchSpec;
        fetchSpec.entityName = QStringLiteral("SallesVix");
        fetchSpec.sortOrderings = sort;
        const QString sql = expression.selectStatement(fetchSpec);

        const auto parameters = eo::EOPostgreSQLConnection::parametersForDictionary(dictionary);
        const eo::EOPostgreSQLConnection::Handle bare = eo::EOPostgreSQLConnection::connect(parameters);
        const QUrl address(url);
        QSqlDatabase qt = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("bench"));
        qt.setHostName(address.host());
        qt.setPort(address.port(5432));
        qt.setDatabaseName(address.path().mid(1));
        qt.setUserName(address.userName());
        qt.setConnectOptions(QStringLiteral("options='-c search_path=locavia'"));
        const bool qtOpen = qt.open();
        if (!qtOpen)
            std::fprintf(stderr, "QPSQL : %s\n", qPrintable(qt.lastError().text()));

        std::vector<double> fetchTimes;
        std::vector<double> bareTimes;
        std::vector<double> qtTimes;
        qsizetype rooms = 0;
        double bytesPerRecord = 0;
        long long checksum = 0;
        for (int run = 0; run < runs; ++run) {
            const bench::RoomFetchRun measured =
                bench::fetchAllRooms(model, sort, [](data::KORDataBusOC &) {});
            fetchTimes.push_back(measured.milliseconds);
            rooms = measured.rooms;
            if (run == 0)
                bytesPerRecord = measured.heapBytesPerRoom;

            double milliseconds = 0;
            checksum += bareLibpq(bare.get(), sql.toUtf8(), &milliseconds);
            bareTimes.push_back(milliseconds);
            if (qtOpen) {
                checksum += qpsql(qt, sql, &milliseconds);
                qtTimes.push_back(milliseconds);
            }
        }
        const double fetch = bench::median(fetchTimes);
        const double bareMedian = bench::median(bareTimes);
        std::printf("rooms: %lld\n", (long long)rooms);
        std::printf("runs: %d\n", runs);
        std::printf("fetch_all_rooms_display_group_median_ms: %.1f\n", fetch);
        std::printf("bare_libpq_query_median_ms: %.1f\n", bareMedian);
        std::printf("fetch_to_bare_ratio: %.2f\n", bareMedian > 0 ? fetch / bareMedian : 0.0);
        if (!qtTimes.empty())
            std::printf("qpsql_query_median_ms: %.1f\n", bench::median(qtTimes));
        std::printf("heap_bytes_per_room_record: %.0f\n", bytesPerRecord);
        if (checksum == 42)
            std::fprintf(stderr, " ");
    } catch (const eo::EOException &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench"));
    return 0;
}
