#pragma once

#include <QString>

struct sqlite3;

namespace data
{

// The French sentence of a failed SQLite call in the tools that install and fill the embedded database,
// with what to do: a database another program holds (after the busy wait), a full disk, a read-only or
// damaged file. files names the files in question for the messages. SQLite's own text goes to the log
// (">>>>> " line), for whoever maintains the database, never into the sentence.
class SqliteFailure
{
public:
    SqliteFailure() = delete;

    // How long the tools wait for another program to let go of the files, as the program itself does.
    static int busyTimeoutMilliseconds();
    static QString message(int code, const QString &detail, const QString &files, const QString &origin);
    static QString message(sqlite3 *db, int code, const QString &files, const QString &origin);

private:
    static QString frenchMessage(int code, const QString &files, const QString &origin);
};

} // namespace data
