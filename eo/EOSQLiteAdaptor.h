#pragma once

#include "EOAdaptor.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_context;
struct sqlite3_value;

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
//
// While another program holds the files, a call waits up to the lock time limit (lockTimeout of the
// dictionary), telling the wait observer, which may give up; a commit that cannot be made rolls the
// transaction back. Every failure names the file it concerns and says what to do, in French.
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
    void stepSavepoint(StepSavepoint action) override;
    // The French message of a failure (code: SQLite's result code, extended or not); SQLite's own text
    // and the context (what was running) go to the log.
    QString messageOf(int code, const QString &detail, const QString &file, const QString &context = {});

private:
    struct Attachment {
        QString alias;
        QString path;
    };

    static int busyHandler(void *adaptor, int attempts);
    static void raiseErrorFunction(sqlite3_context *context, int argc, sqlite3_value **argv);
    void open();
    QList<Attachment> attachedDatabases() const;
    void checkOpenedFile(const char *schema, const QString &path);
    // The schema ("main" or an attached one) holds no table at all.
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
    QString frenchMessageOf(int code, const QString &detail, const QString &file);
    // The file of a damaged database: the first of the two that fails its quick check.
    QString damagedFile();
    static QString constraintMessage(const QString &detail);
    // What to do with a database without the model's tables (the dictionary's installHint), and with one of
    // another version.
    QString installAdvice() const;
    QString upgradeAdvice() const;
    QString readOnlyFiles() const;
    // The files of the database: the main one, then the attached ones.
    QStringList files() const;
    static QString quoted(const QStringList &files);
    QString bothFiles() const;
    // « file » when known, else every file of the database.
    QString filesInQuestion(const QString &file) const;
    // The file behind a schema name ("main" or an attached one).
    QString fileOfSchema(const QString &schema) const;
    QString procedureBody(const QString &name);

    EOSQLiteDialect m_dialect;
    sqlite3 *m_db = nullptr;
    QString m_path;
    QList<Attachment> m_attachments;
    qsizetype m_attachedCount = 0; // those attached so far
    QString m_raised;              // the last message of raise_error(), a refusal of a procedure
    QElapsedTimer m_waitTimer;     // since the busy wait of the current statement began
    QHash<QString, QString> m_procedureBodies;
    QHash<QString, sqlite3_stmt *> m_statements;
    qint64 m_transactionNumber = 0; // txid_current() of the open transaction, 0 between transactions
};

} // namespace eo
