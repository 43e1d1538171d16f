#include "PostgreSQLDatabaseInstaller.h"

#include "EOModel.h"
#include "SqlScript.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <libpq-fe.h>

namespace data
{

namespace
{

using eo::EOException;
using eo::EOPostgreSQLConnection;
using Parameters = EOPostgreSQLConnection::Parameters;
using Result = EOPostgreSQLConnection::Result;

// Databases every server has, through which another database is created or dropped.
const char *const MaintenanceDatabases[] = {"postgres", "template1"};

[[noreturn]] void fail(const QString &message)
{
    throw EOException(EOException::Kind::Database, message);
}

EOPostgreSQLConnection::Handle maintenanceConnection(const Parameters &parameters)
{
    std::optional<EOException> first;
    for (const char *database : MaintenanceDatabases) {
        try {
            return EOPostgreSQLConnection::connect(
                EOPostgreSQLConnection::withDatabase(parameters, QString::fromLatin1(database)));
        } catch (const EOException &error) {
            if (!first)
                first = error;
        }
    }
    throw *first;
}

QString identifier(pg_conn *connection, const QString &name)
{
    const QByteArray utf8 = name.toUtf8();
    char *quoted = PQescapeIdentifier(connection, utf8.constData(), size_t(utf8.size()));
    if (!quoted)
        fail(QStringLiteral("Le nom de base « %1 » n'est pas valable.").arg(name));
    const QString result = QString::fromUtf8(quoted);
    PQfreemem(quoted);
    return result;
}

QString scalar(pg_conn *connection, const Parameters &parameters, const char *sql,
               const QByteArray &argument = QByteArray())
{
    const char *values[] = {argument.constData()};
    const Result result(
        PQexecParams(connection, sql, argument.isNull() ? 0 : 1, nullptr, values, nullptr, nullptr, 0));
    if (PQresultStatus(result.get()) != PGRES_TUPLES_OK)
        throw EOPostgreSQLConnection::errorOfResult(result.get(), parameters, QString::fromUtf8(sql));
    if (PQntuples(result.get()) < 1 || PQgetisnull(result.get(), 0, 0))
        return {};
    return QString::fromUtf8(PQgetvalue(result.get(), 0, 0));
}

QString readScript(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("Le script « %1 » ne peut pas être lu : %2").arg(path, file.errorString()));
    return QString::fromUtf8(file.readAll());
}

// The server must keep texts in UTF-8 and upper-case accented letters, or the room search would not find
// "été" in "L'AMPHI D'ÉTÉ"; the procedures need NUMERIC functions of version 13.
void checkServer(pg_conn *connection, const Parameters &parameters)
{
    if (PQserverVersion(connection) < 130000) {
        fail(QStringLiteral("Le serveur %1 est en version %2 ; Locavia demande PostgreSQL 13 ou plus récent.")
                 .arg(EOPostgreSQLConnection::describe(parameters))
                 .arg(PQserverVersion(connection) / 10000));
    }
    const QString encoding = scalar(connection, parameters,
                                    "SELECT pg_encoding_to_char(encoding) FROM "
                                    "pg_database WHERE datname = current_database()");
    if (encoding != u"UTF8") {
        fail(QStringLiteral("La base de données %1 est en codage %2 : Locavia demande une base en UTF8 "
                            "(CREATE DATABASE ... ENCODING 'UTF8').")
                 .arg(EOPostgreSQLConnection::describe(parameters), encoding));
    }
    if (scalar(connection, parameters, "SELECT upper('été')") != QStringLiteral("ÉTÉ")) {
        fail(
            QStringLiteral("La base de données %1 ne met pas les lettres accentuées en majuscules (paramètre "
                           "régional LC_CTYPE « C ») : créez-la avec LC_CTYPE 'C.UTF-8' ou 'fr_FR.UTF-8'.")
                .arg(EOPostgreSQLConnection::describe(parameters)));
    }
}

// Every procedure of the model, as a function of the inventory's schema whose input parameters are the
// model's arguments in lower case.
int checkProcedures(pg_conn *connection, const Parameters &parameters, const QString &resourcesDir)
{
    const std::unique_ptr<eo::EOModel> model =
        eo::EOModel::modelWithContentsOfFile(resourcesDir + QStringLiteral("/models/Locavia.json"));
    int checked = 0;
    for (const QString &name : model->storedProcedureNames()) {
        const eo::EOStoredProcedure &procedure = *model->storedProcedureNamed(name);
        const QString function =
            (procedure.externalName.isEmpty() ? procedure.name : procedure.externalName).toLower();
        const QString found =
            scalar(connection, parameters,
                   "SELECT string_agg(a.name, ',' ORDER BY a.name) FROM pg_proc p "
                   "JOIN pg_namespace n ON n.oid = p.pronamespace, "
                   "unnest(p.proargnames, COALESCE(p.proargmodes, array_fill('i'::\"char\", "
                   "ARRAY[cardinality(p.proargnames)]))) AS a(name, mode) "
                   "WHERE n.nspname = 'locavia' AND p.proname = $1 AND a.mode IN ('i', 'b')",
                   function.toUtf8());
        QStringList expected;
        for (const eo::EOStoredProcedure::Argument &argument : procedure.arguments) {
            if (!argument.output)
                expected.append(argument.name.toLower());
        }
        expected.sort();
        if (found != expected.join(QLatin1Char(','))) {
            fail(QStringLiteral("La procédure %1 du serveur n'a pas les arguments du modèle (serveur : %2 ; "
                                "modèle : %3).")
                     .arg(procedure.name, found.isEmpty() ? QStringLiteral("absente") : found,
                          expected.join(QLatin1String(", "))));
        }
        ++checked;
    }
    return checked;
}

} // namespace

