#include "EOSQLiteAdaptor.h"

#include "EOCollation.h"
#include "EOColumnInterner.h"
#include "EODecimal.h"
#include "EOException.h"
#include "EONull.h"
#include "EOValues.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <sqlite3.h>

namespace eo
{

namespace
{

void raiseErrorFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    const char *text = argc > 0 ? reinterpret_cast<const char *>(sqlite3_value_text(argv[0])) : nullptr;
    sqlite3_result_error(context, text ? text : "Erreur de la procédure.", -1);
}

// Oracle's to_number for the counts stored as text: NULL for a null, an empty or a non-numeric text.
void toNumberFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    if (argc < 1) {
        sqlite3_result_null(context);
        return;
    }
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_INTEGER:
        sqlite3_result_int64(context, sqlite3_value_int64(argv[0]));
        return;
    case SQLITE_FLOAT:
        sqlite3_result_double(context, sqlite3_value_double(argv[0]));
        return;
    case SQLITE_NULL:
        sqlite3_result_null(context);
        return;
    default:
        break;
    }
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[0]))).trimmed();
    bool ok = false;
    const qint64 integer = text.toLongLong(&ok);
    if (ok) {
        sqlite3_result_int64(context, integer);
        return;
    }
    const double number = text.toDouble(&ok);
    if (ok)
        sqlite3_result_double(context, number);
    else
        sqlite3_result_null(context);
}

// UPPER and LOWER for every letter, as the server does: SQLite's own change only ASCII letters, so an
// accented description would never match its upper-cased search text.
template <bool Upper> void caseFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    if (argc < 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[0])),
                                           sqlite3_value_bytes(argv[0]));
    const QByteArray result = (Upper ? text.toUpper() : text.toLower()).toUtf8();
    sqlite3_result_text(context, result.constData(), int(result.size()), SQLITE_TRANSIENT);
}

// txid_current(): a number of the current transaction, drawn at its first use and forgotten when the
// transaction ends (the commit and rollback hooks), so that every statement of one transaction reads the
// same number and two transactions, of this connection or of another one, hardly ever do.
void transactionNumberFunction(sqlite3_context *context, int, sqlite3_value **)
{
    auto *number = static_cast<qint64 *>(sqlite3_user_data(context));
    while (*number == 0) {
        sqlite3_randomness(int(sizeof(*number)), number);
        *number &= 0x3fffffffffffffff;
    }
    sqlite3_result_int64(context, *number);
}

int transactionCommitted(void *number)
{
    *static_cast<qint64 *>(number) = 0;
    return 0; // the commit goes on
}

void transactionRolledBack(void *number)
{
    *static_cast<qint64 *>(number) = 0;
}

int frenchCollation(void *, int aBytes, const void *a, int bBytes, const void *b)
{
    return EOCollation::compareUtf8(static_cast<const char *>(a), aBytes, static_cast<const char *>(b),
                                    bBytes);
}

// Statement guard: finalized whatever happens.
struct Statement {
    sqlite3_stmt *handle = nullptr;
    ~Statement() { sqlite3_finalize(handle); }
};

// A kept statement is reset, not finalized, when its use ends (which also ends its read of the database).
struct KeptStatement {
    sqlite3_stmt *handle = nullptr;
    ~KeptStatement() { sqlite3_reset(handle); }
};

} // namespace

EOSQLiteAdaptor::~EOSQLiteAdaptor()
{
    close();
}

void EOSQLiteAdaptor::close()
{
    for (sqlite3_stmt *statement : std::as_const(m_statements))
        sqlite3_finalize(statement);
    m_statements.clear();
    m_procedureBodies.clear();
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

QString EOSQLiteAdaptor::pathForURL(const QString &url)
{
    QString path = url;
    if (path.startsWith(QLatin1String("sqlite://"), Qt::CaseInsensitive))
        path = path.mid(9);
    else if (path.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive))
        path = path.mid(7);
    if (path.startsWith(QLatin1String("~/")))
        path = QDir::homePath() + path.mid(1);
    return path.isEmpty() ? path : QDir::cleanPath(path);
}

