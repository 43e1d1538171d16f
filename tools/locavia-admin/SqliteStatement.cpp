#include "SqliteStatement.h"

#include "EOException.h"
#include "SqliteFailure.h"

#include <sqlite3.h>

namespace admin
{

void SqliteStatement::Value::bind(sqlite3_stmt *statement, int index) const
{
    switch (m_kind) {
    case Kind::Null:
        sqlite3_bind_null(statement, index);
        break;
    case Kind::Integer:
        sqlite3_bind_int64(statement, index, m_integer);
        break;
    case Kind::Text:
        sqlite3_bind_text(statement, index, m_text.constData(), int(m_text.size()), SQLITE_TRANSIENT);
        break;
    }
}

SqliteStatement::SqliteStatement(sqlite3 *db, const char *sql) : m_db(db), m_sql(sql)
{
    if (sqlite3_prepare_v2(m_db, sql, -1, &m_statement, nullptr) != SQLITE_OK)
        fail();
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_statement);
}

void SqliteStatement::bindAll(std::initializer_list<Value> values)
{
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
    int index = 1;
    for (const Value &value : values)
        value.bind(m_statement, index++);
}

void SqliteStatement::run(std::initializer_list<Value> values)
{
    bindAll(values);
    int rc = sqlite3_step(m_statement);
    while (rc == SQLITE_ROW)
        rc = sqlite3_step(m_statement);
    if (rc != SQLITE_DONE)
        fail();
    sqlite3_reset(m_statement);
}

qint64 SqliteStatement::integer(std::initializer_list<Value> values)
{
    bindAll(values);
    const int rc = sqlite3_step(m_statement);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        fail();
    const qint64 result = rc == SQLITE_ROW && sqlite3_column_type(m_statement, 0) != SQLITE_NULL
                              ? sqlite3_column_int64(m_statement, 0)
                              : -1;
    sqlite3_reset(m_statement);
    return result;
}

void SqliteStatement::fail() const
{
    throw eo::EOException(
        eo::EOException::Kind::Database,
        data::SqliteFailure::message(
            sqlite3_errcode(m_db), QString::fromUtf8(sqlite3_errmsg(m_db)),
            QString::fromUtf8(sqlite3_db_filename(m_db, "main")),
            QStringLiteral("Erreur de la base (%1)").arg(QString::fromUtf8(m_sql).simplified())));
}

} // namespace admin