QStringList PostgreSQLDatabaseInstaller::scripts(const QString &resourcesDir)
{
    const QDir directory(resourcesDir + QStringLiteral("/sql/postgresql"));
    QStringList names{QStringLiteral("schema.sql"), QStringLiteral("functions.sql"),
                      QStringLiteral("checks.sql"), QStringLiteral("views.sql"),
                      QStringLiteral("history.sql")};
    const QStringList procedures = QDir(directory.filePath(QStringLiteral("procedures")))
                                       .entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name);
    for (const QString &procedure : procedures)
        names.append(QStringLiteral("procedures/") + procedure);
    names.append(QStringLiteral("grants.sql"));
    return names;
}

bool PostgreSQLDatabaseInstaller::createDatabase(const Parameters &parameters)
{
    const EOPostgreSQLConnection::Handle connection = maintenanceConnection(parameters);
    const Parameters maintenance =
        EOPostgreSQLConnection::withDatabase(parameters, QStringLiteral("postgres"));
    if (!scalar(connection.get(), maintenance, "SELECT 1 FROM pg_database WHERE datname = $1",
                parameters.database.toUtf8())
             .isEmpty())
        return false;
    // From template0, so that the encoding and the locale can differ from the server's default ones.
    EOPostgreSQLConnection::execute(
        connection.get(), maintenance,
        QStringLiteral("CREATE DATABASE %1 WITH TEMPLATE template0 ENCODING 'UTF8' LOCALE 'C.UTF-8'")
            .arg(identifier(connection.get(), parameters.database)),
        QStringLiteral("CREATE DATABASE %1").arg(parameters.database));
    return true;
}

void PostgreSQLDatabaseInstaller::dropDatabase(const Parameters &parameters, const QString &database)
{
    const EOPostgreSQLConnection::Handle connection = maintenanceConnection(parameters);
    EOPostgreSQLConnection::execute(
        connection.get(), parameters,
        QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(identifier(connection.get(), database)),
        QStringLiteral("DROP DATABASE %1").arg(database));
}

PostgreSQLDatabaseInstaller::Report
PostgreSQLDatabaseInstaller::install(const QVariantMap &connectionDictionary, const QString &resourcesDir)
{
    // An installation waits for another one on the same database and may rebuild large indexes: the time
    // limits of the program's sessions are not for it.
    QVariantMap dictionary = connectionDictionary;
    for (const char *limit : {"lockTimeout", "statementTimeout"}) {
        if (!dictionary.contains(QLatin1String(limit)))
            dictionary.insert(QLatin1String(limit), 0);
    }
    const Parameters parameters = EOPostgreSQLConnection::parametersForDictionary(dictionary);
    Report report;
    report.database = EOPostgreSQLConnection::describe(parameters);
    EOPostgreSQLConnection::Handle connection;
    try {
        connection = EOPostgreSQLConnection::connect(parameters);
    } catch (const EOException &error) {
        // A server that answers but lacks the database: make it, then connect again.
        try {
            report.databaseCreated = createDatabase(parameters);
        } catch (const EOException &) {
            throw error;
        }
        if (!report.databaseCreated)
            throw;
        connection = EOPostgreSQLConnection::connect(parameters);
    }
    pg_conn *db = connection.get();
    checkServer(db, parameters);

    // The scripts' notices ("already exists, skipping") say nothing the administrator needs.
    EOPostgreSQLConnection::execute(db, parameters, QStringLiteral("SET client_min_messages = warning"));
    EOPostgreSQLConnection::execute(db, parameters, QStringLiteral("BEGIN"));
    try {
        EOPostgreSQLConnection::execute(
            db, parameters, QStringLiteral("SELECT pg_advisory_xact_lock(hashtext('locavia install'))"));
        const QString base = resourcesDir + QStringLiteral("/sql/postgresql/");
        for (const QString &script : scripts(resourcesDir)) {
            const QString sql =
                SqlScript::expand(readScript(base + script), resourcesDir + QStringLiteral("/sql"),
                                  QStringLiteral("postgresql/") + script);
            const Result result(PQexec(db, sql.toUtf8().constData()));
            if (PQresultStatus(result.get()) != PGRES_COMMAND_OK &&
                PQresultStatus(result.get()) != PGRES_TUPLES_OK) {
                const EOException error =
                    EOPostgreSQLConnection::errorOfResult(result.get(), parameters, script);
                fail(QStringLiteral("Le script %1 a été refusé par le serveur : %2")
                         .arg(script, error.message()));
            }
        }
        report.procedures = checkProcedures(db, parameters, resourcesDir);
        EOPostgreSQLConnection::execute(db, parameters, QStringLiteral("COMMIT"));
    } catch (...) {
        PQclear(PQexec(db, "ROLLBACK"));
        throw;
    }
    return report;
}

} // namespace data
