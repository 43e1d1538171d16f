// The data bus when another program or user holds the data and when a commit is refused (the test class runs
// once per backend): no transaction is left open, no call hangs, nothing is reported as saved that is not,
// the wait shows and Escape gives it up, and the next call works.

#include "EODisplayGroup.h"
#include "EOException.h"
#include "EOPostgreSQLAdaptor.h"
#include "EOPostgreSQLConnection.h"
#include "EOSQLiteAdaptor.h"
#include "NSCursorExtensions.h"
#include "TestDatabase.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>
#include <libpq-fe.h>
#include <memory>
#include <sqlite3.h>

namespace
{

const QVariantMap kilogram{{"uniabrev", "kg"}, {"unilibelle", "kilogramme"}};
const QVariantMap gram{{"uniabrev", "g"}, {"unilibelle", "gramme"}};
const QVariantMap metre{{"uniabrev", "m"}, {"unilibelle", "mètre"}};

bool isEnglish(const QString &message)
{
    for (const char *word : {"database is", "cannot ", "no such", "within a transaction", "canceling"}) {
        if (message.contains(QLatin1String(word)))
            return true;
    }
    return false;
}

struct SqliteCloser {
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
using SqliteHandle = std::unique_ptr<sqlite3, SqliteCloser>;

} // namespace

class TestDatabaseReliability : public QObject
{
    Q_OBJECT

public:
    explicit TestDatabaseReliability(TestDatabase::Backend backend) : m_backend(backend) {}

private:
    const TestDatabase::Backend m_backend;
    std::unique_ptr<TestDatabase> db;
    eo::EOPostgreSQLConnection::Handle m_otherServerSession;
    SqliteHandle m_otherProgram;
    QStringList m_titles;

    bool onServer() const { return m_backend == TestDatabase::Backend::PostgreSQL; }

    // The data bus's next connection waits at most lockSeconds for a lock (0: no limit).
    void setLockTimeout(int lockSeconds)
    {
        eo::EOAdaptor *adaptor = db->dataBus().dataBusAdaptor();
        QVariantMap dictionary = adaptor->connectionDictionary();
        dictionary.insert(QStringLiteral("lockTimeout"), lockSeconds);
        adaptor->close();
        adaptor->setConnectionDictionary(dictionary);
    }

    // Another program (SQLite) or another user's session (server) on the same data.
    void openOtherSession()
    {
        if (onServer()) {
            m_otherServerSession = eo::EOPostgreSQLConnection::connect(
                eo::EOPostgreSQLConnection::parametersForDictionary(db->connectionDictionary()));
            return;
        }
        sqlite3 *raw = nullptr;
        QCOMPARE(
            sqlite3_open_v2(QString(db->directory() + QStringLiteral("/locavia.db")).toUtf8().constData(),
                            &raw, SQLITE_OPEN_READWRITE, nullptr),
            SQLITE_OK);
        m_otherProgram.reset(raw);
    }

    void other(const char *sql)
    {
        if (onServer()) {
            eo::EOPostgreSQLConnection::Result result(PQexec(m_otherServerSession.get(), sql));
            QVERIFY2(PQresultStatus(result.get()) == PGRES_COMMAND_OK ||
                         PQresultStatus(result.get()) == PGRES_TUPLES_OK,
                     PQerrorMessage(m_otherServerSession.get()));
            return;
        }
        char *error = nullptr;
        const int rc = sqlite3_exec(m_otherProgram.get(), sql, nullptr, nullptr, &error);
        const QString message = QString::fromUtf8(error ? error : "");
        sqlite3_free(error);
        QVERIFY2(rc == SQLITE_OK, qPrintable(message));
    }

    // The other program or user holds the units until otherEnds(): a write on the embedded database, an
    // exclusive lock of the table on the server.
    void otherHoldsTheUnits()
    {
        openOtherSession();
        if (onServer())
            other("BEGIN; LOCK TABLE locavia.UNITE IN ACCESS EXCLUSIVE MODE");
        else
            other("BEGIN IMMEDIATE; INSERT INTO UNITE (UNI_ABREV, UNI_LIBELLE) VALUES ('l', 'litre')");
    }

