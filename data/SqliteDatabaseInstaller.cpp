#include "SqliteDatabaseInstaller.h"

#include "EOException.h"
#include "SqlScript.h"
#include "SqliteFailure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <memory>
#include <sqlite3.h>
#include <utility>

namespace data
{

namespace
{

// 2: the change history (the table HISTORIQUE and the triggers of the session script).
constexpr int SchemaVersion = 2;

[[noreturn]] void fail(const QString &message)
{
    throw eo::EOException(eo::EOException::Kind::Database, message);
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

struct DatabaseCloser {
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
using Database = std::unique_ptr<sqlite3, DatabaseCloser>;

struct StatementFinalizer {
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

QString lastError(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

// The files the messages name, and how long to wait for them, set by install().
QString filesInQuestion;
int busyTimeout = 0;

Database openDatabase(const QString &path)
{
    sqlite3 *raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    Database db(raw);
    if (rc != SQLITE_OK) {
        fail(SqliteFailure::message(raw, rc, QStringLiteral("« %1 »").arg(shown(path)),
                                    QStringLiteral("Ouverture de la base")));
    }
    // A program that reads or writes the files meanwhile is waited for, as the program itself waits.
    sqlite3_busy_timeout(db.get(), busyTimeout);
    return db;
}

void exec(sqlite3 *db, const QByteArray &sql, const QString &origin)
{
    char *error = nullptr;
    const int rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const QString detail = error ? QString::fromUtf8(error) : lastError(db);
        sqlite3_free(error);
        fail(SqliteFailure::message(rc, detail, filesInQuestion, origin));
    }
}

Statement prepare(sqlite3 *db, const char *sql, const QString &origin)
{
    sqlite3_stmt *raw = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &raw, nullptr) != SQLITE_OK) {
        sqlite3_finalize(raw);
        fail(QStringLiteral("%1 : %2").arg(origin, lastError(db)));
    }
    return Statement(raw);
}

// Rolls back unless committed, so that a failure leaves the existing files as they were. It takes the
// files for writing at once: what another program holds is waited for before anything is done.
class Transaction
{
public:
    Transaction(sqlite3 *db, const QString &origin) : m_db(db), m_origin(origin)
    {
        exec(m_db, "BEGIN IMMEDIATE", m_origin);
    }
    ~Transaction()
    {
        if (!m_committed)
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit()
    {
        exec(m_db, "COMMIT", m_origin);
        m_committed = true;
    }

private:
    sqlite3 *m_db;
    QString m_origin;
    bool m_committed = false;
};

// Removes a database file with the journal files SQLite may keep beside it (a journal left next to a new
// file would be replayed into it).
bool removeDatabaseFiles(const QString &path)
{
    bool removed = true;
    for (const char *suffix : {"", "-journal", "-wal", "-shm"}) {
        const QString file = path + QLatin1String(suffix);
        if (QFileInfo::exists(file) && !QFile::remove(file))
            removed = false;
    }
    return removed;
}

// A database file being installed: a new or replaced file is built under a temporary name and takes its
// final name only once complete; an existing file is worked on in place.
class PendingFile
{
public:
    PendingFile(const QString &finalPath, bool fresh)
        : m_finalPath(finalPath),
          m_workingPath(fresh ? finalPath + QStringLiteral(".installation") : finalPath), m_fresh(fresh)
    {
        if (m_fresh && !removeDatabaseFiles(m_workingPath))
            fail(QStringLiteral("Le fichier temporaire « %1 » ne peut pas être effacé.")
                     .arg(shown(m_workingPath)));
    }
    ~PendingFile()
    {
        if (m_fresh && !m_published)
            removeDatabaseFiles(m_workingPath);
    }
    PendingFile(const PendingFile &) = delete;
    PendingFile &operator=(const PendingFile &) = delete;

    const QString &workingPath() const { return m_workingPath; }
    bool isFresh() const { return m_fresh; }

    void publish()
    {
        if (!m_fresh)
            return;
        if (!removeDatabaseFiles(m_finalPath))
            fail(QStringLiteral("Le fichier « %1 » ne peut pas être remplacé.").arg(shown(m_finalPath)));
        if (!QFile::rename(m_workingPath, m_finalPath))
            fail(QStringLiteral("Le fichier « %1 » ne peut pas être créé.").arg(shown(m_finalPath)));
        m_published = true;
    }

private:
    QString m_finalPath;
    QString m_workingPath;
    bool m_fresh;
    bool m_published = false;
};

struct Procedure {
    QString name;
    QByteArray body;
};

// A script of the resources, the parts it shares with others in place.
QByteArray readScript(const QString &sqlRoot, const QString &path)
{
    return SqlScript::read(sqlRoot, path).toUtf8();
}

QList<Procedure> readProcedures(const QString &sqlRoot)
{
    const QString directory = sqlRoot + QStringLiteral("/sqlite/procedures");
    QList<Procedure> procedures;
    const QFileInfoList files =
        QDir(directory).entryInfoList({QStringLiteral("*.sql")}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo &file : files)
        procedures.append({file.completeBaseName(),
                           readScript(sqlRoot, QStringLiteral("sqlite/procedures/") + file.fileName())});
    if (procedures.isEmpty())
        fail(QStringLiteral("Aucune procédure stockée dans « %1 ».").arg(shown(directory)));
    return procedures;
}

[[noreturn]] void failNotADatabase(int code, const QString &path)
{
    if (code == SQLITE_CORRUPT)
        fail(QStringLiteral(
                 "Le fichier « %1 » est endommagé : il n'est pas modifié. Remplacez-le par sa dernière "
                 "sauvegarde.")
                 .arg(shown(path)));
    fail(QStringLiteral("Le fichier « %1 » n'est pas une base de données SQLite : il n'est pas modifié.")
             .arg(shown(path)));
}

// An existing file is upgraded only when it is empty or already holds the table that marks its kind, so a
// foreign database given by mistake is never filled with our tables.
void checkExistingFile(sqlite3 *db, const char *schema, const QString &path, const char *markerTable)
{
    // Reading the schema also rolls back what a program killed in the middle of a write left in the journal.
    const QByteArray probe = QByteArray("SELECT 1 FROM ") + schema + ".sqlite_schema LIMIT 1";
    const int rc = sqlite3_exec(db, probe.constData(), nullptr, nullptr, nullptr);
    if (rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT)
        failNotADatabase(rc, path);
    const QString origin =
        QStringLiteral("Le fichier « %1 » ne peut pas être lu comme une base SQLite").arg(shown(path));
    if (rc != SQLITE_OK)
        fail(SqliteFailure::message(db, rc, QStringLiteral("« %1 »").arg(shown(path)), origin));
    const QByteArray count = QByteArray("SELECT COUNT(*), SUM(name = ?1) FROM ") + schema +
                             ".sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'";
    Statement statement = prepare(db, count.constData(), origin);
    sqlite3_bind_text(statement.get(), 1, markerTable, -1, SQLITE_STATIC);
    if (sqlite3_step(statement.get()) != SQLITE_ROW)
        fail(QStringLiteral("%1 : %2").arg(origin, lastError(db)));
    const int tables = sqlite3_column_int(statement.get(), 0);
    const int markers = sqlite3_column_int(statement.get(), 1);
    if (tables > 0 && markers == 0)
        fail(
            QStringLiteral("Le fichier « %1 » existe mais n'est pas une base Locavia : il n'est pas modifié.")
                .arg(shown(path)));
}

void setSchemaVersion(sqlite3 *db, const char *schema, const QString &origin)
{
    exec(db, QByteArray("PRAGMA ") + schema + ".user_version = " + QByteArray::number(SchemaVersion), origin);
}

void storeProcedures(sqlite3 *db, const QList<Procedure> &procedures)
{
    const QString origin = QStringLiteral("Enregistrement des procédures stockées");
    exec(db, "CREATE TABLE IF NOT EXISTS EO_PROCEDURE (NAME TEXT PRIMARY KEY, BODY TEXT NOT NULL)", origin);
    exec(db, "DELETE FROM EO_PROCEDURE", origin);
    Statement insert = prepare(db, "INSERT INTO EO_PROCEDURE (NAME, BODY) VALUES (?1, ?2)", origin);
    for (const Procedure &procedure : procedures) {
        const QByteArray name = procedure.name.toUtf8();
        sqlite3_reset(insert.get());
        sqlite3_bind_text(insert.get(), 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert.get(), 2, procedure.body.constData(), int(procedure.body.size()),
                          SQLITE_TRANSIENT);
        if (sqlite3_step(insert.get()) != SQLITE_DONE)
            fail(QStringLiteral("%1 (%2) : %3").arg(origin, procedure.name, lastError(db)));
    }
}

// The functions that the application registers on its connections, here only so that the procedure bodies
// compile; nothing runs them.
void unusedFunction(sqlite3_context *context, int, sqlite3_value **)
{
    sqlite3_result_null(context);
}

void registerApplicationFunctions(sqlite3 *db)
{
    const std::pair<const char *, int> functions[] = {
        {"raise_error", 1}, {"to_number", 1}, {"hidden_character", 1}, {"txid_current", 0}};
    for (const auto &[name, arguments] : functions) {
        if (sqlite3_create_function_v2(db, name, arguments, SQLITE_UTF8, nullptr, unusedFunction, nullptr,
                                       nullptr, nullptr) != SQLITE_OK)
            fail(QStringLiteral("Préparation de la vérification des procédures : %1").arg(lastError(db)));
    }
    // The login the adaptor keeps for the history triggers of the session script.
    exec(db, "CREATE TEMP TABLE IF NOT EXISTS EO_SESSION (LOGIN TEXT)",
         QStringLiteral("Préparation de la vérification des procédures"));
}

// Compiles every statement of a body without running it: unknown tables or columns, syntax errors and
// parameters the adaptor could not bind by name are reported now.
void compileProcedure(sqlite3 *db, const Procedure &procedure)
{
    const char *tail = procedure.body.constData();
    const char *const end = tail + procedure.body.size();
    int statements = 0;
    while (tail < end) {
        sqlite3_stmt *raw = nullptr;
        const char *next = nullptr;
        const int rc = sqlite3_prepare_v2(db, tail, int(end - tail), &raw, &next);
        const Statement statement(raw);
        if (rc != SQLITE_OK)
            fail(QStringLiteral("La procédure « %1 » est invalide : %2").arg(procedure.name, lastError(db)));
        if (raw) {
            ++statements;
            for (int i = 1; i <= sqlite3_bind_parameter_count(raw); ++i) {
                const char *parameter = sqlite3_bind_parameter_name(raw, i);
                if (!parameter || parameter[0] != ':')
                    fail(QStringLiteral(
                             "La procédure « %1 » a un paramètre « %2 » qui n'est pas de la forme :nom.")
                             .arg(procedure.name, QString::fromUtf8(parameter ? parameter : "?")));
            }
        }
        if (!next || next == tail)
            break;
        tail = next;
    }
    if (statements == 0)
        fail(QStringLiteral("La procédure « %1 » est vide.").arg(procedure.name));
}

// SQLite accepts a view over a table that does not exist and fails only when the view is read: every view
// of the three schemas is compiled here, so that a broken one stops the installation.
void compileViews(sqlite3 *db)
{
    const QString origin = QStringLiteral("Vérification des vues");
    QList<QByteArray> views;
    for (const char *schema : {"main", "SOLMA", "temp"}) {
        const QByteArray sql =
            QByteArray("SELECT name FROM ") + schema + ".sqlite_schema WHERE type = 'view'";
        Statement list = prepare(db, sql.constData(), origin);
        while (sqlite3_step(list.get()) == SQLITE_ROW)
            views.append(QByteArray(schema) + ".\"" +
                         QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(list.get(), 0))) +
                         '"');
    }
    for (const QByteArray &view : std::as_const(views)) {
        sqlite3_stmt *raw = nullptr;
        const QByteArray sql = "SELECT * FROM " + view;
        const int rc = sqlite3_prepare_v2(db, sql.constData(), -1, &raw, nullptr);
        const Statement statement(raw);
        if (rc != SQLITE_OK)
            fail(QStringLiteral("La vue %1 est invalide : %2").arg(QString::fromUtf8(view), lastError(db)));
    }
}

void attachSolma(sqlite3 *db, const QString &solmaPath)
{
    const QString origin = QStringLiteral("Rattachement de « %1 »").arg(shown(solmaPath));
    const QByteArray sql = "ATTACH DATABASE ?1 AS " + SqliteDatabaseInstaller::solmaSchemaName().toUtf8();
    Statement attach = prepare(db, sql.constData(), origin);
    const QByteArray path = QFile::encodeName(solmaPath);
    sqlite3_bind_text(attach.get(), 1, path.constData(), int(path.size()), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(attach.get());
    if (rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT)
        failNotADatabase(rc, solmaPath);
    if (rc != SQLITE_DONE)
        fail(SqliteFailure::message(db, rc, QStringLiteral("« %1 »").arg(shown(solmaPath)), origin));
}

} // namespace

void SqliteDatabaseInstaller::install(const QString &directory, const QString &resourcesDir, bool replace,
                                      int waitMilliseconds)
{
    busyTimeout = waitMilliseconds < 0 ? SqliteFailure::busyTimeoutMilliseconds() : waitMilliseconds;
    // Everything is read first: a missing resource stops the installation before any file is touched.
    const QString sqlRoot = QDir(resourcesDir).absoluteFilePath(QStringLiteral("sql"));
    const QByteArray inventorySql = readScript(sqlRoot, QStringLiteral("sqlite/inventory.sql"));
    const QByteArray solmaSql = readScript(sqlRoot, QStringLiteral("sqlite/solma.sql"));
    const QByteArray sessionSql = readScript(sqlRoot, QStringLiteral("sqlite/session.sql"));
    const QList<Procedure> procedures = readProcedures(sqlRoot);

    QDir target(directory);
    if (directory.isEmpty() || !target.mkpath(QStringLiteral(".")))
        fail(QStringLiteral("Le dossier « %1 » ne peut pas être créé.").arg(shown(directory)));
    const QString inventoryPath = target.absoluteFilePath(inventoryFileName());
    const QString solmaPath = target.absoluteFilePath(solmaFileName());

    PendingFile solma(solmaPath, replace || !QFileInfo::exists(solmaPath));
    PendingFile inventory(inventoryPath, replace || !QFileInfo::exists(inventoryPath));
    filesInQuestion = QStringLiteral("« %1 » et « %2 »").arg(shown(inventoryPath), shown(solmaPath));

    {
        // Both files in one connection and one transaction: they are upgraded together or not at all.
        const Database db = openDatabase(inventory.workingPath());
        if (!inventory.isFresh())
            checkExistingFile(db.get(), "main", inventoryPath, "EO_PROCEDURE");
        registerApplicationFunctions(db.get());
        attachSolma(db.get(), solma.workingPath());
        if (!solma.isFresh())
            checkExistingFile(db.get(), "SOLMA", solmaPath, "SOLMA_PARAMETRES");
        Transaction transaction(
            db.get(), QStringLiteral("Installation de %1 et %2").arg(inventoryFileName(), solmaFileName()));
        exec(db.get(), solmaSql, QStringLiteral("solma.sql"));
        setSchemaVersion(db.get(), "SOLMA", QStringLiteral("solma.sql"));
        exec(db.get(), inventorySql, QStringLiteral("inventory.sql"));
        // The per-connection views and history triggers travel with the database, as the row "#session",
        // which the adaptor runs on every connection after attaching the reference file.
        storeProcedures(db.get(), QList<Procedure>(procedures)
                                      << Procedure{QStringLiteral("#session"), sessionSql});
        exec(db.get(), sessionSql, QStringLiteral("session.sql"));
        compileViews(db.get());
        for (const Procedure &procedure : procedures)
            compileProcedure(db.get(), procedure);
        setSchemaVersion(db.get(), "main", QStringLiteral("inventory.sql"));
        transaction.commit();
    }

    solma.publish();
    inventory.publish();
}

} // namespace data
