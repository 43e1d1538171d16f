// The server installer: it creates the database and its schemas, upgrades them in place keeping the data,
// refuses a database whose texts would not be found by the room search, commits nothing when a script or a
// procedure does not match the model, and two installations at once both end well.

#include "EOException.h"
#include "EOPostgreSQLConnection.h"
#include "PostgreSQLDatabaseInstaller.h"
#include "Resources.h"
#include "TestDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <libpq-fe.h>
#include <thread>

using data::PostgreSQLDatabaseInstaller;
using eo::EOException;
using eo::EOPostgreSQLConnection;

namespace
{

// A copy of the resources that a test may spoil.
bool copyResources(const QString &target)
{
    const QDir source(platform::resourcesDirectory());
    QDirIterator it(source.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString relative = source.relativeFilePath(file);
        if (!relative.startsWith(QLatin1String("sql/")) && !relative.startsWith(QLatin1String("models/")))
            continue;
        QDir().mkpath(QFileInfo(target + u'/' + relative).path());
        if (!QFile::copy(file, target + u'/' + relative))
            return false;
    }
    return true;
}

bool replaceInFile(const QString &path, const QString &before, const QString &after)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QString text = QString::fromUtf8(file.readAll());
    file.close();
    if (!text.contains(before))
        return false;
    text.replace(before, after);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text.toUtf8()) > 0;
}

} // namespace

class TestPostgreSQLDatabaseInstaller : public QObject
{
    Q_OBJECT

private:
    EOPostgreSQLConnection::Parameters server;
    QString database;

    QVariantMap dictionary() const
    {
        return {{QStringLiteral("URL"), TestDatabase::serverUrl(TestDatabase::Role::Owner, database)}};
    }

    // The first column of the first row, on the test's database.
    QString value(const QString &sql)
    {
        const auto parameters = EOPostgreSQLConnection::withDatabase(server, database);
        const EOPostgreSQLConnection::Handle connection = EOPostgreSQLConnection::connect(parameters);
        const EOPostgreSQLConnection::Result result(PQexec(connection.get(), sql.toUtf8().constData()));
        if (PQresultStatus(result.get()) != PGRES_TUPLES_OK || PQntuples(result.get()) < 1)
            return QStringLiteral("<erreur : %1>").arg(QString::fromUtf8(PQresultErrorMessage(result.get())));
        return QString::fromUtf8(PQgetvalue(result.get(), 0, 0));
    }
    void run(const QString &sql)
    {
        const auto parameters = EOPostgreSQLConnection::withDatabase(server, database);
        const EOPostgreSQLConnection::Handle connection = EOPostgreSQLConnection::connect(parameters);
        EOPostgreSQLConnection::execute(connection.get(), parameters, sql);
    }

private slots:
    void init()
    {
        LOCAVIA_REQUIRE_BACKEND(TestDatabase::Backend::PostgreSQL);
        server = EOPostgreSQLConnection::parametersForDictionary(
            {{QStringLiteral("URL"), qEnvironmentVariable("LOCAVIA_TEST_PG_OWNER_URL")}});
        database = QStringLiteral("locavia_i%1_%2")
                       .arg(QCoreApplication::applicationPid())
                       .arg(QRandomGenerator::global()->bounded(100000));
    }
    void cleanup()
    {
        if (!database.isEmpty() && !qEnvironmentVariableIsEmpty("LOCAVIA_TEST_PG_OWNER_URL"))
            PostgreSQLDatabaseInstaller::dropDatabase(server, database);
    }

