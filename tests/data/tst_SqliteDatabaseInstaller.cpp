// The installer of the embedded database: a new database, an upgrade that keeps the data, a replacement, the
// refusals that must leave every file as it was, an upgrade while another program reads (both files or
// neither), and the journal a killed program leaves behind.

#include "EOException.h"
#include "EOSQLiteAdaptor.h"
#include "Resources.h"
#include "SqliteDatabaseInstaller.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <functional>
#include <memory>
#include <sqlite3.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using data::SqliteDatabaseInstaller;

namespace
{

class Database
{
public:
    explicit Database(const QString &path)
    {
        sqlite3 *raw = nullptr;
        sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        m_db.reset(raw);
    }
    bool exec(const char *sql) const
    {
        return sqlite3_exec(m_db.get(), sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    QStringList column(const char *sql) const
    {
        QStringList values;
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(m_db.get(), sql, -1, &statement, nullptr) != SQLITE_OK)
            return {QStringLiteral("<ERREUR %1>").arg(QString::fromUtf8(sqlite3_errmsg(m_db.get())))};
        while (sqlite3_step(statement) == SQLITE_ROW) {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, 0));
            values.append(text ? QString::fromUtf8(text) : QString());
        }
        sqlite3_finalize(statement);
        return values;
    }
    QString value(const char *sql) const
    {
        const QStringList values = column(sql);
        return values.isEmpty() ? QString() : values.first();
    }

private:
    struct Closer {
        void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
    };
    std::unique_ptr<sqlite3, Closer> m_db;
};

QString failure(const std::function<void()> &action)
{
    try {
        action();
    } catch (const eo::EOException &error) {
        return error.message();
    }
    return QStringLiteral("<aucune erreur>");
}

// A copy of the resources that a test may spoil.
QString copyResources(const QTemporaryDir &target)
{
    const QString source = platform::resourcesDirectory() + QStringLiteral("/sql");
    QDirIterator files(source, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString file = files.next();
        const QString copy = target.path() + QStringLiteral("/sql/") + QDir(source).relativeFilePath(file);
        QDir().mkpath(QFileInfo(copy).absolutePath());
        QFile::copy(file, copy);
    }
    return target.path();
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

QStringList procedureFiles()
{
    QStringList names;
    const QDir directory(platform::resourcesDirectory() + QStringLiteral("/sql/sqlite/procedures"));
    for (const QFileInfo &file : directory.entryInfoList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name))
        names.append(file.completeBaseName());
    return names;
}

} // namespace

class TestSqliteDatabaseInstaller : public QObject
{
    Q_OBJECT

private slots:
    void createsBothFilesWithTheProcedures()
    {
        QTemporaryDir dir;
        const QString target = dir.path() + QStringLiteral("/nouveau/dossier");
        SqliteDatabaseInstaller::install(target, platform::resourcesDirectory());

        QCOMPARE(QDir(target).entryList(QDir::Files, QDir::Name), (QStringList{"locavia.db", "solma.db"}));
        const Database inventory(target + QStringLiteral("/locavia.db"));
        QStringList expected = procedureFiles();
        QCOMPARE(expected.size(), 19);
        expected.prepend(QStringLiteral("#session"));
        QCOMPARE(inventory.column("SELECT NAME FROM EO_PROCEDURE ORDER BY NAME"), expected);
        // The bodies are stored with their shared checks in place, under the procedure's own names.
        const QString body = inventory.value("SELECT BODY FROM EO_PROCEDURE WHERE NAME = 'insSalle'");
        QVERIFY(!body.contains(QStringLiteral("--@")));
        QVERIFY(body.contains(QStringLiteral("WHERE NULLIF(TRIM(:insCLocal), '') IS NULL;")));
        QVERIFY(body.contains(QStringLiteral("INSERT INTO SOLMA.SALLES")));
        QVERIFY(!body.contains(QStringLiteral(":cLocal")));
        const QString session = inventory.value("SELECT BODY FROM EO_PROCEDURE WHERE NAME = '#session'");
        QVERIFY(session.contains(QStringLiteral("CREATE TEMP VIEW SALLES_VIX")));
        QVERIFY(session.contains(QStringLiteral("DROP VIEW IF EXISTS temp.SALLES_VIX")));
        QVERIFY(session.contains(QStringLiteral("CREATE TEMP TRIGGER HISTORIQUE_SALLES_MODIFICATION")));
        // The views over one file are kept in it.
        QCOMPARE(inventory.value("SELECT COUNT(*) FROM sqlite_schema WHERE type = 'view'"),
                 QStringLiteral("2"));
        QCOMPARE(inventory.value("PRAGMA user_version"), QStringLiteral("2"));
        // The rooms live in the reference file, their sub-lists in the inventory.
        QCOMPARE(inventory.value("SELECT COUNT(*) FROM sqlite_schema WHERE name = 'SALLES'"),
                 QStringLiteral("0"));
        QCOMPARE(inventory.value("SELECT COUNT(*) FROM sqlite_schema WHERE name = 'PRISES'"),
                 QStringLiteral("1"));
        const Database solma(target + QStringLiteral("/solma.db"));
        QCOMPARE(solma.value("SELECT COUNT(*) FROM sqlite_schema WHERE name IN ('SALLES', 'LOCAL', "
                             "'SOLMA_PARAMETRES')"),
                 QStringLiteral("3"));
        QCOMPARE(solma.value("PRAGMA user_version"), QStringLiteral("2"));
    }

