#pragma once

#include <memory>
#include <sqlite3.h>

namespace data
{

// Owners of the SQLite C library's handles, for the code of this folder that talks to SQLite directly.
struct SqliteCloser {
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
using SqliteConnectionPtr = std::unique_ptr<sqlite3, SqliteCloser>;

struct SqliteFinalizer {
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};
using SqliteStatementPtr = std::unique_ptr<sqlite3_stmt, SqliteFinalizer>;

} // namespace data
