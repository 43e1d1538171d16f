#include "PostgreSQLDemoLoader.h"

#include "EOException.h"
#include "EOPostgreSQLConnection.h"
#include "Resources.h"
#include "SqliteDatabaseInstaller.h"

#include <QByteArray>
#include <QHash>
#include <QLocale>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>
#include <libpq-fe.h>
#include <memory>
#include <sqlite3.h>

namespace admin
{

namespace
{

using eo::EOException;
using eo::EOPostgreSQLConnection;
using Parameters = EOPostgreSQLConnection::Parameters;
using Result = EOPostgreSQLConnection::Result;

// The tables of both databases, parents before the tables that refer to them. The reference tables may
// hold rows of the department already; the others hang on rooms, of which the server has none yet.
struct Table {
    const char *schema; // the server's schema; "solma" is the embedded database's attached SOLMA
    const char *name;
    bool reference;
};

constexpr Table Tables[] = {
    {"solma", "SOLMA_PARAMETRES", true},
    {"locavia", "PARAMETRES", true},
    {"solma", "STRUCTURE", true},
    {"solma", "INDIVIDU", true},
    {"solma", "REPART_COMPTE", true},
    {"solma", "REPART_STRUCTURE", true},
    {"locavia", "TYPE_SALLE", true},
    {"locavia", "IMPLANTATION_GEO", true},
    {"locavia", "TYPE_OCCUPATION", true},
    {"locavia", "UNITE", true},
    {"locavia", "TYPE_MATERIEL", true},
    {"solma", "ADRESSE", true},
    {"solma", "LOCAL", true},
    {"solma", "SALLES", false},
    {"locavia", "SALLE_TAV", false},
    {"solma", "DEPOSITAIRE", false},
    {"solma", "REPART_BUREAU", false},
    {"solma", "SALLE_CORRESPONDANCE", false},
    {"locavia", "PRISES", false},
    {"locavia", "DETAIL_SALLE", false},
    {"locavia", "DETAIL_POURCENTAGE", false},
    {"locavia", "CONFIGURATION", false},
};

// Disables or enables the change history's triggers on every table that has one.
QString historyTriggers(const QString &action)
{
    return QStringLiteral(
               "DO $$ DECLARE followed regclass; BEGIN "
               "FOR followed IN SELECT tgrelid::regclass FROM pg_trigger WHERE tgname = 'historique' "
               "LOOP EXECUTE format('ALTER TABLE %s %1 TRIGGER historique', followed); END LOOP; "
               "END $$")
        .arg(action);
}

[[noreturn]] void fail(const QString &message)
{
    throw EOException(EOException::Kind::Database, message);
}

QString embeddedName(const Table &table)
{
    return QString::fromLatin1(table.schema) == u"solma"
               ? QStringLiteral("SOLMA.") + QLatin1String(table.name)
               : QString::fromLatin1(table.name);
}

QString serverName(const Table &table)
{
    return QLatin1String(table.schema) + QLatin1Char('.') + QLatin1String(table.name);
}

struct SqliteCloser {
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};
using Sqlite = std::unique_ptr<sqlite3, SqliteCloser>;
using SqliteStatement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

class Loader
{
public:
    Loader(pg_conn *server, const Parameters &parameters, const QString &directory)
        : m_server(server), m_parameters(parameters), m_directory(directory)
    {
    }

    void openEmbedded()
    {
        sqlite3 *raw = nullptr;
        const int rc =
            sqlite3_open_v2(QString(m_directory + QStringLiteral("/locavia.db")).toUtf8().constData(), &raw,
                            SQLITE_OPEN_READWRITE, nullptr);
        m_embedded.reset(raw);
        if (rc != SQLITE_OK)
            failEmbedded(QStringLiteral("ouverture"));
        embedded(QStringLiteral("ATTACH DATABASE '%1/solma.db' AS SOLMA")
                     .arg(QString(m_directory).replace(QLatin1Char('\''), QLatin1String("''"))));
    }
    void closeEmbedded() { m_embedded.reset(); }

    // The server's reference rows, into the embedded database where the generator finds them.
    void seed()
    {
        embedded(QStringLiteral("BEGIN"));
        for (const Table &table : Tables) {
            if (!table.reference)
                continue;
            const QStringList names = columns(table);
            const Result rows = server(
                QStringLiteral("SELECT %1 FROM %2").arg(names.join(QLatin1String(", ")), serverName(table)));
            QStringList marks;
            for (int c = 0; c < names.size(); ++c)
                marks.append(QStringLiteral("?"));
            const SqliteStatement insert =
                prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(embeddedName(table), names.join(QLatin1String(", ")),
                                 marks.join(QLatin1String(", "))));
            for (int r = 0; r < PQntuples(rows.get()); ++r) {
                sqlite3_reset(insert.get());
                for (int c = 0; c < names.size(); ++c) {
                    if (PQgetisnull(rows.get(), r, c))
                        sqlite3_bind_null(insert.get(), c + 1);
                    else
                        sqlite3_bind_text(insert.get(), c + 1, PQgetvalue(rows.get(), r, c),
                                          PQgetlength(rows.get(), r, c), SQLITE_TRANSIENT);
                }
                if (sqlite3_step(insert.get()) != SQLITE_DONE)
                    failEmbedded(embeddedName(table));
            }
        }
        embedded(QStringLiteral("COMMIT"));
    }