    void otherEnds() { other("ROLLBACK"); }

    int units() const { return db->scalar(QStringLiteral("SELECT COUNT(*) FROM UNITE")).toInt(); }

private slots:
    void init()
    {
        LOCAVIA_REQUIRE_BACKEND(m_backend);
        db = std::make_unique<TestDatabase>(m_backend);
        QVERIFY2(db->isValid(), qPrintable(db->error()));
        m_titles.clear();
        db->dataBus().setTitleHooks([this](const QString &title) { m_titles.append(title); },
                                    [] { return QStringLiteral("Locavia - (test)"); });
    }

    void cleanup()
    {
        m_otherServerSession.reset();
        m_otherProgram.reset();
        db.reset();
    }

    void refusedCommitLeavesTheConnectionClean()
    {
        auto &bus = db->dataBus();
        setLockTimeout(1);
        if (onServer()) {
            // The server aborts the transaction behind the adaptor's back: COMMIT answers ROLLBACK.
            bus.beginTransaction();
            QVERIFY(bus.executeProcedureSansTransaction(QStringLiteral("insUnite"), kilogram));
            auto *adaptor = static_cast<eo::EOPostgreSQLAdaptor *>(bus.dataBusAdaptor());
            PQclear(PQexec(adaptor->handle(), "SELECT 1/0"));
            QVERIFY_THROWS_EXCEPTION(eo::EOException, bus.commitTransaction());
        } else {
            // Another program reads for longer than the busy wait: the commit cannot take the file.
            openOtherSession();
            other("BEGIN; SELECT COUNT(*) FROM UNITE");
            QVERIFY(!bus.executeProcedure(QStringLiteral("insUnite"), kilogram));
            const auto alerts = db->takeAlerts();
            QCOMPARE(alerts.size(), 1);
            QVERIFY2(alerts.first().message.contains(QStringLiteral("occupée")) &&
                         alerts.first().message.contains(QStringLiteral("locavia.db")) &&
                         !isEnglish(alerts.first().message),
                     qPrintable(alerts.first().message));
            // Nothing of the refused call keeps the file: a second program can read at once.
            sqlite3 *raw = nullptr;
            QCOMPARE(
                sqlite3_open_v2(QString(db->directory() + QStringLiteral("/locavia.db")).toUtf8().constData(),
                                &raw, SQLITE_OPEN_READONLY, nullptr),
                SQLITE_OK);
            const SqliteHandle reader(raw);
            QCOMPARE(sqlite3_exec(reader.get(), "SELECT COUNT(*) FROM UNITE", nullptr, nullptr, nullptr),
                     SQLITE_OK);
            otherEnds();
        }
        QVERIFY(!bus.hasOpenTransaction());
        QCOMPARE(units(), 0);
        // The next call works.
        QVERIFY(bus.executeProcedure(QStringLiteral("insUnite"), gram));
        QVERIFY(db->takeAlerts().isEmpty());
        QCOMPARE(units(), 1);
    }

    void lockHeldByAnotherGivesUpInTime_data()
    {
        QTest::addColumn<bool>("procedure");
        QTest::newRow("procedure") << true;
        // Readers are not held back by a writer on the embedded database.
        if (onServer())
            QTest::newRow("fetch") << false;
    }

