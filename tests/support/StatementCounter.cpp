#include "StatementCounter.h"

#include "EOPostgreSQLAdaptor.h"
#include "EOSQLiteAdaptor.h"

#include <sqlite3.h>

namespace
{

int countStatement(unsigned, void *counter, void *, void *)
{
    ++*static_cast<qint64 *>(counter);
    return 0;
}

sqlite3 *sqliteHandle(TestDatabase &database)
{
    return static_cast<eo::EOSQLiteAdaptor *>(database.dataBus().dataBusAdaptor())->handle();
}

eo::EOPostgreSQLAdaptor &server(TestDatabase &database)
{
    return *static_cast<eo::EOPostgreSQLAdaptor *>(database.dataBus().dataBusAdaptor());
}

} // namespace

StatementCounter::StatementCounter(TestDatabase &database) : m_database(database)
{
    if (m_database.backend() == TestDatabase::Backend::SQLite)
        sqlite3_trace_v2(sqliteHandle(m_database), SQLITE_TRACE_STMT, countStatement, &m_sqliteStatements);
    reset();
}

StatementCounter::~StatementCounter()
{
    if (m_database.backend() == TestDatabase::Backend::SQLite)
        sqlite3_trace_v2(sqliteHandle(m_database), 0, nullptr, nullptr);
}

qint64 StatementCounter::count() const
{
    if (m_database.backend() == TestDatabase::Backend::SQLite)
        return m_sqliteStatements;
    return server(m_database).roundTrips() - m_serverStart;
}

void StatementCounter::reset()
{
    m_sqliteStatements = 0;
    if (m_database.backend() == TestDatabase::Backend::PostgreSQL)
        m_serverStart = server(m_database).roundTrips();
}