    void upgradeKeepsTheDataAndRefreshesTheProcedures()
    {
        QTemporaryDir dir;
        SqliteDatabaseInstaller::install(dir.path(), platform::resourcesDirectory());
        {
            const Database inventory(dir.path() + QStringLiteral("/locavia.db"));
            QVERIFY(inventory.exec("INSERT INTO TYPE_SALLE (TSAL_LIBELLE) VALUES ('Atelier');"
                                   "UPDATE EO_PROCEDURE SET BODY = 'SELECT 1;' WHERE NAME = 'insSalle';"
                                   "INSERT INTO EO_PROCEDURE VALUES ('ancienneProcedure', 'SELECT 2;');"
                                   "DROP TABLE CONFIGURATION;"));
            const Database solma(dir.path() + QStringLiteral("/solma.db"));
            QVERIFY(solma.exec("INSERT INTO SALLES (SAL_ETAGE, SAL_PORTE) VALUES ('1', 'A1');"
                               "DROP VIEW SERVICE_VIX;"));
        }
        SqliteDatabaseInstaller::install(dir.path(), platform::resourcesDirectory());

        const Database inventory(dir.path() + QStringLiteral("/locavia.db"));
        QCOMPARE(inventory.column("SELECT TSAL_LIBELLE FROM TYPE_SALLE"), QStringList{"Atelier"});
        QVERIFY(inventory.value("SELECT BODY FROM EO_PROCEDURE WHERE NAME = 'insSalle'")
                    .contains(QStringLiteral("INSERT INTO SOLMA.SALLES")));
        QCOMPARE(inventory.value("SELECT COUNT(*) FROM EO_PROCEDURE WHERE NAME = 'ancienneProcedure'"),
                 QStringLiteral("0"));
        QCOMPARE(inventory.value("SELECT COUNT(*) FROM CONFIGURATION"), QStringLiteral("0"));
        const Database solma(dir.path() + QStringLiteral("/solma.db"));
        QCOMPARE(solma.column("SELECT SAL_PORTE FROM SALLES"), QStringList{"A1"});
        QCOMPARE(solma.value("SELECT COUNT(*) FROM SERVICE_VIX"), QStringLiteral("0"));
    }

