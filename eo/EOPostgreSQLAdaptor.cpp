#include "EOPostgreSQLAdaptor.h"

#include "EOColumnInterner.h"
#include "EODecimal.h"
#include "EOException.h"
#include "EOHiddenCharacter.h"
#include "EONull.h"
#include "EOStoredProcedure.h"
#include "EOValues.h"

#include <QDate>
#include <QDateTime>
#include <QDebug>
#include <QElapsedTimer>
#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <libpq-fe.h>
#include <poll.h>

namespace eo
{

namespace
{

using Result = EOPostgreSQLConnection::Result;

// Type identifiers of the server's built-in types (pg_type), as every server has them.
constexpr Oid BoolType = 16;
constexpr Oid Int8Type = 20;
constexpr Oid Int2Type = 21;
constexpr Oid Int4Type = 23;
constexpr Oid OidType = 26;
constexpr Oid Float4Type = 700;
constexpr Oid Float8Type = 701;
constexpr Oid NumericType = 1700;

enum class ColumnKind { Integer, Numeric, Float, Boolean, Text };

ColumnKind kindOf(Oid type)
{
    switch (type) {
    case Int2Type:
    case Int4Type:
    case Int8Type:
    case OidType:
        return ColumnKind::Integer;
    case NumericType:
        return ColumnKind::Numeric;
    case Float4Type:
    case Float8Type:
        return ColumnKind::Float;
    case BoolType:
        return ColumnKind::Boolean;
    default:
        return ColumnKind::Text;
    }
}

bool isSuccess(const PGresult *result)
{
    if (!result)
        return false;
    const ExecStatusType status = PQresultStatus(result);
    return status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK || status == PGRES_EMPTY_QUERY;
}

bool parseInteger(const char *text, int length, qint64 *value)
{
    const auto [end, error] = std::from_chars(text, text + length, *value);
    return error == std::errc() && end == text + length;
}

double parseDouble(const char *text, int length)
{
    double value = 0;
    const auto [end, error] = std::from_chars(text, text + length, value);
    if (error == std::errc() && end == text + length)
        return value;
    // NaN, Infinity and the like, which from_chars spells differently.
    return QByteArray(text, length).toDouble();
}

// A number as the embedded database answers it: a whole number is an integer, any other a double.
QVariant numberOf(const char *text, int length, ColumnKind kind)
{
    qint64 integer = 0;
    switch (kind) {
    case ColumnKind::Integer:
    case ColumnKind::Numeric:
        if (parseInteger(text, length, &integer))
            return QVariant(integer);
        return QVariant(parseDouble(text, length));
    case ColumnKind::Float:
        return QVariant(parseDouble(text, length));
    case ColumnKind::Boolean:
        return QVariant(qint64(text[0] == 't' ? 1 : 0));
    case ColumnKind::Text:
        break;
    }
    return QVariant(QString::fromUtf8(text, length));
}

// A statement that ran out of time or was cancelled ends the caller's transaction: the user gave up on the
// whole operation, whose other calls must not be committed without this one.
bool endsTransaction(const PGresult *result)
{
    const QByteArray state = result ? QByteArray(PQresultErrorField(result, PG_DIAG_SQLSTATE)) : QByteArray();
    return state == "55P03" || state == "57014";
}

bool isIdentifier(const QString &name)
{
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return identifier.match(name).hasMatch();
}

} // namespace

EOPostgreSQLAdaptor::EOPostgreSQLAdaptor() = default;

EOPostgreSQLAdaptor::~EOPostgreSQLAdaptor()
{
    close();
}

void EOPostgreSQLAdaptor::close()
{
    // Closing ends an open transaction on the server: nothing of it is kept.
    m_prefetched.clear();
    m_connection.reset();
    m_transaction = Transaction::None;
    m_abandonReason.clear();
}

const EOPostgreSQLConnection::Parameters &EOPostgreSQLAdaptor::parameters()
{
    if (!m_parameters || m_parametersSource != connectionDictionary()) {
        m_parameters = EOPostgreSQLConnection::parametersForDictionary(connectionDictionary());
        m_parametersSource = connectionDictionary();
    }
    return *m_parameters;
}

pg_conn *EOPostgreSQLAdaptor::handle()
{
    const Call call(*this);
    open();
    return m_connection.get();
}

bool EOPostgreSQLAdaptor::discardDroppedConnection()
{
    pg_conn *connection = m_connection.get();
    bool dropped = m_broken || PQstatus(connection) == CONNECTION_BAD;
    // An idle server says nothing: anything to read now is its farewell (an administrator ended the
    // session, the server restarted) or the end of the connection itself.
    pollfd readable{PQsocket(connection), POLLIN, 0};
    for (int attempt = 0; !dropped && attempt < 4 && ::poll(&readable, 1, 0) > 0; ++attempt) {
        if (!PQconsumeInput(connection) || PQstatus(connection) == CONNECTION_BAD)
            dropped = true;
        while (PGnotify *notification = PQnotifies(connection))
            PQfreemem(notification);
    }
    if (dropped)
        m_connection.reset();
    return dropped;
}

void EOPostgreSQLAdaptor::connectionLost(bool transactionLost)
{
    m_connection.reset();
    const QString message = EOPostgreSQLConnection::lostConnectionMessage(parameters(), transactionLost);
    if (transactionLost) {
        // Whatever the caller sends next belongs to the lost transaction: it must not run on its own on a new
        // connection and be committed alone.
        m_transaction = Transaction::Abandoned;
        m_abandonReason = QStringLiteral("la connexion au serveur de base de données « %1 » a été perdue.")
                              .arg(parameters().server);
    } else {
        m_transaction = Transaction::None;
    }
    throw EOException(EOException::Kind::Connection, message);
}

void EOPostgreSQLAdaptor::abandonTransaction(const QString &reason)
{
    if (m_connection && !connectionBroken()) {
        ++m_roundTrips;
        if (PQsendQuery(m_connection.get(), "ROLLBACK"))
            collect();
    }
    m_transaction = Transaction::Abandoned;
    m_abandonReason = reason;
}

QString EOPostgreSQLAdaptor::abandonedMessage() const
{
    return QStringLiteral("La transaction en cours a été annulée (%1) : rien n'en a été enregistré. "
                          "Recommencez l'opération.")
        .arg(m_abandonReason.endsWith(QLatin1Char('.')) ? m_abandonReason.chopped(1) : m_abandonReason);
}

void EOPostgreSQLAdaptor::failAbandoned()
{
    throw EOException(EOException::Kind::Database, abandonedMessage());
}

void EOPostgreSQLAdaptor::open()
{
    if (m_connection && discardDroppedConnection() && m_transaction == Transaction::Open)
        connectionLost(true);
    if (!m_connection) {
        m_broken = false;
        // Answers read on another connection are not taken for reads of this one.
        m_prefetched.clear();
        m_connection = EOPostgreSQLConnection::connect(parameters());
        // Known while the connection lives: a broken one no longer says which session it was.
        m_sessionBackend = QByteArray::number(PQbackendPID(m_connection.get()));
        // Whether this account may use the inventory's schema at all: without it, its tables and procedures
        // look missing, and the user must hear about rights, not about installing the schema.
        m_schemaForbidden = false;
        const QByteArray schema = parameters().schema.toUtf8();
        if (schema.isEmpty()) {
            applySessionLogin();
            return;
        }
        // The rights and the user's login in one round trip: every new connection pays it.
        const Statement rights{
            "SELECT has_schema_privilege(oid, 'USAGE') FROM pg_namespace WHERE nspname = $1", {schema}};
        const Statement login = loginSetting();
        std::vector<Result> results;
        m_cancelSent = false;
        if (!pipeline({&rights, &login}, results) || connectionBroken())
            connectionLost(m_transaction == Transaction::Open);
        m_schemaForbidden = PQresultStatus(results[0].get()) == PGRES_TUPLES_OK &&
                            PQntuples(results[0].get()) == 1 &&
                            QByteArray(PQgetvalue(results[0].get(), 0, 0)) == "f";
        if (isSuccess(results[1].get()))
            return;
        // The rights could not be read, which skipped the login: it is given on its own.
        if (!isSuccess(results[0].get()))
            applySessionLogin();
        else
            throw errorOf(results[1].get(), QStringLiteral("eo.login"));
    }
}

EOPostgreSQLAdaptor::Statement EOPostgreSQLAdaptor::loginSetting() const
{
    // For the session (not the transaction): a new connection is the only way to lose it.
    return {"SELECT set_config('eo.login', $1, false)", {sessionLogin().toUtf8()}};
}

void EOPostgreSQLAdaptor::applySessionLogin()
{
    if (!m_connection)
        return;
    const Call call(*this);
    m_cancelSent = false;
    const Result result = exec(loginSetting());
    if (isSuccess(result.get()))
        return;
    if (connectionBroken())
        connectionLost(m_transaction == Transaction::Open);
    throw errorOf(result.get(), QStringLiteral("eo.login"));
}

bool EOPostgreSQLAdaptor::connectionBroken() const
{
    return m_broken || !m_connection || PQstatus(m_connection.get()) == CONNECTION_BAD;
}

void EOPostgreSQLAdaptor::sendCancel()
{
    if (m_cancelSent)
        return;
    m_cancelSent = true;
    if (PGcancel *cancel = PQgetCancel(m_connection.get())) {
        char error[256];
        PQcancel(cancel, error, int(sizeof error));
        PQfreeCancel(cancel);
    }
}

bool EOPostgreSQLAdaptor::awaitResult()
{
    pg_conn *connection = m_connection.get();
    QElapsedTimer waited;
    waited.start();
    while (PQisBusy(connection)) {
        pollfd readable{PQsocket(connection), POLLIN, 0};
        const int ready = ::poll(&readable, 1, 50);
        if (ready < 0 && errno != EINTR) {
            m_broken = true;
            return false;
        }
        if (ready > 0) {
            if (!PQconsumeInput(connection)) {
                m_broken = true;
                return false;
            }
            continue;
        }
        if (ready == 0 && observeWait(waited.elapsed()))
            sendCancel();
    }
    return true;
}

EOPostgreSQLConnection::Result EOPostgreSQLAdaptor::nextResult()
{
    if (!m_connection || !awaitResult())
        return {};
    return Result(PQgetResult(m_connection.get()));
}

EOPostgreSQLConnection::Result EOPostgreSQLAdaptor::collect()
{
    Result kept;
    while (Result received = nextResult()) {
        if (!kept || (isSuccess(kept.get()) && !isSuccess(received.get())))
            kept = std::move(received);
    }
    return kept;
}

EOException EOPostgreSQLAdaptor::errorOf(const pg_result *result, const QString &context) const
{
    const QByteArray state = result ? QByteArray(PQresultErrorField(result, PG_DIAG_SQLSTATE)) : QByteArray();
    const QString server = QStringLiteral("« %1 »").arg(m_parameters ? m_parameters->server : QString());
    if (state == "57014" && m_cancelSent) {
        return EOException(EOException::Kind::Database,
                           QStringLiteral("%1 a été annulée à votre demande : rien n'en a été enregistré.")
                               .arg(capitalizedActivity()));
    }
    if (state == "55P03") {
        return EOException(
            EOException::Kind::Database,
            QStringLiteral("%1 a attendu plus de %2 s des données qu'un autre utilisateur du serveur "
                           "%3 tient occupées : elle a été abandonnée et rien n'en a été "
                           "enregistré. Réessayez dans un instant.")
                .arg(capitalizedActivity())
                .arg(lockTimeout())
                .arg(server));
    }
    if (state == "57014" &&
        QString::fromUtf8(PQresultErrorMessage(result)).contains(QLatin1String("statement timeout"))) {
        return EOException(
            EOException::Kind::Database,
            QStringLiteral("%1 a dépassé la durée permise sur le serveur %2 (%3 s) : elle a été "
                           "abandonnée et rien n'en a été enregistré.")
                .arg(capitalizedActivity(), server)
                .arg(statementTimeout()));
    }
    if (m_schemaForbidden && (state == "42P01" || state == "3F000" || state == "42883" || state == "42501")) {
        return EOException(
            EOException::Kind::Database,
            QStringLiteral("Droits insuffisants : le compte « %1 » n'a pas accès au schéma %2 du "
                           "serveur %3. Demandez à l'administrateur de la base de l'ajouter au "
                           "groupe des utilisateurs du programme.")
                .arg(m_connection ? QString::fromUtf8(PQuser(m_connection.get())) : m_parameters->user,
                     m_parameters->schema, server));
    }
    return EOPostgreSQLConnection::errorOfResult(result, *m_parameters, context);
}

std::optional<QByteArray> EOPostgreSQLAdaptor::textOf(const QVariant &value)
{
    if (isNullOrNone(value))
        return std::nullopt;
    if (value.metaType() == QMetaType::fromType<EODecimal>())
        return value.value<EODecimal>().toString().toUtf8();
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return value.toBool() ? QByteArray("1") : QByteArray("0");
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return QByteArray::number(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return QByteArray::number(value.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float: {
        const double number = value.toDouble();
        if (std::isnan(number))
            return QByteArray("NaN");
        if (std::isinf(number))
            return number > 0 ? QByteArray("Infinity") : QByteArray("-Infinity");
        // The shortest text that reads back as the same double: 0.1 stays 0.1 in a NUMERIC column.
        return QByteArray::number(number, 'g', QLocale::FloatingPointShortest);
    }
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate).toUtf8();
    case QMetaType::QDateTime:
        return value.toDateTime().toString(Qt::ISODateWithMs).toUtf8();
    default:
        break;
    }
    QByteArray text = value.toString().toUtf8();
    if (text.contains('\0')) {
        // The server keeps no such character, and libpq would cut the value there: refuse it rather than
        // compare or store something else than what was given.
        throw EOException(EOException::Kind::Database, EOHiddenCharacter::nulRefusal());
    }
    return text;
}

EOPostgreSQLAdaptor::Statement EOPostgreSQLAdaptor::statement(const QString &sql,
                                                              const QVariantList &bindings)
{
    Statement result{sql.toUtf8(), {}};
    result.values.reserve(size_t(bindings.size()));
    for (const QVariant &value : bindings)
        result.values.push_back(textOf(value));
    return result;
}

Result EOPostgreSQLAdaptor::exec(const Statement &statement)
{
    std::vector<const char *> values;
    values.reserve(statement.values.size());
    for (const auto &value : statement.values)
        values.push_back(value ? value->constData() : nullptr);
    ++m_roundTrips;
    if (!PQsendQueryParams(m_connection.get(), statement.sql.constData(), int(values.size()), nullptr,
                           values.data(), nullptr, nullptr, 0))
        return {};
    return collect();
}

void EOPostgreSQLAdaptor::simple(const char *sql, const QString &context)
{
    ++m_roundTrips;
    const Result result = PQsendQuery(m_connection.get(), sql) ? collect() : Result();
    if (isSuccess(result.get()))
        return;
    if (connectionBroken())
        connectionLost(m_transaction == Transaction::Open);
    throw errorOf(result.get(), context);
}

bool EOPostgreSQLAdaptor::pipeline(const std::vector<const Statement *> &statements,
                                   std::vector<Result> &results)
{
    pg_conn *connection = m_connection.get();
    results.clear();
    results.resize(statements.size());
    if (!PQenterPipelineMode(connection))
        return false;
    for (const Statement *statement : statements) {
        std::vector<const char *> values;
        for (const auto &value : statement->values)
            values.push_back(value ? value->constData() : nullptr);
        if (!PQsendQueryParams(connection, statement->sql.constData(), int(values.size()), nullptr,
                               values.data(), nullptr, nullptr, 0))
            return false;
    }
    if (!PQpipelineSync(connection))
        return false;
    ++m_roundTrips;
    // Each statement's answer ends with a null result; the sync point comes last.
    for (Result &result : results) {
        while (Result received = nextResult()) {
            if (!result)
                result = std::move(received);
        }
        if (connectionBroken())
            return false;
    }
    return syncPoint(nullptr, QString()) && PQexitPipelineMode(connection) == 1;
}

bool EOPostgreSQLAdaptor::syncPoint(QString *failure, const QString &context)
{
    // Nothing but the sync point is expected here: a few reads at most, never an endless wait.
    for (int read = 0; read < 8; ++read) {
        const Result received = nextResult();
        if (!received) {
            if (connectionBroken())
                return false;
            continue;
        }
        if (PQresultStatus(received.get()) == PGRES_PIPELINE_SYNC)
            return true;
        if (failure && failure->isEmpty() && !isSuccess(received.get()))
            *failure = errorOf(received.get(), context).message();
    }
    return false;
}

Result EOPostgreSQLAdaptor::runOnce(const Statement &statement, const QString &context, bool *retry)
{
    *retry = false;
    if (m_transaction == Transaction::Abandoned)
        failAbandoned();
    open();
    m_cancelSent = false;
    auto failure = [&](std::vector<Result> &results) -> const PGresult * {
        for (const Result &result : results) {
            if (result && !isSuccess(result.get()) && PQresultStatus(result.get()) != PGRES_PIPELINE_ABORTED)
                return result.get();
        }
        return nullptr;
    };

    switch (m_transaction) {
    case Transaction::None: {
        Result result = exec(statement);
        if (isSuccess(result.get()))
            return result;
        if (connectionBroken()) {
            m_connection.reset();
            *retry = true;
            return {};
        }
        throw errorOf(result.get(), context);
    }
    case Transaction::Pending: {
        // The caller's transaction begins with its first statement, in the same round trip.
        std::vector<const Statement *> sent = openingStatements();
        sent.push_back(&statement);
        std::vector<Result> results;
        const bool alive = pipeline(sent, results);
        if (alive && isSuccess(results[0].get()) && isSuccess(results[2].get())) {
            m_transaction = Transaction::Open;
            keepTransactionId(results[1].get());
            return std::move(results[2]);
        }
        if (!alive || connectionBroken()) {
            // Nothing was committed: the transaction is still to begin, on a new connection.
            m_connection.reset();
            *retry = true;
            return {};
        }
        const EOException error = errorOf(failure(results), context);
        if (endsTransaction(failure(results))) {
            abandonTransaction(error.message());
            throw error;
        }
        // Refused: the transaction holds nothing yet; end it, the caller's is still to begin.
        simple("ROLLBACK", QStringLiteral("ROLLBACK"));
        throw error;
    }
    case Transaction::Open: {
        static const Statement savepoint{"SAVEPOINT eo_statement", {}};
        static const Statement release{"RELEASE SAVEPOINT eo_statement", {}};
        std::vector<Result> results;
        const bool alive = pipeline({&savepoint, &statement, &release}, results);
        if (alive && isSuccess(results[0].get()) && isSuccess(results[1].get()) &&
            isSuccess(results[2].get()))
            return std::move(results[1]);
        if (!alive || connectionBroken())
            connectionLost(true);
        const EOException error = errorOf(failure(results), context);
        if (endsTransaction(failure(results))) {
            abandonTransaction(error.message());
            throw error;
        }
        // Refused: back to the savepoint, the transaction goes on as it was before the statement.
        simple("ROLLBACK TO SAVEPOINT eo_statement; RELEASE SAVEPOINT eo_statement",
               QStringLiteral("ROLLBACK TO SAVEPOINT"));
        throw error;
    }
    case Transaction::Abandoned:
        failAbandoned();
    }
    return {};
}

Result EOPostgreSQLAdaptor::run(const Statement &statement, Purpose purpose, const QString &context)
{
    bool retry = false;
    Result result = runOnce(statement, context, &retry);
    if (result)
        return result;
    // The connection broke before the statement could take effect: a read, or a statement of a transaction
    // that had not begun yet, is sent again once on a new connection. A write outside any transaction may
    // have been done already and is not repeated.
    if (retry && (purpose == Purpose::Read || m_transaction == Transaction::Pending)) {
        result = runOnce(statement, context, &retry);
        if (result)
            return result;
    }
    connectionLost(false);
    return {};
}

std::vector<QList<QVariant>> EOPostgreSQLAdaptor::selectRows(const QString &sql, const QVariantList &bindings,
                                                             const QList<EOAttribute::Type> &types)
{
    const Call call(*this);
    const Statement read = statement(sql, bindings);
    Result result;
    const PGresult *rows = prefetchedAnswer(read);
    if (!rows) {
        result = run(read, Purpose::Read, sql.left(120));
        rows = result.get();
    }
    const int rowCount = PQntuples(rows);
    const int columns = PQnfields(rows);
    std::vector<ColumnKind> kinds;
    for (int c = 0; c < columns; ++c)
        kinds.push_back(kindOf(PQftype(rows, c)));
    std::vector<EOColumnInterner> interners(static_cast<size_t>(columns));
    const QVariant null = eoNull();

    std::vector<QList<QVariant>> records;
    records.reserve(size_t(rowCount));
    for (int r = 0; r < rowCount; ++r) {
        QList<QVariant> row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c) {
            if (PQgetisnull(rows, r, c)) {
                row.append(null);
                continue;
            }
            const char *text = PQgetvalue(rows, r, c);
            const int length = PQgetlength(rows, r, c);
            const ColumnKind kind = kinds[size_t(c)];
            const EOAttribute::Type type = c < types.size() ? types.at(c) : EOAttribute::Type::Text;
            if (kind == ColumnKind::Text) {
                row.append(QVariant(interners[size_t(c)].text(text, length)));
            } else if (type == EOAttribute::Type::Decimal) {
                row.append(QVariant(kind == ColumnKind::Boolean ? (text[0] == 't' ? 1.0 : 0.0)
                                                                : parseDouble(text, length)));
            } else if (type == EOAttribute::Type::Number) {
                row.append(numberOf(text, length, kind));
            } else if (kind == ColumnKind::Integer) {
                row.append(QVariant(interners[size_t(c)].text(text, length)));
            } else {
                // A number read as text: as the user reads it ("2.8", "12").
                row.append(QVariant(EOValues::displayText(numberOf(text, length, kind))));
            }
        }
        records.push_back(std::move(row));
    }
    return records;
}