    void createsThenUpgradesKeepingTheData()
    {
        auto report = PostgreSQLDatabaseInstaller::install(dictionary(), platform::resourcesDirectory());
        QVERIFY(report.databaseCreated);
        QCOMPARE(report.procedures, 19);
        QCOMPARE(
            value("SELECT pg_encoding_to_char(encoding) FROM pg_database WHERE datname = current_database()"),
            QStringLiteral("UTF8"));
        QCOMPARE(value("SELECT locavia.to_number(' 12.50 ')::text || '/' || "
                       "COALESCE(locavia.to_number('douze')::text, "
                       "'NULL') || '/' || COALESCE(locavia.to_number('')::text, 'NULL')"),
                 QStringLiteral("12.5/NULL/NULL"));
        run(QStringLiteral("INSERT INTO solma.LOCAL (C_LOCAL, APPELLATION) VALUES ('KEP', 'GARDÉ')"));
        // An older view, which the upgrade replaces.
        run(QStringLiteral(
            "DROP VIEW locavia.SALLES_VIX; CREATE VIEW locavia.SALLES_VIX AS SELECT 1 AS ANCIEN"));

        report = PostgreSQLDatabaseInstaller::install(dictionary(), platform::resourcesDirectory());
        QVERIFY(!report.databaseCreated);
        QCOMPARE(value("SELECT APPELLATION FROM solma.LOCAL WHERE C_LOCAL = 'KEP'"), QStringLiteral("GARDÉ"));
        QCOMPARE(value("SELECT COUNT(*) FROM information_schema.columns WHERE table_schema = 'locavia' "
                       "AND table_name = 'salles_vix' AND column_name = 'sal_numero'"),
                 QStringLiteral("1"));
        QCOMPARE(value("SELECT COUNT(*) FROM pg_roles WHERE rolname = 'locavia_utilisateurs'"),
                 QStringLiteral("1"));
        QCOMPARE(value("SELECT has_table_privilege('locavia_utilisateurs', 'solma.salles', 'SELECT')::text "
                       "|| '/' || "
                       "has_table_privilege('locavia_utilisateurs', 'solma.salles', 'INSERT')::text"),
                 QStringLiteral("true/false"));
    }

    void aDatabaseMadeBeforeTheHistoryKeepsItsRowsAndStartsRecording()
    {
        // The database as it was before the change history: no table, no trigger, no function of it.
        PostgreSQLDatabaseInstaller::install(dictionary(), platform::resourcesDirectory());
        run(QStringLiteral(
            "DROP TABLE locavia.HISTORIQUE; DROP FUNCTION locavia.historique() CASCADE; "
            "DROP FUNCTION locavia.historique_ecrire; "
            "INSERT INTO locavia.TYPE_SALLE (TSAL_NUMERO, TSAL_LIBELLE) VALUES (1, 'Salle de cours'); "
            "INSERT INTO solma.LOCAL (C_LOCAL, APPELLATION) VALUES ('KEP', 'GARDÉ'); "
            "INSERT INTO solma.SALLES (SAL_NUMERO, C_LOCAL, TSAL_NUMERO, SAL_ETAGE, SAL_PORTE) "
            "VALUES (7, 'KEP', 1, '1', 'A1'); "
            "INSERT INTO locavia.PRISES (SAL_NUMERO, PRI_CODE, PRI_TYPE) VALUES (7, '12', 'T')"));
        QCOMPARE(value("SELECT COUNT(*) FROM pg_trigger WHERE tgname = 'historique'"), QStringLiteral("0"));

        PostgreSQLDatabaseInstaller::install(dictionary(), platform::resourcesDirectory());
        QCOMPARE(value("SELECT s.SAL_PORTE || '/' || l.APPELLATION || '/' || p.PRI_CODE FROM solma.SALLES s "
                       "JOIN solma.LOCAL l ON l.C_LOCAL = s.C_LOCAL JOIN locavia.PRISES p ON p.SAL_NUMERO = "
                       "s.SAL_NUMERO"),
                 QStringLiteral("A1/GARDÉ/12"));
        QCOMPARE(value("SELECT COUNT(*) FROM locavia.HISTORIQUE"), QStringLiteral("0"));
        QCOMPARE(value("SELECT COUNT(*) FROM pg_trigger WHERE tgname = 'historique'"), QStringLiteral("8"));
        // It records from now on, under the login the connection gives; the clients may read it.
        run(QStringLiteral("SELECT set_config('eo.login', 'dupont', false); "
                           "UPDATE solma.SALLES SET SAL_ETAGE = '2' WHERE SAL_NUMERO = 7"));
        QCOMPARE(
            value(
                "SELECT HIS_UTILISATEUR || ' ' || HIS_CHAMP || ' ' || HIS_ANCIENNE || ' → ' || HIS_NOUVELLE "
                "FROM locavia.HISTORIQUE WHERE SAL_NUMERO = 7"),
            QStringLiteral("dupont SAL_ETAGE 1 → 2"));
        QCOMPARE(
            value("SELECT has_table_privilege('locavia_utilisateurs', 'locavia.historique', 'SELECT')::text "
                  "|| '/' || has_table_privilege('locavia_utilisateurs', 'locavia.historique', "
                  "'INSERT')::text"),
            QStringLiteral("true/false"));
    }

