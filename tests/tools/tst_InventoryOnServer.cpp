// locavia-inventory on a department's server: the same demo data loaded into a PostgreSQL database and into
// an embedded one reads the same through --url and through --database.

#include "ProgramRun.h"
#include "TestDatabase.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <libpq-fe.h>

class TestInventoryOnServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { LOCAVIA_REQUIRE_BACKEND(TestDatabase::Backend::PostgreSQL); }
    void readsTheServerAsTheEmbeddedDatabase();
};

void TestInventoryOnServer::readsTheServerAsTheEmbeddedDatabase()
{
    // The administrator installs the database; a room manager reads it.
    const QString database = QStringLiteral("locavia_inventaire_%1").arg(QCoreApplication::applicationPid());
    const QString installed = TestDatabase::serverUrl(TestDatabase::Role::Owner, database);
    const QUrl url(TestDatabase::serverUrl(TestDatabase::Role::RoomManager, database));
    // The database is dropped however the test ends.
    const auto drop = qScopeGuard([&database] {
        PGconn *connection = PQconnectdb(qgetenv("LOCAVIA_TEST_PG_OWNER_URL").constData());
        PQclear(PQexec(connection,
                       QStringLiteral("DROP DATABASE IF EXISTS %1").arg(database).toUtf8().constData()));
        PQfinish(connection);
    });
    QTemporaryDir dir;
    QVERIFY(dir.isValid());

    const QString admin = QStringLiteral(LOCAVIA_ADMIN_PATH);
    const QStringList demo{"--demo", "--rooms", "30", "--user", "amartin"};
    const ProgramRun server = ProgramRun::of(admin, QStringList{"postgresql", "--url", installed} + demo);
    QVERIFY2(server.status == 0, qPrintable(server.report()));
    const ProgramRun embedded = ProgramRun::of(admin, QStringList{"sqlite", "--dir", dir.path()} + demo);
    QVERIFY2(embedded.status == 0, qPrintable(embedded.report()));

    const QString inventory = QStringLiteral(LOCAVIA_INVENTORY_PATH);
    const ProgramRun fromServer = ProgramRun::of(inventory, {"--url", url.toString()});
    QVERIFY2(fromServer.status == 0 && fromServer.out.contains("Salles par bâtiment ("),
             qPrintable(fromServer.report()));
    QVERIFY2(fromServer.out.startsWith(QStringLiteral("Locavia — base « %1 »").arg(url.toString())),
             qPrintable(fromServer.out));
    const ProgramRun fromFile = ProgramRun::of(inventory, {"--database", dir.path()});
    QVERIFY2(fromFile.status == 0, qPrintable(fromFile.report()));
    // Everything but the first line, which names the database.
    QCOMPARE(fromServer.out.section(QLatin1Char('\n'), 1), fromFile.out.section(QLatin1Char('\n'), 1));
}

QTEST_GUILESS_MAIN(TestInventoryOnServer)
#include "tst_InventoryOnServer.moc"