QList<QVariantMap> EOPostgreSQLAdaptor::rawRows(const QString &sql, const QVariantList &bindings)
{
    const Call call(*this);
    // Raw SQL may write: what was read ahead may no longer be what the server holds.
    m_prefetched.clear();
    const QString numbered = numberedPlaceholders(sql);
    const Result result = run(statement(numbered, bindings), Purpose::Read, sql.left(120));
    return rowsOf(result.get());
}

QList<QVariantMap> EOPostgreSQLAdaptor::rowsOf(const pg_result *rows)
{
    const int columns = PQnfields(rows);
    QStringList names;
    std::vector<ColumnKind> kinds;
    for (int c = 0; c < columns; ++c) {
        names.append(QStringLiteral("Attribute%1").arg(c));
        kinds.push_back(kindOf(PQftype(rows, c)));
    }
    QList<QVariantMap> records;
    const int rowCount = PQntuples(rows);
    for (int r = 0; r < rowCount; ++r) {
        QVariantMap row;
        for (int c = 0; c < columns; ++c) {
            row.insert(names.at(c),
                       PQgetisnull(rows, r, c)
                           ? eoNull()
                           : numberOf(PQgetvalue(rows, r, c), PQgetlength(rows, r, c), kinds[size_t(c)]));
        }
        records.append(row);
    }
    return records;
}