    void refusesADatabaseWithoutAccentedCapitals()
    {
        const auto maintenance = EOPostgreSQLConnection::withDatabase(server, QStringLiteral("postgres"));
        const EOPostgreSQLConnection::Handle connection = EOPostgreSQLConnection::connect(maintenance);
        EOPostgreSQLConnection::execute(
            connection.get(), maintenance,
            QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8' "
                           "LC_COLLATE 'C' LC_CTYPE 'C'")
                .arg(database));
        try {
            PostgreSQLDatabaseInstaller::install(dictionary(), platform::resourcesDirectory());
            QFAIL("a database whose UPPER ignores accents must be refused");
        } catch (const EOException &error) {
            QVERIFY2(error.message().contains(QStringLiteral("lettres accentuées")),
                     qPrintable(error.message()));
        }
        QCOMPARE(value("SELECT COUNT(*) FROM pg_namespace WHERE nspname IN ('locavia', 'solma')"),
                 QStringLiteral("0"));
    }

    void failingScriptCommitsNothing_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("message");
        QTest::newRow("a procedure the server refuses")
            << "sql/postgresql/procedures/delPrises.sql"
            << "DELETE FROM PRISES"
            << "DELETE FROM"
            << "Le script procedures/delPrises.sql a été refusé par le serveur";
        QTest::newRow("a procedure without the model's arguments")
            << "sql/postgresql/procedures/insUnite.sql"
            << "unilibelle text DEFAULT NULL"
            << "libelle text DEFAULT NULL"
            << "La procédure insUnite du serveur n'a pas les arguments du modèle";
        QTest::newRow("a view naming an unknown column") << "sql/views/joined.sql"
                                                         << "       s.SAL_NUM_DEPART,"
                                                         << "       s.SAL_INCONNUE,"
                                                         << "Le script views.sql a été refusé par le serveur";
    }
    void failingScriptCommitsNothing()
    {
        QFETCH(QString, file);
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(QString, message);
        QTemporaryDir resources;
        QVERIFY(copyResources(resources.path()));
        QVERIFY(replaceInFile(resources.filePath(file), before, after));
        try {
            PostgreSQLDatabaseInstaller::install(dictionary(), resources.path());
            QFAIL("the spoilt script must be refused");
        } catch (const EOException &error) {
            QVERIFY2(error.message().startsWith(message), qPrintable(error.message()));
        }
        // The database was made, but holds nothing of the installation.
        QCOMPARE(value("SELECT COUNT(*) FROM pg_namespace WHERE nspname IN ('locavia', 'solma')"),
                 QStringLiteral("0"));
    }

    void installationsAtOnceBothSucceed()
    {
        PostgreSQLDatabaseInstaller::install(dictionary(), platform::resourcesDirectory());
        QString errors[2];
        std::thread first([&] {
            try {
                PostgreSQLDatabaseInstaller::install(dictionary(), platform::resourcesDirectory());
            } catch (const EOException &error) {
                errors[0] = error.message();
            }
        });
        std::thread second([&] {
            try {
                PostgreSQLDatabaseInstaller::install(dictionary(), platform::resourcesDirectory());
            } catch (const EOException &error) {
                errors[1] = error.message();
            }
        });
        first.join();
        second.join();
        QVERIFY2(errors[0].isEmpty(), qPrintable(errors[0]));
        QVERIFY2(errors[1].isEmpty(), qPrintable(errors[1]));
        QCOMPARE(value("SELECT COUNT(*) FROM pg_proc p JOIN pg_namespace n ON n.oid = p.pronamespace "
                       "WHERE n.nspname = 'locavia' AND p.proname = 'inssalle'"),
                 QStringLiteral("1"));
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    TestPostgreSQLDatabaseInstaller test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_PostgreSQLDatabaseInstaller.moc"
