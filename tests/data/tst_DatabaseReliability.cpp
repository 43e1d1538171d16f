// The data bus when another program or user holds the data and when a commit is refused, on each backend:
// no transaction is left open, no call hangs, nothing is reported as saved that is not, the wait shows and
// Escape gives it up, and the next call works.

#include "BackendTestCase.h"
#include "EODisplayGroup.h"
#include "EOException.h"
#include "EOPostgreSQLAdaptor.h"
#include "EOPostgreSQLConnection.h"
#include "NSCursorExtensions.h"

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

SqliteHandle openInventory(const TestDatabase &db, int flags)
{
    sqlite3 *raw = nullptr;
    sqlite3_open_v2(QString(db.directory() + QStringLiteral("/locavia.db")).toUtf8().constData(), &raw, flags,
                    nullptr);
    return SqliteHandle(raw);
}

// Another program (embedded database) or an administrator's session (server: only the tables' owner may
// lock them) on the same data; whatever it holds is let go when it goes, even when a check fails half-way.
class OtherSession
{
public:
    explicit OtherSession(const TestDatabase &db)
        : m_server(db.backend() == TestDatabase::Backend::PostgreSQL)
    {
        if (m_server)
            m_session =
                eo::EOPostgreSQLConnection::connect(eo::EOPostgreSQLConnection::parametersForDictionary(
                    db.connectionDictionary(TestDatabase::Role::Owner)));
        else
            m_program = openInventory(db, SQLITE_OPEN_READWRITE);
    }

    // Runs SQL; its error, "" when it ran.
    QString exec(const char *sql)
    {
        if (m_server) {
            const eo::EOPostgreSQLConnection::Result result(PQexec(m_session.get(), sql));
            const ExecStatusType status = PQresultStatus(result.get());
            return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK
                       ? QString()
                       : QString::fromUtf8(PQerrorMessage(m_session.get()));
        }
        char *error = nullptr;
        const int rc = sqlite3_exec(m_program.get(), sql, nullptr, nullptr, &error);
        const QString message = QString::fromUtf8(error ? error : "");
        sqlite3_free(error);
        return rc == SQLITE_OK ? QString() : message;
    }

    // Holds the units, reads and writes, until end(): a write of the embedded database's file, an exclusive
    // lock of the table on the server.
    QString holdTheUnits()
    {
        return exec(
            m_server ? "BEGIN; LOCK TABLE locavia.UNITE IN ACCESS EXCLUSIVE MODE"
                     : "BEGIN EXCLUSIVE; INSERT INTO UNITE (UNI_ABREV, UNI_LIBELLE) VALUES ('l', 'litre')");
    }

    QString end() { return exec("ROLLBACK"); }

private:
    bool m_server;
    eo::EOPostgreSQLConnection::Handle m_session;
    SqliteHandle m_program;
};

} // namespace

class TestDatabaseReliability : public BackendTestCase
{
    Q_OBJECT

private:
    QStringList m_titles;

    bool onServer() const { return backend() == TestDatabase::Backend::PostgreSQL; }

    void prepare() override
    {
        m_titles.clear();
        db->dataBus().setTitleHooks([this](const QString &title) { m_titles.append(title); },
                                    [] { return QStringLiteral("Locavia - (test)"); });
    }

    // The data bus's next connection waits at most lockSeconds for a lock (0: no limit).
    void setLockTimeout(int lockSeconds)
    {
        eo::EOAdaptor *adaptor = db->dataBus().dataBusAdaptor();
        QVariantMap dictionary = adaptor->connectionDictionary();
        dictionary.insert(QStringLiteral("lockTimeout"), lockSeconds);
        adaptor->close();
        adaptor->setConnectionDictionary(dictionary);
    }

