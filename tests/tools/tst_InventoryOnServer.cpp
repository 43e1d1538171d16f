// locavia-inventory on a department's server: the same demo data loaded into a PostgreSQL database and into
// an embedded one reads the same through --url and --database; a server that refuses gives status 1.

#include "TestDatabase.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <libpq-fe.h>

namespace
{

struct Run {
    int status = -1;
    QString out;
    QString err;
};

Run run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QStringLiteral("10"));
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Run result;
    if (!process.waitForFinished(180000))
        return result;
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

// The report without its first line, which names the database.
QString body(const QString &report)
{
    return report.section(QLatin1Char('\n'), 1);
}

} // namespace

class TestInventoryOnServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void readsTheServerAsTheEmbeddedDatabase();
    void refusedAccount();

private:
    QString m_url;
    QString m_database;
};

void TestInventoryOnServer::initTestCase()
{
    LOCAVIA_REQUIRE_BACKEND(TestDatabase::Backend::PostgreSQL);
    m_database = QStringLiteral("locavia_inventaire_%1_%2")
                     .arg(QCoreApplication::applicationPid())
                     .arg(QRandomGenerator::global()->bounded(100000));
    QUrl url(qEnvironmentVariable("LOCAVIA_TEST_PG_URL"));
    url.setPath(QLatin1Char('/') + m_database);
    m_url = url.toString();
}

void TestInventoryOnServer::cleanupTestCase()
{
    if (m_database.isEmpty())
        return;
    PGconn *connection = PQconnectdb(qgetenv("LOCAVIA_TEST_PG_URL").constData());
    if (PQstatus(connection) == CONNECTION_OK)
        PQclear(PQexec(connection,
                       QStringLiteral("DROP DATABASE IF EXISTS %1").arg(m_database).toUtf8().constData()));
    PQfinish(connection);
}

void TestInventoryOnServer::readsTheServerAsTheEmbeddedDatabase()
{
    const QString admin = QStringLiteral(LOCAVIA_ADMIN_PATH);
    const QString inventory = QStringLiteral(LOCAVIA_INVENTORY_PATH);
    const QStringList demo{QStringLiteral("--demo"), QStringLiteral("--rooms"), QStringLiteral("30"),
                           QStringLiteral("--user"), QStringLiteral("amartin")};
    const Run server =
        run(admin, QStringList{QStringLiteral("postgresql"), QStringLiteral("--url"), m_url} + demo);
    QVERIFY2(server.status == 0, qPrintable(server.err));
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const Run embedded =
        run(admin, QStringList{QStringLiteral("sqlite"), QStringLiteral("--dir"), dir.path()} + demo);
    QVERIFY2(embedded.status == 0, qPrintable(embedded.err));

    const Run fromServer = run(inventory, {QStringLiteral("--url"), m_url});
    QVERIFY2(fromServer.status == 0, qPrintable(fromServer.err));
    QVERIFY2(fromServer.out.startsWith(QStringLiteral("Locavia — base « %1 »").arg(m_url)),
             qPrintable(fromServer.out));
    QVERIFY2(fromServer.out.contains(QStringLiteral("Salles par bâtiment (")), qPrintable(fromServer.out));
    const Run fromFile = run(inventory, {QStringLiteral("--database"), dir.path()});
    QVERIFY2(fromFile.status == 0, qPrintable(fromFile.err));
    QCOMPARE(body(fromServer.out), body(fromFile.out));
}

void TestInventoryOnServer::refusedAccount()
{
    // The cluster's role that must give a password, without one.
    QUrl url(m_url);
    url.setUserName(QStringLiteral("locavia_mdp"));
    const Run refused =
        run(QStringLiteral(LOCAVIA_INVENTORY_PATH), {QStringLiteral("--url"), url.toString()});
    QCOMPARE(refused.status, 1);
    QVERIFY(refused.out.isEmpty());
    QVERIFY2(refused.err.startsWith(QStringLiteral("locavia-inventory : ")), qPrintable(refused.err));
}

QTEST_GUILESS_MAIN(TestInventoryOnServer)
#include "tst_InventoryOnServer.moc"
