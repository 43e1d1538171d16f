#pragma once

#include "EOAdaptor.h"

#include <QElapsedTimer>
#include <QHash>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_context;
struct sqlite3_value;

namespace eo
{

// The embedded database: the inventory file with the shared reference file attached as SOLMA. On each
// connection it registers raise_error() and to_number(), makes like case-sensitive, and creates the
// temporary views of the session script that the database holds. Stored procedures are bodies of SQL
// statements kept in the database's EO_PROCEDURE table, run with named parameters inside a savepoint, so that
// a failing procedure leaves nothing half-written.
//
// While another program holds the files, a call waits up to the lock time limit (lockTimeout of the
// dictionary), telling the wait observer, which may give up; a commit that cannot be made rolls the
// transaction back. Every failure names the file it concerns (the inventory or the reference file) and says
// what to do, in French.
class EOSQLiteAdaptor : public EOAdaptor
{
public:
    EOSQLiteAdaptor() = default;
    ~EOSQLiteAdaptor() override;
    EOSQLiteAdaptor(const EOSQLiteAdaptor &) = delete;
    EOSQLiteAdaptor &operator=(const EOSQLiteAdaptor &) = delete;

    const EOSQLDialect &dialect() const override { return m_dialect; }
    bool isOpen() const override { return m_db != nullptr; }
    void close() override;

    std::vector<QList<QVariant>> selectRows(const QString &sql, const QVariantList &bindings,
                                            const QList<EOAttribute::Type> &types) override;
    QList<QVariantMap> rawRows(const QString &sql, const QVariantList &bindings) override;
    QVariantMap executeStoredProcedure(const EOStoredProcedure &procedure,
                                       const QVariantMap &values) override;

    void beginTransaction() override;
    void commitTransaction() override;
    void rollbackTransaction() override;

    // The file behind a URL such as sqlite:///${LOCAVIA_DATA}/locavia.db (${LOCAVIA_DATA} is the user's data
    // directory for Locavia, ~ the home directory).
    static QString pathForURL(const QString &url);
    // The user's data directory for Locavia (~/.local/share/Locavia unless XDG_DATA_HOME says otherwise).
    static QString dataDirectory();
    // The raw connection, for tools that need the database's own C API.
    sqlite3 *handle();

private:
    static int busyHandler(void *adaptor, int attempts);
    static void raiseErrorFunction(sqlite3_context *context, int argc, sqlite3_value **argv);
    void open();
    void checkOpenedFile(const char *schema, const QString &path);
    // The schema ("main", "SOLMA") holds no table at all.
    bool isEmpty(const char *schema);
    void execute(const QString &sql);
    sqlite3_stmt *prepare(const QString &sql);
    // A statement of the fetch path, prepared once and kept: the same SELECT is run again each time a
    // list follows the selection. Reset and unbound, ready for new values.
    sqlite3_stmt *cachedStatement(const QString &sql);
    void bind(sqlite3_stmt *statement, int index, const QVariant &value);
    // Throws the French message of a failed SQLite call. file names the file in question when the caller
    // knows it; otherwise it is found from the failure.
    [[noreturn]] void fail(int code, const QString &context = QString(), const QString &file = QString());
    QString messageOf(int code, const QString &detail, const QString &file);
    // The file of a damaged database: the first of the two that fails its quick check.
    QString damagedFile();
    static QString constraintMessage(const QString &detail);
    // What to do with a database of another version (the tool that upgrades it in place).
    QString upgradeAdvice() const;
    QString readOnlyFiles() const;
    QString bothFiles() const;
    // « file » when known, else both files of the database.
    QString filesInQuestion(const QString &file) const;
    QString procedureBody(const QString &name);

    EOSQLiteDialect m_dialect;
    sqlite3 *m_db = nullptr;
    QString m_path;
    QString m_solmaPath;
    bool m_solmaAttached = false;
    QString m_raised;          // the last message of raise_error(), a refusal of a procedure
    QElapsedTimer m_waitTimer; // since the busy wait of the current statement began
    QHash<QString, QString> m_procedureBodies;
    QHash<QString, sqlite3_stmt *> m_statements;
};

} // namespace eo