std::vector<QList<QVariantMap>> EOPostgreSQLAdaptor::rawRowsTogether(const std::vector<RawQuery> &queries)
{
    const Call call(*this);
    // Raw SQL may write: what was read ahead may no longer be what the server holds.
    m_prefetched.clear();
    if (queries.size() < 2 || (m_transaction != Transaction::None && m_transaction != Transaction::Pending))
        return EOAdaptor::rawRowsTogether(queries);
    std::vector<Statement> statements;
    for (const auto &[sql, bindings] : queries)
        statements.push_back(statement(numberedPlaceholders(sql), bindings));
    const QString context = queries.front().first.left(120);
    // A connection that broke before anything was committed: once more on a new one.
    for (int attempt = 0; attempt < 2; ++attempt) {
        open();
        m_cancelSent = false;
        const bool begins = m_transaction == Transaction::Pending;
        std::vector<const Statement *> sent;
        if (begins)
            sent = openingStatements();
        for (const Statement &statement : statements)
            sent.push_back(&statement);
        std::vector<Result> results;
        if (!pipeline(sent, results) || connectionBroken()) {
            m_connection.reset();
            continue;
        }
        const auto failed = std::find_if(results.cbegin(), results.cend(), [](const Result &result) {
            return !isSuccess(result.get()) && PQresultStatus(result.get()) != PGRES_PIPELINE_ABORTED;
        });
        if (failed == results.cend()) {
            const size_t opening = begins ? openingStatements().size() : 0;
            if (begins) {
                m_transaction = Transaction::Open;
                keepTransactionId(results[1].get());
            }
            std::vector<QList<QVariantMap>> rows;
            for (size_t r = opening; r < results.size(); ++r)
                rows.push_back(rowsOf(results[r].get()));
            return rows;
        }
        const EOException error = errorOf(failed->get(), context);
        if (begins && endsTransaction(failed->get())) {
            abandonTransaction(error.message());
            throw error;
        }
        // Refused: a transaction begun with them holds nothing yet and is still to begin.
        if (begins)
            simple("ROLLBACK", QStringLiteral("ROLLBACK"));
        throw error;
    }
    connectionLost(false);
}