sqlite3 *EOSQLiteAdaptor::handle()
{
    open();
    return m_db;
}

void EOSQLiteAdaptor::fail(int code, const QString &context) const
{
    const QString detail = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString();
    QString message;
    EOException::Kind kind = EOException::Kind::Database;
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        message = QStringLiteral("La base de données est occupée par un autre programme ; réessayez dans un "
                                 "instant.");
        break;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        kind = EOException::Kind::Connection;
        message = QStringLiteral("Le fichier « %1 » n'est pas une base de données valide (%2).")
                      .arg(m_path, detail);
        break;
    case SQLITE_READONLY:
        message = QStringLiteral("La base de données « %1 » est en lecture seule.").arg(m_path);
        break;
    case SQLITE_CANTOPEN:
        kind = EOException::Kind::Connection;
        message =
            QStringLiteral("La base de données « %1 » ne peut pas être ouverte (%2).").arg(m_path, detail);
        break;
    case SQLITE_CONSTRAINT:
        message = QStringLiteral("Contrainte d'intégrité non respectée : %1").arg(detail);
        break;
    case SQLITE_ERROR:
        // raise_error() of a procedure: its message is already the user's.
        message = detail;
        break;
    default:
        message = QStringLiteral("Erreur de la base de données : %1").arg(detail);
        break;
    }
    if (!context.isEmpty() && (code & 0xff) != SQLITE_ERROR)
        message += QStringLiteral(" (%1)").arg(context);
    throw EOException(kind, message);
}

QList<EOSQLiteAdaptor::Attachment> EOSQLiteAdaptor::attachedDatabases() const
{
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    const QDir folder = QFileInfo(m_path).absoluteDir();
    QList<Attachment> attachments;
    const QVariantMap attached = connectionDictionary().value(QStringLiteral("attachedDatabases")).toMap();
    for (auto it = attached.constBegin(); it != attached.constEnd(); ++it) {
        if (!identifier.match(it.key()).hasMatch()) {
            throw EOException(EOException::Kind::Connection,
                              QStringLiteral("Le nom « %1 » sous lequel une base de données est rattachée "
                                             "n'est pas un nom SQL (lettres, chiffres et _).")
                                  .arg(it.key()));
        }
        const QString path = folder.absoluteFilePath(pathForURL(it.value().toString()));
        if (it.value().toString().isEmpty() || !QFileInfo(path).isFile()) {
            throw EOException(
                EOException::Kind::Connection,
                QStringLiteral(
                    "La base de données « %1 », rattachée sous le nom %2, est introuvable à côté de "
                    "la base « %3 ».")
                    .arg(path, it.key(), m_path));
        }
        attachments.append({it.key(), path});
    }
    return attachments;
}

