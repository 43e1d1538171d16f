#pragma once

#include "EOAttribute.h"
#include "EOSQLDialect.h"
#include "EOStoredProcedure.h"
#include "EOTransactionSteps.h"
#include "EOWaitObserver.h"

#include <QList>
#include <QVariant>
#include <QVariantMap>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace eo
{

// The link to one database: it opens the connection on first use from its connection dictionary, runs the
// SQL that the layer writes with bound values, runs stored procedures, and owns the transaction.
// Every failure is an EOException with a French message.
class EOAdaptor
{
public:
    virtual ~EOAdaptor() = default;

    // The adaptor that the URL of the dictionary names ("sqlite:///...", "postgresql://..."); throws
    // EOException (Kind::Connection) for an unknown kind of database.
    static std::unique_ptr<EOAdaptor> adaptorWithConnectionDictionary(const QVariantMap &dictionary);

    const QVariantMap &connectionDictionary() const { return m_connectionDictionary; }
    // Takes effect at the next connection.
    void setConnectionDictionary(const QVariantMap &dictionary) { m_connectionDictionary = dictionary; }

    virtual const EOSQLDialect &dialect() const = 0;
    virtual bool isOpen() const = 0;
    virtual void close() = 0;

    // Rows of a SELECT, each value read as the attribute type at its position says.
    virtual std::vector<QList<QVariant>> selectRows(const QString &sql, const QVariantList &bindings,
                                                    const QList<EOAttribute::Type> &types) = 0;
    // Rows of a raw query, the columns named "Attribute0", "Attribute1", ... in select-list order.
    virtual QList<QVariantMap> rawRows(const QString &sql, const QVariantList &bindings) = 0;
    // Rows of several raw queries run one after the other, each as rawRows answers them: a server far away
    // gets them in one round trip. The first failure throws, and the queries after it are not run.
    using RawQuery = std::pair<QString, QVariantList>;
    virtual std::vector<QList<QVariantMap>> rawRowsTogether(const std::vector<RawQuery> &queries);
    // Runs a procedure with named argument values; answers its output values.
    virtual QVariantMap executeStoredProcedure(const EOStoredProcedure &procedure,
                                               const QVariantMap &values) = 0;

    // Reads about to be made, declared ahead: a database that gains from it (a server across a slow link)
    // is asked for them all at once and keeps the answers for the identical selectRows that follow (same
    // SQL, same values), until dropPrefetched(ticket) or anything that could make them stale (a
    // transaction, a procedure, a raw statement, commit, rollback, a new connection). Answers the ticket
    // of what it kept, 0 for nothing. Never throws and never reports: a prefetch that fails keeps nothing,
    // and the reads then run one by one and report their own failures. An embedded database keeps nothing.
    struct Read {
        QString sql;
        QVariantList bindings;
    };
    virtual bool sendsReadsAhead() const { return false; }
    virtual quint64 prefetch(const QList<Read> &reads)
    {
        Q_UNUSED(reads);
        return 0;
    }
    virtual void dropPrefetched(quint64 ticket) { Q_UNUSED(ticket); }

    // A transaction whose commit fails is rolled back before the failure is thrown: the connection is
    // left outside any transaction, ready for the next call.
    virtual void beginTransaction() = 0;
    virtual void commitTransaction() = 0;
    virtual void rollbackTransaction() = 0;

    // Runs the steps of one transaction and commits it once (EOTransactionSteps); answers what became of the
    // transaction and of each step, and never throws for what the database refuses. A transaction open on
    // the connection is the steps' beginning when they say so, and is over afterwards either way.
    virtual EOTransactionSteps::Result runTransaction(const EOTransactionSteps &transaction);

    // Whether the last transaction whose commit the link lost, and which the database could not be asked
    // about then, was committed: asked again now (Unknown while the database still cannot be reached). None
    // when no such transaction is waiting for an answer; once answered, it is forgotten.
    virtual std::optional<EOTransactionSteps::State> confirmPendingTransaction() { return std::nullopt; }
    virtual bool hasPendingTransaction() const { return false; }

    // Who is told while a call waits on the database (none by default); not owned.
    void setWaitObserver(EOWaitObserver *observer) { m_waitObserver = observer; }
    EOWaitObserver *waitObserver() const { return m_waitObserver; }

    // Names what the calls made during its life do ("la recherche SallesVix"), for the wait observer and
    // for the message of a call that gave up waiting; the previous name comes back when it ends.
    class Activity
    {
    public:
        Activity(EOAdaptor &adaptor, const QString &name);
        ~Activity();
        Activity(const Activity &) = delete;
        Activity &operator=(const Activity &) = delete;

    private:
        EOAdaptor &m_adaptor;
        QString m_previous;
    };
    // The current activity, or a general one ("l'accès à la base de données") outside any.
    QString activity() const;

    // How long a call waits for a row or table that someone else holds, and how long one statement may
    // run, in seconds: the dictionary's lockTimeout and statementTimeout, else these defaults; 0 is no
    // limit.
    static constexpr int DefaultLockTimeout = 10;
    static constexpr int DefaultStatementTimeout = 60;
    int lockTimeout() const;
    int statementTimeout() const;

    // A whole number of seconds from a dictionary; the default when the entry is absent or not one.
    static int secondsOf(const QVariantMap &dictionary, const QString &key, int defaultValue);

    // The login of the application's user, given to the connection where the database's own code reads it
    // (the change history records it): at once when a connection is open, and again on every connection
    // opened later (after a dropped one). Given outside a transaction, so that no rollback takes it back.
    void setSessionLogin(const QString &login);
    const QString &sessionLogin() const { return m_sessionLogin; }

protected:
    // Brackets one call of the adaptor from outside (nested calls count once): the wait observer hears the
    // end of a wait it was told of, and a call made while another one waits (from the events the observer
    // handles meanwhile) is refused rather than run on a connection in the middle of the first.
    class Call
    {
    public:
        explicit Call(EOAdaptor &adaptor);
        ~Call();
        Call(const Call &) = delete;
        Call &operator=(const Call &) = delete;

    private:
        EOAdaptor &m_adaptor;
    };
    // Tells the wait observer that the current call has waited that long; true when it asks to give up
    // (remembered until the next call: waitWasCancelled).
    bool observeWait(qint64 elapsedMilliseconds);
    bool waitWasCancelled() const { return m_cancelled; }
    // The activity with a capital letter, to begin a sentence.
    QString capitalizedActivity() const;
    // Gives sessionLogin() to the open connection; nothing to do without one.
    virtual void applySessionLogin() = 0;

    // The savepoint of a step (EOTransactionSteps), set, released, or gone back to with what the step wrote.
    enum class StepSavepoint { Set, Release, RollBack };
    virtual void stepSavepoint(StepSavepoint action) = 0;
    // Checks the argument names against the procedure's declaration.
    static void checkArguments(const EOStoredProcedure &procedure, const QVariantMap &values);

private:
    QVariantMap m_connectionDictionary;
    EOWaitObserver *m_waitObserver = nullptr;
    QString m_activity;
    int m_calls = 0;
    bool m_waiting = false;
    bool m_observerTold = false;
    bool m_cancelled = false;
    QString m_sessionLogin;
};

} // namespace eo