QString EOPostgreSQLAdaptor::numberedPlaceholders(const QString &sql)
{
    QString out;
    out.reserve(sql.size() + 8);
    int next = 0;
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = sql.at(i);
        if (c == u'\'' || c == u'"') {
            // A quoted text or name, doubled quotes included.
            const qsizetype start = i;
            for (++i; i < n; ++i) {
                if (sql.at(i) == c) {
                    if (i + 1 < n && sql.at(i + 1) == c) {
                        ++i;
                        continue;
                    }
                    break;
                }
            }
            out += sql.mid(start, i - start + 1);
        } else if (c == u'-' && i + 1 < n && sql.at(i + 1) == u'-') {
            const qsizetype end = sql.indexOf(QLatin1Char('\n'), i);
            const qsizetype stop = end < 0 ? n : end;
            out += sql.mid(i, stop - i);
            i = stop - 1;
        } else if (c == u'/' && i + 1 < n && sql.at(i + 1) == u'*') {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            const qsizetype stop = end < 0 ? n : end + 2;
            out += sql.mid(i, stop - i);
            i = stop - 1;
        } else if (c == u'?') {
            out += QStringLiteral("$%1").arg(++next);
        } else {
            out += c;
        }
    }
    return out;
}

QString EOPostgreSQLAdaptor::procedureCall(const EOStoredProcedure &procedure,
                                           const QStringList &argumentNames, const QString &schema)
{
    const QString function = procedure.externalName.isEmpty() ? procedure.name : procedure.externalName;
    if (!isIdentifier(function)) {
        throw EOException(
            EOException::Kind::Model,
            QStringLiteral("Le nom de procédure « %1 » n'est pas un identifiant SQL.").arg(function));
    }
    QStringList arguments;
    int index = 0;
    for (const QString &name : argumentNames) {
        if (!isIdentifier(name)) {
            throw EOException(
                EOException::Kind::Model,
                QStringLiteral("L'argument « %1 » de la procédure %2 n'est pas un identifiant SQL.")
                    .arg(name, procedure.name));
        }
        arguments.append(QStringLiteral("%1 => $%2").arg(name.toLower()).arg(++index));
    }
    const QString qualified =
        schema.isEmpty() ? function.toLower() : schema + QLatin1Char('.') + function.toLower();
    return QStringLiteral("SELECT * FROM %1(%2)").arg(qualified, arguments.join(QLatin1String(", ")));
}