    int units() const { return db->scalar(QStringLiteral("SELECT COUNT(*) FROM UNITE")).toInt(); }

private slots:
    void refusedCommitLeavesTheConnectionClean()
    {
        auto &bus = db->dataBus();
        setLockTimeout(1);
        OtherSession other(*db);
        if (onServer()) {
            // The server aborts the transaction behind the adaptor's back: COMMIT answers ROLLBACK.
            bus.beginTransaction();
            QVERIFY(bus.executeProcedureSansTransaction(QStringLiteral("insUnite"), kilogram));
            auto *adaptor = static_cast<eo::EOPostgreSQLAdaptor *>(bus.dataBusAdaptor());
            PQclear(PQexec(adaptor->handle(), "SELECT 1/0"));
            QVERIFY_THROWS_EXCEPTION(eo::EOException, bus.commitTransaction());
        } else {
            // Another program reads for longer than the busy wait: the commit cannot take the file.
            QCOMPARE(other.exec("BEGIN; SELECT COUNT(*) FROM UNITE"), QString());
            QVERIFY(!bus.executeProcedure(QStringLiteral("insUnite"), kilogram));
            const auto alerts = db->takeAlerts();
            QCOMPARE(alerts.size(), 1);
            QVERIFY2(alerts.first().message.contains(QStringLiteral("occupée")) &&
                         alerts.first().message.contains(QStringLiteral("locavia.db")) &&
                         !isEnglish(alerts.first().message),
                     qPrintable(alerts.first().message));
            // Nothing of the refused call keeps the file: a second program can read at once.
            const SqliteHandle reader = openInventory(*db, SQLITE_OPEN_READONLY);
            QCOMPARE(sqlite3_exec(reader.get(), "SELECT COUNT(*) FROM UNITE", nullptr, nullptr, nullptr),
                     SQLITE_OK);
            QCOMPARE(other.end(), QString());
        }
        QVERIFY(!bus.hasOpenTransaction());
        QCOMPARE(units(), 0);
        // The next call works.
        QVERIFY(bus.executeProcedure(QStringLiteral("insUnite"), gram));
        QVERIFY(db->takeAlerts().isEmpty());
        QCOMPARE(units(), 1);
    }

    void dataHeldByAnotherGivesUpInTime_data()
    {
        QTest::addColumn<bool>("procedure");
        QTest::newRow("procedure") << true;
        QTest::newRow("fetch") << false;
    }

    void dataHeldByAnotherGivesUpInTime()
    {
        QFETCH(bool, procedure);
        auto &bus = db->dataBus();
        setLockTimeout(1);
        OtherSession other(*db);
        QCOMPARE(other.holdTheUnits(), QString());
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
        QCOMPARE(other.end(), QString());
        QVERIFY(bus.executeProcedure(QStringLiteral("insUnite"), kilogram));
        QCOMPARE(units(), 1);
    }

    void escapeGivesUpTheWait()
    {
        auto &bus = db->dataBus();
        setLockTimeout(0); // no limit: only the user ends the wait
        OtherSession other(*db);
        QCOMPARE(other.holdTheUnits(), QString());
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
        QCOMPARE(other.end(), QString());
        QVERIFY(bus.executeProcedure(QStringLiteral("insUnite"), kilogram));
        QCOMPARE(units(), 1);
    }

    // The steps of one save: Escape gives up the whole save, none of its steps is stored.
    void escapeGivesUpTheWholeSave()
    {
        auto &bus = db->dataBus();
        setLockTimeout(0);
        OtherSession other(*db);
        QCOMPARE(other.holdTheUnits(), QString());
        QObject window;
        QTimer::singleShot(1500, &window, [&] {
            QCoreApplication::postEvent(&window,
                                        new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        });
        eo::EOTransactionSteps save;
        save.steps = {{{{QStringLiteral("insUnite"), nullptr, kilogram}}},
                      {{{QStringLiteral("insUnite"), nullptr, gram}}}};
        QElapsedTimer timer;
        timer.start();
        const auto result = bus.executeTransaction(save, QStringLiteral("l'enregistrement des unités"));
        QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(!result.committed());
        QVERIFY2(result.message.contains(QStringLiteral("annulée")) && !isEnglish(result.message),
                 qPrintable(result.message));
        QVERIFY(!bus.hasOpenTransaction());
        QCOMPARE(other.end(), QString());
        QCOMPARE(units(), 0);
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

QTEST_MAIN(TestDatabaseReliability)
#include "tst_DatabaseReliability.moc"
