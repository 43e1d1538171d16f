#include "DemoDataGenerator.h"

#include "DemoDataWriter.h"
#include "EOException.h"
#include "SqliteFailure.h"
#include "SqliteStatement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>
#include <pwd.h>
#include <sqlite3.h>
#include <unistd.h>

namespace admin
{

namespace
{

constexpr int LoginWidth = 30;

[[noreturn]] void fail(const QString &message)
{
    throw eo::EOException(eo::EOException::Kind::Database, message);
}

struct DatabaseCloser {
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};

void exec(sqlite3 *db, const char *sql)
{
    char *error = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const QString message = QString::fromUtf8(error ? error : sqlite3_errmsg(db));
        sqlite3_free(error);
        fail(data::SqliteFailure::message(rc, message, QString::fromUtf8(sqlite3_db_filename(db, "main")),
                                          QStringLiteral("Données de démonstration")));
    }
}

} // namespace

QString DemoDataGenerator::currentLogin()
{
    // The account the program will find at start-up: the system's, never the environment's.
    if (const passwd *entry = getpwuid(geteuid()))
        return QString::fromLocal8Bit(entry->pw_name).toLower();
    return QString();
}

namespace
{

using Database = std::unique_ptr<sqlite3, DatabaseCloser>;

// The installed database, locavia.db with solma.db attached as the program attaches it, and the account's
// login checked.
Database openInstalled(const QString &directory, const QString &account)
{
    const QDir dir(directory);
    const QString inventoryPath = dir.absoluteFilePath(QStringLiteral("locavia.db"));
    const QString solmaPath = dir.absoluteFilePath(QStringLiteral("solma.db"));
    for (const QString &path : {inventoryPath, solmaPath}) {
        if (!QFileInfo::exists(path))
            fail(QStringLiteral("La base « %1 » n'existe pas : installez-la d'abord.")
                     .arg(QDir::toNativeSeparators(path)));
    }
    if (account.isEmpty())
        fail(QStringLiteral("Le compte de démonstration n'a pas d'identifiant : indiquez-le avec --user."));
    if (account.size() > LoginWidth)
        fail(QStringLiteral("L'identifiant « %1 » dépasse %2 caractères.").arg(account).arg(LoginWidth));

    sqlite3 *raw = nullptr;
    const int rc =
        sqlite3_open_v2(QFile::encodeName(inventoryPath).constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    Database db(raw);
    if (rc != SQLITE_OK)
        fail(QStringLiteral("La base « %1 » ne peut pas être ouverte : %2")
                 .arg(QDir::toNativeSeparators(inventoryPath), QString::fromUtf8(sqlite3_errmsg(raw))));
    // A program that holds the files meanwhile is waited for, as the program itself waits.
    sqlite3_busy_timeout(db.get(), data::SqliteFailure::busyTimeoutMilliseconds());
    {
        SqliteStatement attach(db.get(), "ATTACH DATABASE ?1 AS SOLMA");
        attach.run({solmaPath});
    }
    exec(db.get(), "PRAGMA foreign_keys = ON");
    return db;
}

// Runs the writes in one transaction: all of them or none.
template <typename Writes> void inOneTransaction(sqlite3 *db, Writes writes)
{
    exec(db, "BEGIN");
    try {
        writes();
        exec(db, "COMMIT");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

} // namespace

bool DemoDataGenerator::fill(const QString &directory, int rooms, const QString &login, Summary *summary)
{
    const QString account = login.trimmed().toLower();
    const Database db = openInstalled(directory, account);
    {
        SqliteStatement count(db.get(), "SELECT COUNT(*) FROM SOLMA.SALLES");
        if (count.integer({}) > 0)
            return false;
    }

    Summary result;
    inOneTransaction(db.get(), [&] {
        DemoDataWriter writer(db.get(), account, &result);
        writer.referenceData();
        writer.rooms(rooms);
        writer.offices();
    });
    if (summary)
        *summary = result;
    return true;
}

void DemoDataGenerator::grantAccess(const QString &directory, const QString &login)
{
    const QString account = login.trimmed().toLower();
    const Database db = openInstalled(directory, account);
    Summary result;
    inOneTransaction(db.get(), [&] { DemoDataWriter(db.get(), account, &result).access(); });
}

} // namespace admin
