#pragma once

// What the benchmarks share: how many runs they make, the server they measure, the median of a series of
// times, and the bare query of a fetch.

#include "EODisplayGroup.h"
#include "EOEditingContext.h"
#include "EOModel.h"
#include "EOModelGroup.h"
#include "EOSQLDialect.h"
#include "EOSQLExpression.h"
#include "KORDataBusOC.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QVariantList>
#include <QVariantMap>
#include <QtGlobal>
#include <algorithm>
#include <malloc.h>
#include <sqlite3.h>
#include <vector>

namespace bench
{

// LOCAVIA_BENCH_RUNS when it is a positive number, else the benchmark's own count.
inline int runsAsked(int defaultRuns)
{
    const int asked = qEnvironmentVariableIntValue("LOCAVIA_BENCH_RUNS");
    return asked > 0 ? asked : defaultRuns;
}

// The model's dictionary pointed at the server of url (LOCAVIA_BENCH_PG_URL), with the account it names.
inline QVariantMap serverDictionary(QVariantMap dictionary, const QString &url)
{
    dictionary.insert(QStringLiteral("URL"), url);
    dictionary.insert(QStringLiteral("username"), QString());
    dictionary.insert(QStringLiteral("password"), QString());
    return dictionary;
}

// The server's administration role, for what the program never writes itself (rows changed by hand, the
// measure's history deleted, triggers turned off): LOCAVIA_BENCH_PG_OWNER_URL, else the measured URL. The
// benchmarks themselves connect as LOCAVIA_BENCH_PG_URL names, a room manager under scripts/bench.
inline QVariantMap ownerDictionary(const QVariantMap &dictionary)
{
    const QString owner = qEnvironmentVariable("LOCAVIA_BENCH_PG_OWNER_URL");
    return owner.isEmpty() ? dictionary : serverDictionary(dictionary, owner);
}

// A data bus of its own on another dictionary of the model (the model keeps its own).
class SideBus
{
public:
    SideBus(eo::EOModel &model, const QVariantMap &dictionary) : m_context(eo::EOModelGroup::defaultGroup())
    {
        const QVariantMap kept = model.connectionDictionary();
        model.setConnectionDictionary(dictionary);
        try {
            m_bus.initDataBusWithModel(model.name(), &m_context);
        } catch (...) {
            model.setConnectionDictionary(kept);
            throw;
        }
        model.setConnectionDictionary(kept);
    }
    data::KORDataBusOC &bus() { return m_bus; }

private:
    eo::EOEditingContext m_context;
    data::KORDataBusOC m_bus;
};

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The statement the layer writes for a fetch, run bare: prepared, bound, stepped, every column read.
class BareQuery
{
public:
    BareQuery(const eo::EOModel &model, const eo::EOSQLDialect &dialect, const QString &entity,
              const eo::EOQualifierPtr &qualifier, const QList<eo::EOSortOrdering> &sort)
    {
        eo::EOSQLExpression expression(model.entity(entity), dialect);
        eo::EOFetchRequest fetchSpec;
        fetchSpec.entityName = entity;
        fetchSpec.qualifier = qualifier;
        fetchSpec.sortOrderings = sort;
        m_sql = expression.selectStatement(fetchSpec).toUtf8();
        m_bindings = expression.bindings();
    }

    // The same statement with a piece of its SQL replaced (another collation, to tell what one costs).
    void replace(const QByteArray &before, const QByteArray &after) { m_sql.replace(before, after); }

    long long run(sqlite3 *db) const
    {
        sqlite3_stmt *statement = nullptr;
        sqlite3_prepare_v2(db, m_sql.constData(), int(m_sql.size()), &statement, nullptr);
        for (int i = 0; i < m_bindings.size(); ++i) {
            const QVariant &value = m_bindings.at(i);
            if (value.metaType().id() == QMetaType::QString) {
                const QByteArray text = value.toString().toUtf8();
                sqlite3_bind_text(statement, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            } else if (value.metaType().id() == QMetaType::Double) {
                sqlite3_bind_double(statement, i + 1, value.toDouble());
            } else if (value.canConvert<qint64>() && !value.isNull()) {
                sqlite3_bind_int64(statement, i + 1, value.toLongLong());
            } else {
                sqlite3_bind_null(statement, i + 1);
            }
        }
        long long checksum = 0;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            const int columns = sqlite3_column_count(statement);
            for (int c = 0; c < columns; ++c) {
                switch (sqlite3_column_type(statement, c)) {
                case SQLITE_INTEGER:
                    checksum += sqlite3_column_int64(statement, c);
                    break;
                case SQLITE_FLOAT:
                    checksum += (long long)sqlite3_column_double(statement, c);
                    break;
                case SQLITE_TEXT:
                    checksum +=
                        sqlite3_column_bytes(statement, c) + (sqlite3_column_text(statement, c) ? 1 : 0);
                    break;
                default:
                    break;
                }
            }
        }
        sqlite3_finalize(statement);
        return checksum;
    }

private:
    QByteArray m_sql;
    QVariantList m_bindings;
};

// One fetch of every room into a display group, on a fresh editing context and data bus (the records are
// made, as on the first search of a session), with the connection opened before the measure. afterFetch
// receives the data bus, to run the bare query of the same rows on the same connection.
struct RoomFetchRun {
    double milliseconds = 0;
    qsizetype rooms = 0;
    double heapBytesPerRoom = 0;
};

template <typename AfterFetch>
RoomFetchRun fetchAllRooms(const eo::EOModel &model, const QList<eo::EOSortOrdering> &sort,
                           AfterFetch afterFetch)
{
    eo::EOEditingContext context(eo::EOModelGroup::defaultGroup());
    data::KORDataBusOC dataBus;
    dataBus.initDataBusWithModel(model.name(), &context);
    eo::EODisplayGroup group;
    group.setSortOrderings(sort);
    dataBus.fetchArray(QStringLiteral("TypeSalle"), eo::EOQualifierPtr(), {});

    RoomFetchRun run;
    const size_t before = mallinfo2().uordblks;
    QElapsedTimer timer;
    timer.start();
    dataBus.fetchTable(&group, QStringLiteral("SallesVix"), eo::EOQualifierPtr(), sort, true);
    run.milliseconds = double(timer.nsecsElapsed()) / 1e6;
    run.rooms = group.displayedObjects().size();
    if (run.rooms > 0)
        run.heapBytesPerRoom = double(mallinfo2().uordblks - before) / double(run.rooms);
    afterFetch(dataBus);
    return run;
}

} // namespace bench
