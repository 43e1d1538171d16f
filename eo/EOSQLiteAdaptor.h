#pragma once

#include "EOAdaptor.h"

#include <QHash>
#include <QList>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

namespace eo
{

// An embedded database: the file the dictionary's URL names, with the files of its "attachedDatabases"
// (schema name -> file, beside it unless given a full path) attached under their schema names. On each
// connection it registers raise_error(), to_number(), txid_current() (a number of the current transaction,
// the same for all its statements, as the server's) and the French collation (EOCollation), makes like
// case-sensitive, keeps the user's login in the TEMP table EO_SESSION (LOGIN), and runs the session script
// that the database holds (the row "#session" of EO_PROCEDURE: the temporary views that read several files
// and the triggers that write the change history). The dictionary's "installHint" completes the message of
// a database that is not there. Stored procedures are bodies of SQL statements kept in the database's
// EO_PROCEDURE table, run with named parameters inside a savepoint, so that a failing procedure leaves
// nothing half-written.
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

    // The file behind a URL such as sqlite:///home/user/inventaire.db (~ is the home directory).
    static QString pathForURL(const QString &url);
    // The raw connection, for tools that need the database's own C API.
    sqlite3 *handle();

protected:
    void applySessionLogin() override;

private:
    struct Attachment {
        QString alias;
        QString path;
    };

    void open();
    QList<Attachment> attachedDatabases() const;
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
