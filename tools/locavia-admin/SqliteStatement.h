#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <initializer_list>

struct sqlite3;
struct sqlite3_stmt;

namespace admin
{

// One prepared statement, run many times with new values: the demo data writes hundreds of thousands of
// rows through a handful of these. Failures throw eo::EOException with SQLite's message.
class SqliteStatement
{
public:
    // A value bound to a parameter: NULL, an integer or a text (UTF-8).
    class Value
    {
    public:
        Value(std::nullptr_t) {}
        Value(int integer) : m_kind(Kind::Integer), m_integer(integer) {}
        Value(qint64 integer) : m_kind(Kind::Integer), m_integer(integer) {}
        // A null pointer is NULL.
        Value(const char *text) : m_kind(text ? Kind::Text : Kind::Null), m_text(text) {}
        Value(const QString &text) : m_kind(Kind::Text), m_text(text.toUtf8()) {}

        void bind(sqlite3_stmt *statement, int index) const;

    private:
        enum class Kind { Null, Integer, Text };
        Kind m_kind = Kind::Null;
        qint64 m_integer = 0;
        QByteArray m_text;
    };

    SqliteStatement(sqlite3 *db, const char *sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    // Runs the statement with these values for its parameters ?1, ?2, ...
    void run(std::initializer_list<Value> values);
    // The first column of the first row, or -1 when there is no row or it is NULL.
    qint64 integer(std::initializer_list<Value> values);

private:
    void bindAll(std::initializer_list<Value> values);
    [[noreturn]] void fail() const;

    sqlite3 *m_db;
    sqlite3_stmt *m_statement = nullptr;
    QByteArray m_sql;
};

} // namespace admin
