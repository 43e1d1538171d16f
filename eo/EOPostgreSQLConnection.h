#pragma once

#include "EOException.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QVariantMap>
#include <memory>

struct pg_conn;
struct pg_result;

namespace eo
{

// Opening a libpq connection to a department's server from a model's connection dictionary, and the French
// messages of what can go wrong with one. Shared by the adaptor and by the tools that install a server.
//
// The dictionary's URL is postgresql://[user[:password]@]host[:port]/database[?libpq-option=value...];
// "username" (or "userName") and "password" of the dictionary take precedence over the URL's. Every
// connection speaks UTF-8, searches the schemas of the dictionary's "searchPath" ("a, b": the first holds
// the model's tables and procedures), names itself to the server with "applicationName", and gives up after
// a bounded time (connectTimeout of the dictionary, connect_timeout of the URL, 5 seconds by default)
// instead of hanging on a server that does not answer; keepalives notice a server that vanished later. The
// dictionary's "installHint" completes the messages of a database that lacks the model's tables or
// procedures.
// Each session has the time limits lockTimeout and statementTimeout of the dictionary (seconds, 0 for none;
// 10 and 60 by default).
class EOPostgreSQLConnection
{
public:
    struct Closer {
        void operator()(pg_conn *connection) const;
    };
    struct ResultClearer {
        void operator()(pg_result *result) const;
    };
    using Handle = std::unique_ptr<pg_conn, Closer>;
    using Result = std::unique_ptr<pg_result, ResultClearer>;

    struct Parameters {
        QList<QPair<QByteArray, QByteArray>> keywords; // libpq keyword, value
        QString server;                                // "host:port" for messages
        QString database;
        QString user;
        QString schema; // the first schema searched, none for the server's default
        QString installHint;
    };

    static constexpr int DefaultConnectTimeout = 5;

    // Throws EOException (Kind::Connection) for a URL that names no PostgreSQL database, or a search path
    // that is not a list of schema names.
    static Parameters parametersForDictionary(const QVariantMap &dictionary);
    // The same parameters with another database of the same server (the maintenance database, a database
    // the tests make).
    static Parameters withDatabase(Parameters parameters, const QString &database);
    // Connects, or throws EOException (Kind::Connection) with a French message.
    static Handle connect(const Parameters &parameters);

    // "« host:port/database »" as the messages name a server.
    static QString describe(const Parameters &parameters);
    // The French message of a connection that could not be opened, from libpq's own text.
    static QString connectionFailureMessage(const Parameters &parameters, const QString &detail);
    // The message of a connection lost while in use.
    static QString lostConnectionMessage(const Parameters &parameters, bool transactionLost);
    // The message of a connection lost after writes were sent and before the server confirmed them.
    static QString unconfirmedWriteMessage(const Parameters &parameters);
    // The link broke before the COMMIT was answered, and the server, asked again, says nothing was stored.
    static QString rolledBackAfterLossMessage(const Parameters &parameters);
    // The EOException of a failed statement: the procedure's own message for a refusal it raised, a French
    // sentence of what happened and what to do otherwise. context names what was running (a procedure, a
    // statement) for the messages that are not the user's.
    static EOException errorOfResult(const pg_result *result, const Parameters &parameters,
                                     const QString &context);
    // The same from the SQL state and the server's message, which goes to the log (">>>>> " line) with
    // the context, never to the user, unless it is a procedure's refusal (P0001).
    static EOException errorForState(const QByteArray &state, const QString &serverMessage,
                                     const Parameters &parameters, const QString &context);

    // Runs SQL without values (several statements may follow each other) and throws on failure.
    static void execute(pg_conn *connection, const Parameters &parameters, const QString &sql,
                        const QString &context = QString());

private:
    // The French message of a state that is not a procedure's refusal.
    static EOException frenchError(const QByteArray &state, const Parameters &parameters,
                                   const QString &context);
};

} // namespace eo