EOPostgreSQLAdaptor::Statement EOPostgreSQLAdaptor::procedureStatement(const EOStoredProcedure &procedure,
                                                                       const QVariantMap &values)
{
    checkArguments(procedure, values);
    QStringList names;
    QVariantList bindings;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        const EOStoredProcedure::Argument *argument = procedure.argumentNamed(it.key());
        // Output arguments are answers, never sent.
        if (argument && argument->output)
            continue;
        names.append(it.key());
        bindings.append(it.value());
    }
    return statement(procedureCall(procedure, names, parameters().schema), bindings);
}

QVariantMap EOPostgreSQLAdaptor::outputsOf(const EOStoredProcedure &procedure, const pg_result *answer)
{
    QVariantMap outputs;
    if (!answer || PQntuples(answer) < 1)
        return outputs;
    for (int c = 0; c < PQnfields(answer); ++c) {
        const QString column = QString::fromUtf8(PQfname(answer, c));
        for (const EOStoredProcedure::Argument &argument : procedure.arguments) {
            if (!argument.output || argument.name.compare(column, Qt::CaseInsensitive) != 0)
                continue;
            outputs.insert(argument.name, PQgetisnull(answer, 0, c)
                                              ? eoNull()
                                              : numberOf(PQgetvalue(answer, 0, c), PQgetlength(answer, 0, c),
                                                         kindOf(PQftype(answer, c))));
        }
    }
    return outputs;
}

QVariantMap EOPostgreSQLAdaptor::executeStoredProcedure(const EOStoredProcedure &procedure,
                                                        const QVariantMap &values)
{
    const Call call(*this);
    // A procedure writes: what was read ahead may no longer be what the server holds.
    m_prefetched.clear();
    const Result result = run(procedureStatement(procedure, values), Purpose::Write,
                              QStringLiteral("procédure %1").arg(procedure.name));
    return outputsOf(procedure, result.get());
}

EOTransactionSteps::Result EOPostgreSQLAdaptor::runTransaction(const EOTransactionSteps &transaction)
{
    using State = EOTransactionSteps::State;
    const Call call(*this);
    // The steps write: what was read ahead may no longer be what the server holds.
    m_prefetched.clear();
    const size_t count = transaction.steps.size();
    EOTransactionSteps::Result result;
    result.steps.resize(count);
    bool continuing = transaction.continuesOpenTransaction && m_transaction != Transaction::None;
    // A transaction begun with nothing sent yet simply begins with the steps.
    if (continuing && m_transaction == Transaction::Pending) {
        m_transaction = Transaction::None;
        continuing = false;
    }
    if (!continuing)
        transaction.note(QStringLiteral("begin"));

    // Every statement is written before anything is sent: a call the program cannot write (an unknown
    // procedure or argument, a value the server does not keep) refuses its own step only.
    std::vector<std::vector<Statement>> statements(count);
    std::vector<bool> toSend(count, true);
    for (size_t s = 0; s < count; ++s) {
        const std::vector<EOTransactionSteps::Call> &calls = transaction.steps[s].calls;
        for (size_t c = 0; c < calls.size() && toSend[s]; ++c) {
            transaction.note(calls[c].name);
            try {
                statements[s].push_back(procedureStatement(calls[c].requireProcedure(), calls[c].values));
            } catch (const EOException &error) {
                EOTransactionSteps::StepOutcome &outcome = result.steps[s];
                outcome.refused = true;
                outcome.refusedCall = int(c);
                outcome.message = error.message();
                toSend[s] = false;
            }
        }
        if (!toSend[s] && transaction.steps[s].essential) {
            // Nothing of the transaction may be stored: it ends here, before anything is sent.
            transaction.note(QStringLiteral("rollback"));
            endTransactionQuietly();
            return result;
        }
        if (!toSend[s])
            transaction.note(QStringLiteral("rollback step"));
    }
    transaction.note(QStringLiteral("commit"));

    // The open transaction, when it cannot be carried on, ends here without anything sent.
    if (continuing && m_transaction == Transaction::Abandoned) {
        result.message = abandonedMessage();
        endTransactionQuietly();
        return result;
    }
    if (continuing && (!m_connection || discardDroppedConnection())) {
        result.message = EOPostgreSQLConnection::lostConnectionMessage(parameters(), true);
        m_connection.reset();
        endTransactionQuietly();
        return result;
    }
    if (!continuing) {
        m_transaction = Transaction::None;
        try {
            open();
        } catch (const EOException &error) {
            // Nothing was sent: nothing is stored.
            result.message = error.message();
            return result;
        }
    }
    m_transaction = Transaction::Open;

    Round round{continuing, false, 0};
    for (;;) {
        const RoundEnd end = sendRound(transaction, statements, toSend, round, result);
        switch (end) {
        case RoundEnd::Committed:
            result.state = State::Committed;
            forgetTransaction();
            return result;
        case RoundEnd::CommitRefused:
            forgetTransaction();
            return result;
        case RoundEnd::StepRefused: {
            // The step that the server refused is the last one answered; the transaction waits in error.
            const size_t refused = round.firstStep;
            if (transaction.steps[refused].essential) {
                transaction.note(QStringLiteral("rollback"));
                endTransactionQuietly();
                return result;
            }
            round = Round{true, true, refused + 1};
            continue;
        }
        case RoundEnd::LinkLost:
            break;
        }
        break;
    }
    // The link broke while the round was on its way: the server may have committed it or not. Asked on a new
    // connection when it can be.
    if (m_transactionBackend.isEmpty())
        m_transactionBackend = m_sessionBackend;
    m_connection.reset();
    m_transaction = Transaction::None;
    m_abandonReason.clear();
    result.state = confirmLostCommit(&result.message);
    result.confirmedAfterLoss = result.state == State::Committed;
    return result;
}

