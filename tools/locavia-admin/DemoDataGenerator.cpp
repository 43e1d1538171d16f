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

bool DemoDataGenerator::fill(const QString &directory, int rooms, const QString &login, Summary *summary)
{
    const QDir dir(directory);
    const QString inventoryPath = dir.absoluteFilePath(QStringLiteral("locavia.db"));
    const QString solmaPath = dir.absoluteFilePath(QStringLiteral("solma.db"));
    for (const QString &path : {inventoryPath, solmaPath}) {
        if (!QFileInfo::exists(path))
            fail(QStringLiteral("La base « %1 » n'existe pas : installez-la d'abord.")
                     .arg(QDir::toNativeSeparators(path)));
    }
    const QString account = login.trimmed().toLower();
    if (account.isEmpty())
        fail(QStringLiteral("Le compte de démonstration n'a pas d'identifiant : indiquez-le avec --user."));
    if (account.size() > LoginWidth)
        fail(QStringLiteral("L'identifiant « %1 » dépasse %2 caractères.").arg(account).arg(LoginWidth));

    sqlite3 *raw = nullptr;
    const int rc =
        sqlite3_open_v2(QFile::encodeName(inventoryPath).constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    const std::unique_ptr<sqlite3, DatabaseCloser> db(raw);
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
    {
        SqliteStatement count(db.get(), "SELECT COUNT(*) FROM SOLMA.SALLES");
        if (count.integer({}) > 0)
            return false;
    }

    Summary result;
    exec(db.get(), "BEGIN");
    try {
        DemoDataWriter writer(db.get(), account, &result);
        writer.referenceData();
        writer.rooms(rooms);
        writer.offices();
        exec(db.get(), "COMMIT");
    } catch (...) {
        sqlite3_exec(db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    if (summary)
        *summary = result;
    return true;
}

} // namespace admin
