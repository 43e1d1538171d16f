#pragma once

#include "EOAdaptor.h"
#include "EOPostgreSQLConnection.h"
#include "EOPostgreSQLPrefetch.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace eo
{

// A department's shared server: PostgreSQL through libpq, one connection per adaptor.
//
// - Values are always bound ($1, $2, ... as text that the server types from their place in the statement).
// - A stored procedure is a function of the first schema of the dictionary's search path, called in named
//   notation with the model's argument names in lower case: SELECT * FROM schema.inssalle(insclocal => $1,
//   ...); its output values are the columns of the answer, named like the model's output arguments.
// - A transaction opens with its first statement (BEGIN travels with it); inside a transaction every
//   statement runs after a savepoint, so that a refused call leaves the transaction as it was and the
//   caller decides, as on the embedded database. Several statements sent together cost one round trip.
// - A connection the server dropped while idle is opened again before the next statement; one dropped
//   during a transaction ends it with a clear message. Every new connection gets the user's login as the
//   session setting eo.login (set_config), where the database's triggers read it. A read that did not reach
//   the server is tried again once on a new connection. Failures are EOException with French messages.
// - Every session has a lock time limit and a statement time limit (lockTimeout and statementTimeout of the
//   dictionary, in seconds). While the server works, the adaptor waits without blocking and tells the wait
//   observer, which may ask to give up: the statement is then cancelled on the server (PQcancel).
// - A transaction that lost its connection, ran out of time or was cancelled is rolled back at once and
//   stays abandoned: every later call of it, and its commit, fail with "transaction annulée" until the
//   caller rolls back, so that nothing of it is written by a call that runs after the loss.
// - Reads declared ahead outside a transaction (prefetch) are sent in one pipeline, one round trip for all,
//   and their answers kept for the identical reads that follow; whatever could make them stale drops them
//   (a transaction, a procedure, a raw statement, a new connection). A prefetch that fails keeps nothing.
class EOPostgreSQLAdaptor : public EOAdaptor
{
public:
    EOPostgreSQLAdaptor();
    ~EOPostgreSQLAdaptor() override;
    EOPostgreSQLAdaptor(const EOPostgreSQLAdaptor &) = delete;
    EOPostgreSQLAdaptor &operator=(const EOPostgreSQLAdaptor &) = delete;

    const EOSQLDialect &dialect() const override { return m_dialect; }
    bool isOpen() const override { return bool(m_connection); }
    void close() override;

    std::vector<QList<QVariant>> selectRows(const QString &sql, const QVariantList &bindings,
                                            const QList<EOAttribute::Type> &types) override;
    QList<QVariantMap> rawRows(const QString &sql, const QVariantList &bindings) override;
    // In one pipeline outside a transaction or as a transaction's beginning (BEGIN travels with them);
    // inside an open transaction one after the other, each behind its savepoint.
    std::vector<QList<QVariantMap>> rawRowsTogether(const std::vector<RawQuery> &queries) override;
    QVariantMap executeStoredProcedure(const EOStoredProcedure &procedure,
                                       const QVariantMap &values) override;

    // The steps in one pipeline with their savepoints and the COMMIT: one round trip when the server refuses
    // nothing. A refused step costs one more, which goes back to its savepoint and sends the steps after it;
    // a refused essential step, a wait given up or a time limit roll the whole transaction back. A link that
    // breaks before the COMMIT is answered is followed by a new connection that asks the server whether the
    // transaction was committed (its identifier came with its beginning); when even that cannot be, it stays
    // unknown until confirmPendingTransaction() can ask.
    EOTransactionSteps::Result runTransaction(const EOTransactionSteps &transaction) override;
    std::optional<EOTransactionSteps::State> confirmPendingTransaction() override;
    bool hasPendingTransaction() const override { return m_pending.has_value(); }

    void beginTransaction() override;
    void commitTransaction() override;
    void rollbackTransaction() override;

    bool sendsReadsAhead() const override { return true; }
    quint64 prefetch(const QList<Read> &reads) override;
    void dropPrefetched(quint64 ticket) override;

    // The raw connection, opened when needed, for tools that need libpq itself.
    pg_conn *handle();
    // Messages the adaptor has waited for the server to answer since it was made: one per network round
    // trip.
    qint64 roundTrips() const { return m_roundTrips; }
    // A raw query's "?" placeholders written as the server's $1, $2, ... (quoted texts, quoted names and
    // comments are left alone).
    static QString numberedPlaceholders(const QString &sql);
    // The SQL of a procedure call in named notation (without the values), the function taken from schema
    // (the search path when none).
    static QString procedureCall(const EOStoredProcedure &procedure, const QStringList &argumentNames,
                                 const QString &schema);

protected:
    void applySessionLogin() override;
    void stepSavepoint(StepSavepoint action) override;

private:
    enum class Transaction { None, Pending, Open, Abandoned };
    enum class Purpose { Read, Write };
    struct Statement {
        QByteArray sql;
        std::vector<std::optional<QByteArray>> values;
    };

    void open();
    // The statement that gives the user's login to the session.
    Statement loginSetting() const;
    const EOPostgreSQLConnection::Parameters &parameters();
    // Drops a connection that the server closed while it was idle; true when there was one.
    bool discardDroppedConnection();
    [[noreturn]] void connectionLost(bool transactionLost);
    // Rolls the caller's transaction back on the server and keeps it abandoned for that reason.
    void abandonTransaction(const QString &reason);
    QString abandonedMessage() const;
    [[noreturn]] void failAbandoned();
    // The EOException of a failed statement, with what was running and how a time limit or a cancel ended.
    EOException errorOf(const pg_result *result, const QString &context) const;
    // Waits until libpq can hand over a result without blocking, telling the wait observer and sending the
    // cancel it asks for; false when the connection broke.
    bool awaitResult();
    EOPostgreSQLConnection::Result nextResult();
    // The results of the statement just sent: the first failure, else the last result.
    EOPostgreSQLConnection::Result collect();
    bool connectionBroken() const;
    void sendCancel();
    EOPostgreSQLConnection::Result run(const Statement &statement, Purpose purpose, const QString &context);
    EOPostgreSQLConnection::Result runOnce(const Statement &statement, const QString &context, bool *retry);
    // Sends the statements together and answers the result of each (null for those the server skipped after
    // a failure); false when the connection broke.
    bool pipeline(const std::vector<const Statement *> &statements,
                  std::vector<EOPostgreSQLConnection::Result> &results);
    // Reads up to a pipeline's sync point; anything else the server says before it is a failure, kept in
    // *failure when that is still empty. False when the link broke or no sync point came.
    bool syncPoint(QString *failure, const QString &context);
    EOPostgreSQLConnection::Result exec(const Statement &statement);
    void simple(const char *sql, const QString &context);
    // One round trip of runTransaction: the transaction's beginning (unless it began already), the way back
    // to the savepoint of the step refused in the round before (when there was one), the steps from
    // round.firstStep on and the COMMIT, up to one sync point. On a refused step, round.firstStep becomes it.
    struct Round {
        bool began = false;
        bool backToStep = false;
        size_t firstStep = 0;
    };
    enum class RoundEnd { Committed, CommitRefused, StepRefused, LinkLost };
    RoundEnd sendRound(const EOTransactionSteps &transaction,
                       const std::vector<std::vector<Statement>> &statements, const std::vector<bool> &toSend,
                       Round &round, EOTransactionSteps::Result &result);
    // BEGIN, and the question of the transaction's identifier and of the session's process, sent together.
    static const std::vector<const Statement *> &openingStatements();
    void keepTransactionId(const pg_result *answer);
    // The transaction is over: nothing of it is open or remembered.
    void forgetTransaction();
    // Rolls back what is open, if anything, without a word: the caller reports why.
    void endTransactionQuietly();
    // After the link broke while a COMMIT was on its way: what became of the transaction, asked on a new
    // connection (*message says what the user must hear unless it was committed).
    EOTransactionSteps::State confirmLostCommit(QString *message);
    // Asks the server about the transaction left unconfirmed; Unknown (and it stays) while it cannot.
    EOTransactionSteps::State askPending();
    EOTransactionSteps::State forgetPending(EOTransactionSteps::State state);
    // Ends the session the link was lost from, and waits until the server no longer lists it.
    void endLostSession();
    Statement procedureStatement(const EOStoredProcedure &procedure, const QVariantMap &values);
    static QList<QVariantMap> rowsOf(const pg_result *rows);
    static QVariantMap outputsOf(const EOStoredProcedure &procedure, const pg_result *answer);
    static std::optional<QByteArray> textOf(const QVariant &value);
    static Statement statement(const QString &sql, const QVariantList &bindings);
    // The answer a prefetch kept for that read; none when there is none to take.
    const pg_result *prefetchedAnswer(const Statement &read) const;

    EOPostgreSQLDialect m_dialect;
    EOPostgreSQLConnection::Handle m_connection;
    std::optional<EOPostgreSQLConnection::Parameters> m_parameters;
    QVariantMap m_parametersSource;
    Transaction m_transaction = Transaction::None;
    QString m_abandonReason;
    bool m_broken = false;          // the current connection failed while a result was awaited
    bool m_cancelSent = false;      // during the current call
    bool m_schemaForbidden = false; // the account may not use the inventory's schema
    qint64 m_roundTrips = 0;
    EOPostgreSQLPrefetch m_prefetched;
    // The open transaction's identifier (pg_current_xact_id) and the server process that runs it.
    QByteArray m_transactionId;
    QByteArray m_transactionBackend;
    QByteArray m_sessionBackend; // the server process of the current connection
    // A transaction whose COMMIT the link lost and that could not be confirmed yet.
    struct PendingTransaction {
        QByteArray id;
        QByteArray backend;
    };
    std::optional<PendingTransaction> m_pending;
};

} // namespace eo