EOPostgreSQLAdaptor::RoundEnd EOPostgreSQLAdaptor::sendRound(
    const EOTransactionSteps &transaction, const std::vector<std::vector<Statement>> &statements,
    const std::vector<bool> &toSend, Round &round, EOTransactionSteps::Result &result)
{
    pg_conn *connection = m_connection.get();
    static const Statement savepoint{"SAVEPOINT eo_step", {}};
    static const Statement release{"RELEASE SAVEPOINT eo_step", {}};
    static const Statement backToStep{"ROLLBACK TO SAVEPOINT eo_step", {}};
    static const Statement commit{"COMMIT", {}};
    auto send = [connection](const Statement &statement) {
        std::vector<const char *> values;
        values.reserve(statement.values.size());
        for (const auto &value : statement.values)
            values.push_back(value ? value->constData() : nullptr);
        return PQsendQueryParams(connection, statement.sql.constData(), int(values.size()), nullptr,
                                 values.data(), nullptr, nullptr, 0) == 1;
    };
    m_cancelSent = false;
    if (!PQenterPipelineMode(connection))
        return RoundEnd::LinkLost;
    // Written without blocking, and read meanwhile: a server that answers the first steps before it has read
    // the last ones would otherwise wait on the program while the program waits on it.
    PQsetnonblocking(connection, 1);
    auto flush = [connection]() {
        for (;;) {
            const int pending = PQflush(connection);
            if (pending <= 0)
                return pending == 0;
            pollfd both{PQsocket(connection), POLLIN | POLLOUT, 0};
            if (::poll(&both, 1, 1000) < 0 && errno != EINTR)
                return false;
            if ((both.revents & POLLIN) && !PQconsumeInput(connection))
                return false;
        }
    };
    // One sync point for the whole round: a refused call makes the server skip everything after it, the
    // COMMIT included, and the transaction waits, in error, for the next round to go back to the step.
    bool written = true;
    if (!round.began) {
        // A sync point of their own: the server answers the transaction's number before it runs the steps,
        // so that the number is known even when the link breaks while the COMMIT is on its way.
        for (const Statement *opening : openingStatements())
            written = written && send(*opening);
        written = written && PQpipelineSync(connection) == 1;
    }
    if (round.backToStep)
        written = written && send(backToStep) && send(release);
    for (size_t s = round.firstStep; s < statements.size() && written; ++s) {
        if (!toSend[s])
            continue;
        written = send(savepoint);
        for (const Statement &statement : statements[s])
            written = written && send(statement);
        written = written && send(release);
    }
    written = written && send(commit) && PQpipelineSync(connection) == 1 && flush();
    PQsetnonblocking(connection, 0);
    ++m_roundTrips;
    if (!written)
        return RoundEnd::LinkLost;

    // One statement's answer, ended by a null result; none when the link broke.
    auto answer = [this]() {
        Result first;
        while (Result received = nextResult()) {
            if (!first)
                first = std::move(received);
        }
        return connectionBroken() ? Result() : std::move(first);
    };
    QString failure;
    auto failed = [&](const Result &answered, const QString &context) {
        if (isSuccess(answered.get()) || PQresultStatus(answered.get()) == PGRES_PIPELINE_ABORTED)
            return false;
        if (failure.isEmpty())
            failure = errorOf(answered.get(), context).message();
        return true;
    };

    if (!round.began) {
        const Result began = answer();
        const Result identifier = answer();
        if (!began || !identifier)
            return RoundEnd::LinkLost;
        keepTransactionId(identifier.get());
        failed(began, QStringLiteral("BEGIN"));
        if (!syncPoint(&failure, QStringLiteral("BEGIN")))
            return RoundEnd::LinkLost;
        round.began = true;
    }
    if (round.backToStep) {
        const Result back = answer();
        const Result released = answer();
        if (!back || !released)
            return RoundEnd::LinkLost;
        failed(back, QStringLiteral("ROLLBACK TO SAVEPOINT"));
        failed(released, QStringLiteral("RELEASE SAVEPOINT"));
    }
    std::optional<size_t> refused;
    bool givenUp = false; // a time limit or the user's cancel: the whole action is given up
    for (size_t s = round.firstStep; s < statements.size(); ++s) {
        if (!toSend[s])
            continue;
        EOTransactionSteps::StepOutcome &outcome = result.steps[s];
        const std::vector<EOTransactionSteps::Call> &calls = transaction.steps[s].calls;
        const Result set = answer();
        if (!set)
            return RoundEnd::LinkLost;
        failed(set, QStringLiteral("SAVEPOINT"));
        for (size_t c = 0; c < statements[s].size(); ++c) {
            const Result answered = answer();
            if (!answered)
                return RoundEnd::LinkLost;
            if (isSuccess(answered.get())) {
                outcome.outputs = outputsOf(*calls[c].procedure, answered.get());
            } else if (!refused && PQresultStatus(answered.get()) != PGRES_PIPELINE_ABORTED) {
                refused = s;
                givenUp = endsTransaction(answered.get());
                outcome.refused = true;
                outcome.refusedCall = int(c);
                outcome.message =
                    errorOf(answered.get(), QStringLiteral("procédure %1").arg(calls[c].name)).message();
            }
        }
        const Result released = answer();
        if (!released)
            return RoundEnd::LinkLost;
        failed(released, QStringLiteral("RELEASE SAVEPOINT"));
    }
    const Result committed = answer();
    if (!committed)
        return RoundEnd::LinkLost;
    if (!refused)
        failed(committed, QStringLiteral("COMMIT"));
    if (!syncPoint(&failure, QStringLiteral("COMMIT")))
        return RoundEnd::LinkLost;
    if (PQexitPipelineMode(connection) != 1)
        return RoundEnd::LinkLost;

    if (refused) {
        // A wait given up, or a time limit, ends the whole transaction: the user gave up on the action.
        if (givenUp) {
            transaction.note(QStringLiteral("rollback"));
            result.message = result.steps[*refused].message;
            endTransactionQuietly();
            return RoundEnd::CommitRefused;
        }
        transaction.note(QStringLiteral("rollback step"));
        round.firstStep = *refused;
        return RoundEnd::StepRefused;
    }
    if (!failure.isEmpty()) {
        // A refused COMMIT (a check the server makes at the end), or a statement of the round's own.
        result.message = failure;
        if (PQtransactionStatus(connection) != PQTRANS_IDLE)
            endTransactionQuietly();
        return RoundEnd::CommitRefused;
    }
    if (std::strcmp(PQcmdStatus(committed.get()), "ROLLBACK") == 0) {
        // A transaction the server had to abort answers COMMIT with ROLLBACK.
        result.message =
            QStringLiteral("La transaction a été annulée par le serveur : rien n'a été enregistré.");
        return RoundEnd::CommitRefused;
    }
    return RoundEnd::Committed;
}