    void aDatabaseMadeBeforeTheHistoryKeepsItsRowsAndStartsRecording()
    {
        QTemporaryDir dir;
        SqliteDatabaseInstaller::install(dir.path(), platform::resourcesDirectory());
        {
            // The database as it was before the change history: no table, a session script without the
            // triggers, the former version; and rooms in it.
            const Database inventory(dir.path() + QStringLiteral("/locavia.db"));
            QVERIFY(inventory.exec("UPDATE EO_PROCEDURE SET BODY = substr(BODY, 1, "
                                   "instr(BODY, '-- The triggers that write the change history') - 1) "
                                   "WHERE NAME = '#session'"));
            QVERIFY(!inventory.value("SELECT BODY FROM EO_PROCEDURE WHERE NAME = '#session'")
                         .contains("TRIGGER"));
            QVERIFY(
                inventory.exec("DROP TABLE HISTORIQUE; PRAGMA user_version = 1;"
                               "INSERT INTO TYPE_SALLE (TSAL_NUMERO, TSAL_LIBELLE) VALUES (1, 'Atelier');"
                               "INSERT INTO PRISES (SAL_NUMERO, PRI_CODE, PRI_TYPE) VALUES (7, '12', 'T');"));
            const Database solma(dir.path() + QStringLiteral("/solma.db"));
            QVERIFY(solma.exec("INSERT INTO LOCAL (C_LOCAL, APPELLATION) VALUES ('KEP', 'GARDÉ');"
                               "INSERT INTO SALLES (SAL_NUMERO, C_LOCAL, TSAL_NUMERO, SAL_ETAGE, SAL_PORTE) "
                               "VALUES (7, 'KEP', 1, '1', 'A1'); PRAGMA user_version = 1;"));
        }
        SqliteDatabaseInstaller::install(dir.path(), platform::resourcesDirectory());

        const Database inventory(dir.path() + QStringLiteral("/locavia.db"));
        QCOMPARE(inventory.value("SELECT PRI_CODE FROM PRISES WHERE SAL_NUMERO = 7"), QStringLiteral("12"));
        QCOMPARE(inventory.value("SELECT COUNT(*) FROM HISTORIQUE"), QStringLiteral("0"));
        QCOMPARE(inventory.value("PRAGMA user_version"), QStringLiteral("2"));
        const Database solma(dir.path() + QStringLiteral("/solma.db"));
        QCOMPARE(solma.value("SELECT SAL_PORTE || '/' || SAL_ETAGE FROM SALLES WHERE SAL_NUMERO = 7"),
                 QStringLiteral("A1/1"));

        // A connection of the programs records from now on, under the login it was given.
        eo::EOSQLiteAdaptor adaptor;
        adaptor.setConnectionDictionary(
            {{QStringLiteral("URL"),
              QStringLiteral("sqlite://") + dir.path() + QStringLiteral("/locavia.db")},
             {QStringLiteral("attachedDatabases"),
              QVariantMap{{QStringLiteral("SOLMA"), QStringLiteral("solma.db")}}}});
        adaptor.setSessionLogin(QStringLiteral("dupont"));
        adaptor.rawRows(QStringLiteral("UPDATE SOLMA.SALLES SET SAL_ETAGE = '2' WHERE SAL_NUMERO = 7"), {});
        adaptor.close();
        QCOMPARE(
            inventory.value("SELECT HIS_UTILISATEUR || ' ' || HIS_CHAMP || ' ' || HIS_ANCIENNE || ' → ' || "
                            "HIS_NOUVELLE FROM HISTORIQUE WHERE SAL_NUMERO = 7"),
            QStringLiteral("dupont SAL_ETAGE 1 → 2"));
    }

