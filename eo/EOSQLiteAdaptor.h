#pragma once

#include "EOAdaptor.h"

#include <QHash>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

namespace eo
{

// The embedded database: the inventory file with the shared reference file attached as SOLMA. On each
// connection it registers raise_error(), to_number() and txid_current() (a number of the current
// transaction, the same for all its statements, as the server's), makes like case-sensitive, keeps the
// user's login in the TEMP table EO_SESSION (LOGIN), and runs the session script that the database holds
// (its temporary views and triggers). Stored procedures are bodies of SQL
// statements kept in the database's EO_PROCEDURE table, run with named parameters inside a savepoint, so that
// a failing procedure leaves nothing half-written.
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

protected:
    void applySessionLogin() override;

private:
    void open();
    void execute(const QString &sql);
    sqlite3_stmt *prepare(const QString &sql);
    // A statement of the fetch path, prepared once and kept: the same SELECT is run again each time a
    // list follows the selection. Reset and unbound, ready for new values.
    sqlite3_stmt *cachedStatement(const QString &sql);
    void bind(sqlite3_stmt *statement, int index, const QVariant &value);
    [[noreturn]] void fail(int code, const QString &context = QString()) const;
    QString procedureBody(const QString &name);

    EOSQLiteDialect m_dialect;
    sqlite3 *m_db = nullptr;
    QString m_path;
    QHash<QString, QString> m_procedureBodies;
    QHash<QString, sqlite3_stmt *> m_statements;
    qint64 m_transactionNumber = 0; // txid_current() of the open transaction, 0 between transactions
};

} // namespace eo