    // Every row the generator wrote, onto the server, in the caller's transaction.
    void copyBack()
    {
        for (const Table &table : Tables) {
            const QStringList names = columns(table);
            const QString list = names.join(QLatin1String(", "));
            if (table.reference) {
                // Through a staging table, so that the rows the server had already are left as they are.
                server(QStringLiteral("CREATE TEMP TABLE locavia_stage (LIKE %1) ON COMMIT DROP")
                           .arg(serverName(table)));
                copy(table, names, QStringLiteral("locavia_stage"));
                server(
                    QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM locavia_stage ON CONFLICT DO NOTHING")
                        .arg(serverName(table), list));
                server(QStringLiteral("DROP TABLE locavia_stage"));
            } else {
                copy(table, names, serverName(table));
            }
        }
    }

    Result server(const QString &sql)
    {
        Result result(PQexec(m_server, sql.toUtf8().constData()));
        const ExecStatusType status = PQresultStatus(result.get());
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            throw EOPostgreSQLConnection::errorOfResult(result.get(), m_parameters, sql.left(100));
        return result;
    }

private:
    // The columns both databases have, in the embedded database's order.
    QStringList columns(const Table &table)
    {
        const auto cached = m_columns.constFind(table.name);
        if (cached != m_columns.constEnd())
            return cached.value();
        QSet<QString> onServer;
        const char *values[] = {table.schema, table.name};
        const Result known(PQexecParams(m_server,
                                        "SELECT upper(column_name) FROM information_schema.columns "
                                        "WHERE table_schema = $1 AND table_name = lower($2)",
                                        2, nullptr, values, nullptr, nullptr, 0));
        for (int r = 0; r < PQntuples(known.get()); ++r)
            onServer.insert(QString::fromUtf8(PQgetvalue(known.get(), r, 0)));
        const bool solma = QLatin1String(table.schema) == QLatin1String("solma");
        const SqliteStatement info = prepare(
            QStringLiteral("PRAGMA %1.table_info(%2)")
                .arg(solma ? QStringLiteral("SOLMA") : QStringLiteral("main"), QLatin1String(table.name)));
        QStringList names;
        while (sqlite3_step(info.get()) == SQLITE_ROW) {
            const QString column =
                QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(info.get(), 1)))
                    .toUpper();
            if (onServer.contains(column))
                names.append(column);
        }
        if (names.isEmpty())
            fail(QStringLiteral(
                     "La table %1 n'existe pas des deux côtés : installez d'abord le schéma du serveur.")
                     .arg(QLatin1String(table.name)));
        m_columns.insert(table.name, names);
        return names;
    }

    // COPY's text format: a tab between values, \N for NULL, backslash escapes.
    static void appendValue(QByteArray &line, sqlite3_stmt *statement, int column)
    {
        switch (sqlite3_column_type(statement, column)) {
        case SQLITE_NULL:
            line += "\\N";
            return;
        case SQLITE_INTEGER:
            line += QByteArray::number(sqlite3_column_int64(statement, column));
            return;
        case SQLITE_FLOAT:
            line += QByteArray::number(sqlite3_column_double(statement, column), 'g',
                                       QLocale::FloatingPointShortest);
            return;
        default:
            break;
        }
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
        const int length = sqlite3_column_bytes(statement, column);
        for (int i = 0; i < length; ++i) {
            switch (text[i]) {
            case '\\':
                line += "\\\\";
                break;
            case '\t':
                line += "\\t";
                break;
            case '\n':
                line += "\\n";
                break;
            case '\r':
                line += "\\r";
                break;
            default:
                line += text[i];
                break;
            }
        }
    }

    void copy(const Table &table, const QStringList &names, const QString &target)
    {
        const QString list = names.join(QLatin1String(", "));
        const SqliteStatement rows =
            prepare(QStringLiteral("SELECT %1 FROM %2").arg(list, embeddedName(table)));
        {
            const QByteArray sql = QStringLiteral("COPY %1 (%2) FROM STDIN").arg(target, list).toUtf8();
            const Result start(PQexec(m_server, sql.constData()));
            if (PQresultStatus(start.get()) != PGRES_COPY_IN)
                throw EOPostgreSQLConnection::errorOfResult(start.get(), m_parameters,
                                                            QStringLiteral("COPY %1").arg(target));
        }
        QByteArray buffer;
        buffer.reserve(1 << 17);
        auto flush = [&] {
            if (PQputCopyData(m_server, buffer.constData(), int(buffer.size())) != 1)
                fail(QStringLiteral("Envoi des lignes de %1 interrompu : %2")
                         .arg(QLatin1String(table.name), QString::fromUtf8(PQerrorMessage(m_server))));
            buffer.clear();
        };
        int rc;
        while ((rc = sqlite3_step(rows.get())) == SQLITE_ROW) {
            for (int c = 0; c < names.size(); ++c) {
                if (c > 0)
                    buffer += '\t';
                appendValue(buffer, rows.get(), c);
            }
            buffer += '\n';
            if (buffer.size() > (1 << 16))
                flush();
        }
        if (rc != SQLITE_DONE)
            failEmbedded(embeddedName(table));
        flush();
        if (PQputCopyEnd(m_server, nullptr) != 1)
            fail(QString::fromUtf8(PQerrorMessage(m_server)));
        const Result end(PQgetResult(m_server));
        if (PQresultStatus(end.get()) != PGRES_COMMAND_OK)
            throw EOPostgreSQLConnection::errorOfResult(end.get(), m_parameters,
                                                        QStringLiteral("COPY %1").arg(target));
        while (PGresult *rest = PQgetResult(m_server))
            PQclear(rest);
    }

    SqliteStatement prepare(const QString &sql)
    {
        sqlite3_stmt *raw = nullptr;
        if (sqlite3_prepare_v2(m_embedded.get(), sql.toUtf8().constData(), -1, &raw, nullptr) != SQLITE_OK) {
            sqlite3_finalize(raw);
            failEmbedded(sql);
        }
        return SqliteStatement(raw);
    }

    void embedded(const QString &sql)
    {
        if (sqlite3_exec(m_embedded.get(), sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            failEmbedded(sql);
    }

    [[noreturn]] void failEmbedded(const QString &what)
    {
        fail(QStringLiteral("Base de démonstration temporaire (%1) : %2")
                 .arg(what, QString::fromUtf8(sqlite3_errmsg(m_embedded.get()))));
    }

    pg_conn *m_server;
    const Parameters &m_parameters;
    QString m_directory;
    Sqlite m_embedded;
    QHash<QByteArray, QStringList> m_columns;
};

} // namespace