    void replaceStartsAfresh()
    {
        QTemporaryDir dir;
        SqliteDatabaseInstaller::install(dir.path(), platform::resourcesDirectory());
        QVERIFY(Database(dir.path() + QStringLiteral("/solma.db"))
                    .exec("INSERT INTO SALLES (SAL_PORTE) VALUES ('A1')"));
        SqliteDatabaseInstaller::install(dir.path(), platform::resourcesDirectory(), true);
        QCOMPARE(Database(dir.path() + QStringLiteral("/solma.db")).value("SELECT COUNT(*) FROM SALLES"),
                 QStringLiteral("0"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
                 (QStringList{"locavia.db", "solma.db"}));
    }

    void refusesAForeignDatabase()
    {
        QTemporaryDir dir;
        QVERIFY(Database(dir.path() + QStringLiteral("/locavia.db")).exec("CREATE TABLE COMPTA (X)"));
        QCOMPARE(
            failure([&] { SqliteDatabaseInstaller::install(dir.path(), platform::resourcesDirectory()); }),
            QStringLiteral(
                "Le fichier « %1/locavia.db » existe mais n'est pas une base Locavia : il n'est pas "
                "modifié.")
                .arg(dir.path()));
        QCOMPARE(Database(dir.path() + QStringLiteral("/locavia.db"))
                     .column("SELECT name FROM sqlite_schema WHERE type = 'table'"),
                 QStringList{"COMPTA"});
        // The reference file that was to go with it is not left behind.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"locavia.db"});

        // Asked explicitly, the replacement goes ahead.
        SqliteDatabaseInstaller::install(dir.path(), platform::resourcesDirectory(), true);
        QCOMPARE(Database(dir.path() + QStringLiteral("/locavia.db"))
                     .value("SELECT COUNT(*) FROM sqlite_schema WHERE name = 'COMPTA'"),
                 QStringLiteral("0"));
    }

    void refusesAFileThatIsNotADatabase()
    {
        QTemporaryDir dir;
        writeFile(dir.path() + QStringLiteral("/solma.db"), "des notes, pas une base\n");
        QCOMPARE(
            failure([&] { SqliteDatabaseInstaller::install(dir.path(), platform::resourcesDirectory()); }),
            QStringLiteral("Le fichier « %1/solma.db » n'est pas une base de données SQLite : il n'est pas "
                           "modifié.")
                .arg(dir.path()));
        QFile notes(dir.path() + QStringLiteral("/solma.db"));
        QVERIFY(notes.open(QIODevice::ReadOnly));
        QCOMPARE(notes.readAll(), QByteArray("des notes, pas une base\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"solma.db"});
    }

    void brokenResourcesChangeNothing_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("error");

        QTest::newRow("unknown column")
            << "procedures/insUnite.sql" << QByteArray("INSERT INTO UNITE (UNI_NOM) VALUES (:uniabrev);")
            << "La procédure « insUnite » est invalide : table UNITE has no column "
               "named UNI_NOM";
        QTest::newRow("unnamed parameter")
            << "procedures/delUnite.sql" << QByteArray("DELETE FROM UNITE WHERE UNI_ORDRE = ?;")
            << "La procédure « delUnite » a un paramètre « ? » qui n'est pas de la forme :nom.";
        QTest::newRow("comments only") << "procedures/delPrises.sql" << QByteArray("-- rien à faire\n")
                                       << "La procédure « delPrises » est vide.";
        QTest::newRow("view on a missing table")
            << "session.sql" << QByteArray("CREATE TEMP VIEW V AS SELECT * FROM SOLMA.ABSENTE;")
            << "La vue temp.\"V\" est invalide : no such table: SOLMA.ABSENTE";
        // The checks shared by two procedures are checked in each.
        QTest::newRow("shared check naming an unknown table")
            << "shared/room-complement-checks.sql" << QByteArray("SELECT raise_error('x') FROM ABSENTE;")
            << "La procédure « insSalleTav » est invalide : no such table: ABSENTE";
        QTest::newRow("included file missing")
            << "procedures/delUnite.sql" << QByteArray("--@include sqlite/shared/absente.sql\n")
            << QStringLiteral(
                   "Le fichier « %1/sql/sqlite/shared/absente.sql » est introuvable ou illisible.");
        QTest::newRow("renaming a parameter the shared checks do not use")
            << "procedures/insSalleTav.sql"
            << QByteArray("--@include sqlite/shared/room-complement-checks.sql :salNumero=:numero\n")
            << "« sqlite/procedures/insSalleTav.sql » renomme le paramètre :salNumero, que "
               "« sqlite/shared/room-complement-checks.sql » n'utilise pas.";
    }
    void brokenResourcesChangeNothing()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QString, error);

        QTemporaryDir resourcesCopy;
        const QString resources = copyResources(resourcesCopy);
        writeFile(resources + QStringLiteral("/sql/sqlite/") + file, content);
        if (error.contains(u'%'))
            error = error.arg(resources);

        // A new database is not created at all.
        QTemporaryDir fresh;
        QCOMPARE(failure([&] { SqliteDatabaseInstaller::install(fresh.path(), resources); }), error);
        QCOMPARE(QDir(fresh.path()).entryList(QDir::Files), QStringList());

        // An existing one keeps its procedures and its data.
        QTemporaryDir existing;
        SqliteDatabaseInstaller::install(existing.path(), platform::resourcesDirectory());
        QVERIFY(Database(existing.path() + QStringLiteral("/locavia.db"))
                    .exec("INSERT INTO UNITE (UNI_ABREV, UNI_LIBELLE) VALUES ('m', 'mètre')"));
        QCOMPARE(failure([&] { SqliteDatabaseInstaller::install(existing.path(), resources); }), error);
        const Database inventory(existing.path() + QStringLiteral("/locavia.db"));
        QCOMPARE(inventory.column("SELECT UNI_ABREV FROM UNITE"), QStringList{"m"});
        QCOMPARE(inventory.value("SELECT COUNT(*) FROM EO_PROCEDURE"), QStringLiteral("20"));
        QVERIFY(!inventory.value("SELECT BODY FROM EO_PROCEDURE WHERE NAME = 'delPrises'")
                     .startsWith(u"-- rien"));
    }