const std::vector<const EOPostgreSQLAdaptor::Statement *> &EOPostgreSQLAdaptor::openingStatements()
{
    // The transaction's identifier comes back with its beginning: after a commit whose answer the link lost,
    // a new connection can ask the server what became of it.
    static const Statement begin{"BEGIN", {}};
    static const Statement identifier{"SELECT pg_current_xact_id()::text, pg_backend_pid()", {}};
    static const std::vector<const Statement *> statements{&begin, &identifier};
    return statements;
}

void EOPostgreSQLAdaptor::keepTransactionId(const pg_result *answer)
{
    m_transactionId.clear();
    m_transactionBackend.clear();
    if (answer && PQresultStatus(answer) == PGRES_TUPLES_OK && PQntuples(answer) == 1) {
        m_transactionId = QByteArray(PQgetvalue(answer, 0, 0));
        m_transactionBackend = QByteArray(PQgetvalue(answer, 0, 1));
    }
}

void EOPostgreSQLAdaptor::forgetTransaction()
{
    m_transaction = Transaction::None;
    m_abandonReason.clear();
    m_transactionId.clear();
    m_transactionBackend.clear();
}

void EOPostgreSQLAdaptor::endTransactionQuietly()
{
    try {
        if (m_transaction != Transaction::None)
            rollbackTransaction();
    } catch (const EOException &) {
        // Nothing of the transaction is committed either way; its refusal is what the caller reads.
    }
    forgetTransaction();
}

EOTransactionSteps::State EOPostgreSQLAdaptor::confirmLostCommit(QString *message)
{
    m_pending = PendingTransaction{m_transactionId, m_transactionBackend};
    forgetTransaction();
    const EOTransactionSteps::State state = askPending();
    if (state == EOTransactionSteps::State::RolledBack)
        *message = EOPostgreSQLConnection::rolledBackAfterLossMessage(parameters());
    else if (state == EOTransactionSteps::State::Unknown)
        *message = EOPostgreSQLConnection::unconfirmedWriteMessage(parameters());
    else
        qWarning().noquote() << QStringLiteral(
                                    ">>>>> Connexion perdue avant la confirmation d'une transaction : le "
                                    "serveur « %1 » confirme qu'elle est enregistrée.")
                                    .arg(parameters().server);
    return state;
}

EOTransactionSteps::State EOPostgreSQLAdaptor::askPending()
{
    using State = EOTransactionSteps::State;
    if (!m_pending)
        return State::RolledBack;
    try {
        open();
        if (m_pending->id.isEmpty()) {
            // The link broke before the server said which transaction it was: nobody can ask about it. Its
            // session is ended at least, so that whatever the caller reads next is settled.
            endLostSession();
            return forgetPending(State::Unknown);
        }
        const Statement status{"SELECT pg_xact_status(CAST($1 AS xid8))", {m_pending->id}};
        QElapsedTimer waited;
        waited.start();
        bool ended = false;
        for (;;) {
            const Result answer = exec(status);
            if (!isSuccess(answer.get()))
                return connectionBroken() ? State::Unknown : forgetPending(State::Unknown);
            const QByteArray state =
                PQgetisnull(answer.get(), 0, 0) ? QByteArray() : QByteArray(PQgetvalue(answer.get(), 0, 0));
            if (state == "committed")
                return forgetPending(State::Committed);
            if (state == "aborted")
                return forgetPending(State::RolledBack);
            if (state != "in progress" || waited.elapsed() > 10000)
                return forgetPending(State::Unknown); // too old to be known, or stuck
            // The server has not noticed yet that the old connection is gone: its session is ended, which
            // rolls back a transaction that did not commit.
            if (!ended) {
                ended = true;
                endLostSession();
            }
            ::poll(nullptr, 0, 50);
        }
    } catch (const EOException &) {
        // The server cannot be reached: asked again later.
        return State::Unknown;
    }
}

void EOPostgreSQLAdaptor::endLostSession()
{
    if (m_pending->backend.isEmpty())
        return;
    // A login may end its own sessions. The session is gone once the server no longer lists it: its last
    // transaction is then committed or rolled back for good.
    exec({"SELECT pg_terminate_backend(CAST($1 AS integer))", {m_pending->backend}});
    const Statement listed{"SELECT 1 FROM pg_stat_activity WHERE pid = CAST($1 AS integer)",
                           {m_pending->backend}};
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 10000) {
        const Result answer = exec(listed);
        if (!isSuccess(answer.get()) || PQntuples(answer.get()) == 0)
            return;
        ::poll(nullptr, 0, 50);
    }
}