bool PostgreSQLDemoLoader::fill(const QVariantMap &connectionDictionary, int rooms, const QString &login,
                                DemoDataGenerator::Summary *summary)
{
    const Parameters parameters = EOPostgreSQLConnection::parametersForDictionary(connectionDictionary);
    const EOPostgreSQLConnection::Handle connection = EOPostgreSQLConnection::connect(parameters);
    QTemporaryDir directory;
    if (!directory.isValid())
        fail(QStringLiteral("Pas de dossier temporaire pour préparer les données de démonstration."));

    Loader loader(connection.get(), parameters, directory.path());
    {
        const Result hasRooms = loader.server(QStringLiteral("SELECT EXISTS (SELECT 1 FROM solma.SALLES)"));
        if (QByteArray(PQgetvalue(hasRooms.get(), 0, 0)) == "t")
            return false;
    }

    data::SqliteDatabaseInstaller::install(directory.path(), platform::resourcesDirectory());
    loader.openEmbedded();
    loader.seed();
    loader.closeEmbedded();
    DemoDataGenerator::Summary result;
    if (!DemoDataGenerator::fill(directory.path(), rooms, login, &result))
        return false;

    loader.openEmbedded();
    loader.server(QStringLiteral("BEGIN"));
    try {
        // Another administrator loading at the same moment waits; one who loaded first wins.
        loader.server(QStringLiteral("LOCK TABLE solma.SALLES IN SHARE ROW EXCLUSIVE MODE"));
        const Result hasRooms = loader.server(QStringLiteral("SELECT EXISTS (SELECT 1 FROM solma.SALLES)"));
        if (QByteArray(PQgetvalue(hasRooms.get(), 0, 0)) == "t") {
            loader.server(QStringLiteral("ROLLBACK"));
            return false;
        }
        // The demo data is where the database starts, nobody's change: the history triggers stay out of the
        // load (which only the tables' owner may do), and come back in the same transaction.
        loader.server(historyTriggers(QStringLiteral("DISABLE")));
        loader.copyBack();
        loader.server(historyTriggers(QStringLiteral("ENABLE")));
        loader.server(QStringLiteral("SELECT locavia.sync_key_sequences()"));
        loader.server(QStringLiteral("COMMIT"));
    } catch (...) {
        PQclear(PQexec(connection.get(), "ROLLBACK"));
        throw;
    }
    if (summary)
        *summary = result;
    return true;
}

} // namespace admin