    void missingResourcesStopBeforeAnyFile()
    {
        QTemporaryDir resourcesCopy;
        const QString resources = copyResources(resourcesCopy);
        QVERIFY(QFile::remove(resources + QStringLiteral("/sql/sqlite/inventory.sql")));
        QTemporaryDir dir;
        const QString target = dir.path() + QStringLiteral("/base");
        QCOMPARE(failure([&] { SqliteDatabaseInstaller::install(target, resources); }),
                 QStringLiteral("Le fichier « %1/sql/sqlite/inventory.sql » est introuvable ou illisible.")
                     .arg(resources));
        QVERIFY(!QFileInfo::exists(target));

        QTemporaryDir noProcedures;
        const QString empty = copyResources(noProcedures);
        QVERIFY(QDir(empty + QStringLiteral("/sql/sqlite/procedures")).removeRecursively());
        QVERIFY(failure([&] {
                    SqliteDatabaseInstaller::install(target, empty);
                }).startsWith(QStringLiteral("Aucune procédure stockée dans")));
        QVERIFY(!QFileInfo::exists(target));
    }

    void upgradeUnderAReader()
    {
        QTemporaryDir dir;
        SqliteDatabaseInstaller::install(dir.path(), platform::resourcesDirectory());
        const QString inventoryPath = dir.path() + QStringLiteral("/locavia.db");
        const QString solmaPath = dir.path() + QStringLiteral("/solma.db");
        // Files of an older version: an index missing in each, which the upgrade makes.
        {
            const Database inventory(inventoryPath);
            const Database solma(solmaPath);
            QVERIFY(inventory.exec("DROP INDEX TYPE_MATERIEL_UNITE; PRAGMA user_version = 0"));
            QVERIFY(solma.exec("DROP INDEX SOLMA_PARAMETRES_KEY; PRAGMA user_version = 0"));
        }
        auto upgraded = [&] {
            const Database inventory(inventoryPath);
            const Database solma(solmaPath);
            return QStringList{
                inventory.value("SELECT COUNT(*) FROM sqlite_schema WHERE name = 'TYPE_MATERIEL_UNITE'"),
                solma.value("SELECT COUNT(*) FROM sqlite_schema WHERE name = 'SOLMA_PARAMETRES_KEY'")};
        };

        // The program reads the inventory, for longer than the installation waits: neither file changes.
        const Database reader(inventoryPath);
        QVERIFY(reader.exec("BEGIN; SELECT COUNT(*) FROM EO_PROCEDURE"));
        const QString message = failure([&] {
            SqliteDatabaseInstaller::install(dir.path(), platform::resourcesDirectory(), false, 300);
        });
        QVERIFY2(message.contains(QStringLiteral("occupée par un autre programme")) &&
                     message.contains(inventoryPath) && message.contains(QStringLiteral("réessayez")),
                 qPrintable(message));
        QCOMPARE(upgraded(), (QStringList{"0", "0"}));

        // A reader that lets go within the wait: the installation waits for it, then upgrades both.
        std::thread release([&reader] {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            reader.exec("COMMIT");
        });
        const QString retried = failure([&] {
            SqliteDatabaseInstaller::install(dir.path(), platform::resourcesDirectory(), false, 10000);
        });
        release.join();
        QCOMPARE(retried, QStringLiteral("<aucune erreur>"));
        QCOMPARE(upgraded(), (QStringList{"1", "1"}));
    }