    void lockHeldByAnotherGivesUpInTime()
    {
        QFETCH(bool, procedure);
        auto &bus = db->dataBus();
        setLockTimeout(1);
        otherHoldsTheUnits();
        QElapsedTimer timer;
        timer.start();
        QString message;
        if (procedure) {
            QVERIFY(!bus.executeProcedure(QStringLiteral("insUnite"), kilogram));
            const auto alerts = db->takeAlerts();
            QCOMPARE(alerts.size(), 1);
            message = alerts.first().message;
        } else {
            try {
                bus.fetchArray(QStringLiteral("Unite"), eo::EOQualifierPtr(), {});
                QFAIL("a fetch held back beyond the limit must fail");
            } catch (const eo::EOException &error) {
                message = error.message();
            }
        }
        QVERIFY2(timer.elapsed() >= 900 && timer.elapsed() < 6000,
                 qPrintable(QString::number(timer.elapsed())));
        // The message names what waited, in French.
        QVERIFY2(message.contains(procedure ? QStringLiteral("insUnite") : QStringLiteral("Unite")) &&
                     !isEnglish(message),
                 qPrintable(message));
        QVERIFY(!bus.hasOpenTransaction());
        otherEnds();
        QVERIFY(bus.executeProcedure(QStringLiteral("insUnite"), kilogram));
        QCOMPARE(units(), 1);
    }

    void escapeGivesUpTheWait()
    {
        auto &bus = db->dataBus();
        setLockTimeout(0); // no limit: only the user ends the wait
        otherHoldsTheUnits();
        QObject window;
        bool cursorShown = false;
        QTimer::singleShot(1500, &window, [&] {
            cursorShown = data::isWaitCursorShown();
            QCoreApplication::postEvent(&window,
                                        new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        });
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!bus.executeProcedure(QStringLiteral("insUnite"), kilogram));
        QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
        const auto alerts = db->takeAlerts();
        QCOMPARE(alerts.size(), 1);
        QVERIFY2(alerts.first().message.contains(QStringLiteral("annulée")) &&
                     !isEnglish(alerts.first().message),
                 qPrintable(alerts.first().message));
        // The wait showed the cursor and the message in the title, then gave the title back.
        QVERIFY(cursorShown);
        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(!m_titles.isEmpty());
        QVERIFY2(m_titles.first().startsWith(QStringLiteral("Veuillez Patienter, la procédure insUnite")),
                 qPrintable(m_titles.first()));
        QCOMPARE(m_titles.last(), QStringLiteral("Locavia - (test)"));
        otherEnds();
        QVERIFY(bus.executeProcedure(QStringLiteral("insUnite"), kilogram));
        QCOMPARE(units(), 1);
    }

    void waitCursorCoversTheListReset()
    {
        QVERIFY(!db->addBuilding(QStringLiteral("SCI"), QStringLiteral("SCIENCES")).isEmpty());
        QVERIFY(db->addRoom(QStringLiteral("SCI"), QStringLiteral("1"), QStringLiteral("B12")) > 0);
        eo::EODisplayGroup group;
        bool shownDuringReset = false;
        connect(&group, &eo::EODisplayGroup::modelReset, this,
                [&] { shownDuringReset = data::isWaitCursorShown(); });
        db->dataBus().fetchTable(&group, QStringLiteral("SallesVix"), eo::EOQualifierPtr(), {}, true);
        QCOMPARE(group.displayedObjects().size(), 1);
        QVERIFY(shownDuringReset);
        QVERIFY(!QGuiApplication::overrideCursor());
    }
};

class TestDatabaseReliabilityOnSQLite : public TestDatabaseReliability
{
    Q_OBJECT
public:
    TestDatabaseReliabilityOnSQLite() : TestDatabaseReliability(TestDatabase::Backend::SQLite) {}
};

class TestDatabaseReliabilityOnPostgreSQL : public TestDatabaseReliability
{
    Q_OBJECT
public:
    TestDatabaseReliabilityOnPostgreSQL() : TestDatabaseReliability(TestDatabase::Backend::PostgreSQL) {}
};

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    int status = 0;
    if (TestDatabase::backendSelected(TestDatabase::Backend::SQLite)) {
        TestDatabaseReliabilityOnSQLite test;
        status |= QTest::qExec(&test, argc, argv);
    }
    if (TestDatabase::backendSelected(TestDatabase::Backend::PostgreSQL)) {
        TestDatabaseReliabilityOnPostgreSQL test;
        status |= QTest::qExec(&test, argc, argv);
    }
    return status;
}

#include "tst_DatabaseReliability.moc"