void EOSQLiteAdaptor::open()
{
    if (m_db)
        return;
    const QString url = connectionDictionary().value(QStringLiteral("URL")).toString();
    m_path = pathForURL(url);
    if (m_path.isEmpty() || !QFileInfo(m_path).isFile()) {
        QString message =
            QStringLiteral("La base de données « %1 » est introuvable : corrigez l'adresse URL du "
                           "modèle ou installez la base.")
                .arg(m_path.isEmpty() ? url : m_path);
        const QString hint = connectionDictionary().value(QStringLiteral("installHint")).toString();
        if (!hint.isEmpty())
            message += QLatin1Char(' ') + hint;
        throw EOException(EOException::Kind::Connection, message);
    }
    const QList<Attachment> attachments = attachedDatabases();

    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(m_path.toUtf8().constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    m_db = db;
    try {
        if (rc != SQLITE_OK)
            fail(rc);
        sqlite3_extended_result_codes(m_db, 0);
        sqlite3_busy_timeout(m_db, 5000);
        sqlite3_create_function(m_db, "raise_error", 1, SQLITE_UTF8, nullptr, raiseErrorFunction, nullptr,
                                nullptr);
        sqlite3_create_function(m_db, "to_number", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                toNumberFunction, nullptr, nullptr);
        sqlite3_create_function(m_db, "upper", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                caseFunction<true>, nullptr, nullptr);
        sqlite3_create_function(m_db, "lower", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                caseFunction<false>, nullptr, nullptr);
        m_transactionNumber = 0;
        sqlite3_create_function(m_db, "txid_current", 0, SQLITE_UTF8, &m_transactionNumber,
                                transactionNumberFunction, nullptr, nullptr);
        sqlite3_commit_hook(m_db, transactionCommitted, &m_transactionNumber);
        sqlite3_rollback_hook(m_db, transactionRolledBack, &m_transactionNumber);
        // Lists sorted without regard to case come in French order, as from the server.
        sqlite3_create_collation_v2(m_db, EOCollation::name, SQLITE_UTF8, nullptr, frenchCollation, nullptr);
        execute(QStringLiteral("PRAGMA case_sensitive_like = ON"));
        execute(QStringLiteral("PRAGMA foreign_keys = ON"));
        // Reading the schema tells a database from any other file.
        execute(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        for (const Attachment &attachment : attachments) {
            Statement attach{prepare(QStringLiteral("ATTACH DATABASE ? AS %1").arg(attachment.alias))};
            bind(attach.handle, 1, attachment.path);
            const int attached = sqlite3_step(attach.handle);
            if (attached != SQLITE_DONE)
                fail(attached, QStringLiteral("ATTACH %1").arg(attachment.path));
            execute(QStringLiteral("SELECT count(*) FROM %1.sqlite_master").arg(attachment.alias));
        }
        execute(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS EO_SESSION (LOGIN TEXT)"));
        applySessionLogin();
        const QString session = procedureBody(QStringLiteral("#session"));
        if (!session.isEmpty())
            execute(session);
    } catch (...) {
        close();
        throw;
    }
}

void EOSQLiteAdaptor::execute(const QString &sql)
{
    char *error = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &error);
    sqlite3_free(error);
    if (rc != SQLITE_OK)
        fail(rc, sql.left(80));
}

sqlite3_stmt *EOSQLiteAdaptor::cachedStatement(const QString &sql)
{
    if (sqlite3_stmt *kept = m_statements.value(sql)) {
        sqlite3_reset(kept);
        sqlite3_clear_bindings(kept);
        return kept;
    }
    // A bounded cache: the fetches of a session use a few dozen distinct statements; searches with
    // ever-new criteria must not keep theirs for ever.
    if (m_statements.size() >= 128) {
        for (sqlite3_stmt *statement : std::as_const(m_statements))
            sqlite3_finalize(statement);
        m_statements.clear();
    }
    sqlite3_stmt *statement = prepare(sql);
    m_statements.insert(sql, statement);
    return statement;
}

sqlite3_stmt *EOSQLiteAdaptor::prepare(const QString &sql)
{
    sqlite3_stmt *statement = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &statement, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(statement);
        fail(rc, sql.left(120));
    }
    return statement;
}

void EOSQLiteAdaptor::bind(sqlite3_stmt *statement, int index, const QVariant &value)
{
    int rc = SQLITE_OK;
    if (isNullOrNone(value)) {
        rc = sqlite3_bind_null(statement, index);
    } else if (value.metaType() == QMetaType::fromType<EODecimal>()) {
        const QByteArray text = value.value<EODecimal>().toString().toUtf8();
        rc = sqlite3_bind_text(statement, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    } else {
        switch (value.metaType().id()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(statement, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(statement, index, value.toDouble());
            break;
        default: {
            const QByteArray text = value.toString().toUtf8();
            rc = sqlite3_bind_text(statement, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            break;
        }
        }
    }
    if (rc != SQLITE_OK)
        fail(rc);
}

std::vector<QList<QVariant>> EOSQLiteAdaptor::selectRows(const QString &sql, const QVariantList &bindings,
                                                         const QList<EOAttribute::Type> &types)
{
    open();
    KeptStatement statement{cachedStatement(sql)};
    for (int i = 0; i < bindings.size(); ++i)
        bind(statement.handle, i + 1, bindings.at(i));
    const int columns = sqlite3_column_count(statement.handle);
    const QVariant null = eoNull();
    std::vector<EOColumnInterner> interners(size_t(std::max(columns, 0)));
    std::vector<QList<QVariant>> rows;
    int rc;
    while ((rc = sqlite3_step(statement.handle)) == SQLITE_ROW) {
        QList<QVariant> row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c) {
            const EOAttribute::Type type = c < types.size() ? types.at(c) : EOAttribute::Type::Text;
            switch (sqlite3_column_type(statement.handle, c)) {
            case SQLITE_NULL:
                row.append(null);
                break;
            case SQLITE_INTEGER:
                if (type == EOAttribute::Type::Decimal)
                    row.append(QVariant(double(sqlite3_column_int64(statement.handle, c))));
                else if (type == EOAttribute::Type::Text || type == EOAttribute::Type::Flag)
                    row.append(QVariant(QString::number(sqlite3_column_int64(statement.handle, c))));
                else
                    row.append(QVariant(qint64(sqlite3_column_int64(statement.handle, c))));
                break;
            case SQLITE_FLOAT:
                if (type == EOAttribute::Type::Text || type == EOAttribute::Type::Flag)
                    row.append(QVariant(EOValues::displayText(sqlite3_column_double(statement.handle, c))));
                else
                    row.append(QVariant(sqlite3_column_double(statement.handle, c)));
                break;
            default: {
                const unsigned char *text = sqlite3_column_text(statement.handle, c);
                const int bytes = sqlite3_column_bytes(statement.handle, c);
                row.append(QVariant(interners[size_t(c)].text(reinterpret_cast<const char *>(text), bytes)));
                break;
            }
            }
        }
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE)
        fail(rc, sql.left(120));
    return rows;
}

QList<QVariantMap> EOSQLiteAdaptor::rawRows(const QString &sql, const QVariantList &bindings)
{
    open();
    KeptStatement statement{cachedStatement(sql)};
    for (int i = 0; i < bindings.size(); ++i)
        bind(statement.handle, i + 1, bindings.at(i));
    const int columns = sqlite3_column_count(statement.handle);
    QList<QVariantMap> rows;
    int rc;
    while ((rc = sqlite3_step(statement.handle)) == SQLITE_ROW) {
        QVariantMap row;
        for (int c = 0; c < columns; ++c) {
            QVariant value;
            switch (sqlite3_column_type(statement.handle, c)) {
            case SQLITE_NULL:
                value = eoNull();
                break;
            case SQLITE_INTEGER:
                value = qint64(sqlite3_column_int64(statement.handle, c));
                break;
            case SQLITE_FLOAT:
                value = sqlite3_column_double(statement.handle, c);
                break;
            default:
                value = QString::fromUtf8(
                    reinterpret_cast<const char *>(sqlite3_column_text(statement.handle, c)),
                    sqlite3_column_bytes(statement.handle, c));
                break;
            }
            row.insert(QStringLiteral("Attribute%1").arg(c), value);
        }
        rows.append(row);
    }
    if (rc != SQLITE_DONE)
        fail(rc, sql.left(120));
    return rows;
}

QString EOSQLiteAdaptor::procedureBody(const QString &name)
{
    const auto cached = m_procedureBodies.constFind(name);
    if (cached != m_procedureBodies.constEnd())
        return cached.value();
    QString body;
    {
        sqlite3_stmt *raw = nullptr;
        const int rc =
            sqlite3_prepare_v2(m_db, "SELECT BODY FROM EO_PROCEDURE WHERE NAME = ?", -1, &raw, nullptr);
        Statement statement{raw};
        if (rc == SQLITE_OK) {
            bind(statement.handle, 1, name);
            if (sqlite3_step(statement.handle) == SQLITE_ROW)
                body = QString::fromUtf8(
                    reinterpret_cast<const char *>(sqlite3_column_text(statement.handle, 0)));
        }
    }
    m_procedureBodies.insert(name, body);
    return body;
}

QVariantMap EOSQLiteAdaptor::executeStoredProcedure(const EOStoredProcedure &procedure,
                                                    const QVariantMap &values)
{
    open();
    checkArguments(procedure, values);
    const QString body = procedureBody(procedure.externalName);
    if (body.isEmpty()) {
        throw EOException(EOException::Kind::Database,
                          QStringLiteral("La procédure « %1 » n'existe pas dans la base de données « %2 ».")
                              .arg(procedure.externalName, m_path));
    }
    QVariantMap outputs;
    execute(QStringLiteral("SAVEPOINT eo_procedure"));
    try {
        const QByteArray utf8 = body.toUtf8();
        const char *tail = utf8.constData();
        const char *end = tail + utf8.size();
        while (tail < end) {
            sqlite3_stmt *raw = nullptr;
            const char *next = nullptr;
            const int rc = sqlite3_prepare_v2(m_db, tail, int(end - tail), &raw, &next);
            Statement statement{raw};
            if (rc != SQLITE_OK)
                fail(rc, procedure.name);
            tail = next;
            if (!statement.handle)
                continue; // whitespace or a comment
            const int parameters = sqlite3_bind_parameter_count(statement.handle);
            for (int p = 1; p <= parameters; ++p) {
                const char *parameterName = sqlite3_bind_parameter_name(statement.handle, p);
                const QString name = parameterName ? QString::fromUtf8(parameterName + 1) : QString();
                if (!procedure.argumentNamed(name)) {
                    throw EOException(EOException::Kind::Database,
                                      QStringLiteral("La procédure %1 utilise l'argument non déclaré « %2 ».")
                                          .arg(procedure.name, name));
                }
                bind(statement.handle, p, values.value(name));
            }
            int step;
            while ((step = sqlite3_step(statement.handle)) == SQLITE_ROW) {
                const int columns = sqlite3_column_count(statement.handle);
                for (int c = 0; c < columns; ++c) {
                    const QString column = QString::fromUtf8(sqlite3_column_name(statement.handle, c));
                    const EOStoredProcedure::Argument *argument = procedure.argumentNamed(column);
                    if (!argument || !argument->output)
                        continue;
                    switch (sqlite3_column_type(statement.handle, c)) {
                    case SQLITE_NULL:
                        outputs.insert(column, eoNull());
                        break;
                    case SQLITE_INTEGER:
                        outputs.insert(column, qint64(sqlite3_column_int64(statement.handle, c)));
                        break;
                    case SQLITE_FLOAT:
                        outputs.insert(column, sqlite3_column_double(statement.handle, c));
                        break;
                    default:
                        outputs.insert(column, QString::fromUtf8(reinterpret_cast<const char *>(
                                                   sqlite3_column_text(statement.handle, c))));
                        break;
                    }
                }
            }
            if (step != SQLITE_DONE)
                fail(step, procedure.name);
        }
    } catch (...) {
        sqlite3_exec(m_db, "ROLLBACK TO eo_procedure; RELEASE eo_procedure", nullptr, nullptr, nullptr);
        throw;
    }
    execute(QStringLiteral("RELEASE eo_procedure"));
    return outputs;
}

void EOSQLiteAdaptor::applySessionLogin()
{
    if (!m_db)
        return;
    execute(QStringLiteral("DELETE FROM temp.EO_SESSION"));
    if (sessionLogin().isEmpty())
        return;
    Statement insert{prepare(QStringLiteral("INSERT INTO temp.EO_SESSION (LOGIN) VALUES (?)"))};
    bind(insert.handle, 1, sessionLogin());
    const int rc = sqlite3_step(insert.handle);
    if (rc != SQLITE_DONE)
        fail(rc, QStringLiteral("EO_SESSION"));
}

void EOSQLiteAdaptor::beginTransaction()
{
    open();
    execute(QStringLiteral("BEGIN IMMEDIATE"));
}

void EOSQLiteAdaptor::commitTransaction()
{
    if (m_db && !sqlite3_get_autocommit(m_db))
        execute(QStringLiteral("COMMIT"));
}

void EOSQLiteAdaptor::rollbackTransaction()
{
    if (m_db && !sqlite3_get_autocommit(m_db))
        execute(QStringLiteral("ROLLBACK"));
}

} // namespace eo