    void aJournalLeftByAKilledProgramIsRolledBack_data()
    {
        QTest::addColumn<bool>("byTheProgram");
        QTest::newRow("next open by the program") << true;
        QTest::newRow("next installation") << false;
    }

    void aJournalLeftByAKilledProgramIsRolledBack()
    {
        QFETCH(bool, byTheProgram);
        QTemporaryDir dir;
        SqliteDatabaseInstaller::install(dir.path(), platform::resourcesDirectory());
        const QString inventoryPath = dir.path() + QStringLiteral("/locavia.db");
        // A program writes both files and is killed before its commit, its changes half on the disk.
        const QByteArray attach = "ATTACH DATABASE '" + dir.path().toUtf8() + "/solma.db' AS SOLMA";
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            sqlite3 *db = nullptr;
            sqlite3_open_v2(inventoryPath.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
            sqlite3_exec(db, attach.constData(), nullptr, nullptr, nullptr);
            sqlite3_exec(
                db,
                "PRAGMA cache_size = 2; PRAGMA SOLMA.cache_size = 2; BEGIN;"
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
                "INSERT INTO SOLMA.SOLMA_PARAMETRES (PARAM_KEY, PARAM_VALUE) "
                "SELECT 'CLE', printf('%0150d', i) FROM n;"
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
                "INSERT INTO PARAMETRES (PARAM_KEY, PARAM_VALUE) SELECT 'CLE', printf('%0150d', i) FROM n;",
                nullptr, nullptr, nullptr);
            _exit(0);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(QFileInfo::exists(inventoryPath + QStringLiteral("-journal")));

        if (byTheProgram) {
            eo::EOSQLiteAdaptor adaptor;
            adaptor.setConnectionDictionary(
                {{QStringLiteral("URL"), QStringLiteral("sqlite://") + inventoryPath},
                 {QStringLiteral("attachedDatabases"),
                  QVariantMap{{QStringLiteral("SOLMA"), QStringLiteral("solma.db")}}}});
            const auto rows = adaptor.rawRows(
                QStringLiteral("SELECT (SELECT COUNT(*) FROM PARAMETRES) + (SELECT COUNT(*) FROM "
                               "SOLMA.SOLMA_PARAMETRES)"),
                {});
            QCOMPARE(rows.first().value(QStringLiteral("Attribute0")).toInt(), 0);
        } else {
            SqliteDatabaseInstaller::install(dir.path(), platform::resourcesDirectory());
        }
        QCOMPARE(Database(inventoryPath).value("SELECT COUNT(*) FROM PARAMETRES"), QStringLiteral("0"));
        QCOMPARE(
            Database(dir.path() + QStringLiteral("/solma.db")).value("SELECT COUNT(*) FROM SOLMA_PARAMETRES"),
            QStringLiteral("0"));
        const QStringList left =
            QDir(dir.path()).entryList({QStringLiteral("*-journal"), QStringLiteral("*-mj*")});
        QVERIFY2(left.isEmpty(), qPrintable(left.join(u' ')));
    }
};

QTEST_GUILESS_MAIN(TestSqliteDatabaseInstaller)
#include "tst_SqliteDatabaseInstaller.moc"