EOTransactionSteps::State EOPostgreSQLAdaptor::forgetPending(EOTransactionSteps::State state)
{
    m_pending.reset();
    return state;
}

std::optional<EOTransactionSteps::State> EOPostgreSQLAdaptor::confirmPendingTransaction()
{
    if (!m_pending)
        return std::nullopt;
    const Call call(*this);
    return askPending();
}

void EOPostgreSQLAdaptor::beginTransaction()
{
    // A transaction's reads see its own writes: none is taken from what was read ahead of it.
    m_prefetched.clear();
    // Sent with the first statement; the server would take no snapshot before it anyway.
    if (m_transaction == Transaction::None)
        m_transaction = Transaction::Pending;
}

void EOPostgreSQLAdaptor::commitTransaction()
{
    const Call call(*this);
    m_prefetched.clear();
    const Transaction was = m_transaction;
    m_transaction = Transaction::None;
    if (was == Transaction::Abandoned)
        failAbandoned();
    if (was != Transaction::Open)
        return;
    // The transaction ends here whatever happens; a connection lost before the COMMIT took it with it.
    if (!m_connection || discardDroppedConnection()) {
        m_connection.reset();
        forgetTransaction();
        throw EOException(EOException::Kind::Connection,
                          EOPostgreSQLConnection::lostConnectionMessage(parameters(), true));
    }
    m_cancelSent = false;
    ++m_roundTrips;
    // The server ends the transaction whatever the outcome of COMMIT: the connection is clean afterwards.
    const Result result = PQsendQuery(m_connection.get(), "COMMIT") ? collect() : Result();
    if (!isSuccess(result.get())) {
        if (connectionBroken()) {
            // The COMMIT may have reached the server: a new connection asks what became of it.
            m_connection.reset();
            QString message;
            if (confirmLostCommit(&message) == EOTransactionSteps::State::Committed)
                return;
            throw EOException(EOException::Kind::Connection, message);
        }
        forgetTransaction();
        throw errorOf(result.get(), QStringLiteral("COMMIT"));
    }
    forgetTransaction();
    // A transaction the server had to abort answers COMMIT with ROLLBACK: it must not pass for a success.
    if (std::strcmp(PQcmdStatus(result.get()), "ROLLBACK") == 0) {
        throw EOException(
            EOException::Kind::Database,
            QStringLiteral("La transaction a été annulée par le serveur : rien n'a été enregistré."));
    }
}

void EOPostgreSQLAdaptor::rollbackTransaction()
{
    const Call call(*this);
    m_prefetched.clear();
    const Transaction was = m_transaction;
    forgetTransaction();
    if ((was != Transaction::Open && was != Transaction::Abandoned) || !m_connection)
        return;
    // A connection that is gone took its transaction with it: there is nothing left to undo.
    if (discardDroppedConnection())
        return;
    // An abandoned transaction was rolled back already, unless that rollback itself failed: the server
    // says whether one is still open.
    if (PQtransactionStatus(m_connection.get()) == PQTRANS_IDLE)
        return;
    m_cancelSent = false;
    ++m_roundTrips;
    const Result result = PQsendQuery(m_connection.get(), "ROLLBACK") ? collect() : Result();
    if (isSuccess(result.get()))
        return;
    if (connectionBroken()) {
        m_connection.reset();
        return;
    }
    throw errorOf(result.get(), QStringLiteral("ROLLBACK"));
}

void EOPostgreSQLAdaptor::stepSavepoint(StepSavepoint action)
{
    // The steps of a transaction travel in runTransaction's pipeline; this serves a caller that runs them
    // one by one.
    switch (action) {
    case StepSavepoint::Set:
        simple("SAVEPOINT eo_step", QStringLiteral("SAVEPOINT"));
        break;
    case StepSavepoint::Release:
        simple("RELEASE SAVEPOINT eo_step", QStringLiteral("RELEASE SAVEPOINT"));
        break;
    case StepSavepoint::RollBack:
        simple("ROLLBACK TO SAVEPOINT eo_step; RELEASE SAVEPOINT eo_step",
               QStringLiteral("ROLLBACK TO SAVEPOINT"));
        break;
    }
}

// --- Reads declared ahead ----------------------------------------------------------------------------------

quint64 EOPostgreSQLAdaptor::prefetch(const QList<Read> &reads)
{
    // Inside a transaction the reads must see its writes in their order: nothing is read ahead there.
    if (reads.isEmpty() || m_transaction != Transaction::None)
        return 0;
    try {
        const Call call(*this);
        open();
        std::vector<Statement> statements;
        std::vector<QByteArray> keys;
        for (const Read &read : reads) {
            Statement ahead = statement(read.sql, read.bindings);
            QByteArray key = EOPostgreSQLPrefetch::keyOf(ahead.sql, ahead.values);
            if (m_prefetched.holds(key) || std::find(keys.cbegin(), keys.cend(), key) != keys.cend())
                continue;
            keys.push_back(std::move(key));
            statements.push_back(std::move(ahead));
        }
        if (statements.empty())
            return 0;
        std::vector<const Statement *> sent;
        for (const Statement &ahead : statements)
            sent.push_back(&ahead);
        m_cancelSent = false;
        std::vector<Result> results;
        if (!pipeline(sent, results)) {
            // What is left of the pipeline goes with the connection; outside a transaction nothing is lost,
            // and the reads that follow open a new one.
            m_connection.reset();
            return 0;
        }
        EOPostgreSQLPrefetch::Answers answers;
        for (size_t i = 0; i < results.size(); ++i) {
            // One refused read aborts the others: nothing is kept, each read then runs and reports alone.
            if (!results[i] || PQresultStatus(results[i].get()) != PGRES_TUPLES_OK)
                return 0;
            answers.emplace_back(std::move(keys[i]), std::move(results[i]));
        }
        return m_prefetched.keep(std::move(answers));
    } catch (const std::exception &) {
        // The reads themselves will meet the same trouble and say what it is.
        return 0;
    }
}

void EOPostgreSQLAdaptor::dropPrefetched(quint64 ticket)
{
    m_prefetched.drop(ticket);
}

const PGresult *EOPostgreSQLAdaptor::prefetchedAnswer(const Statement &read) const
{
    if (m_prefetched.isEmpty() || m_transaction != Transaction::None)
        return nullptr;
    return m_prefetched.answer(EOPostgreSQLPrefetch::keyOf(read.sql, read.values));
}

} // namespace eo
