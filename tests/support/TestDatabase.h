#pragma once

#include "EOEditingContext.h"
#include "EOModel.h"
#include "KORDataBusOC.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QTemporaryDir>
#include <QVariantMap>
#include <memory>

// A throwaway database for one test, on either backend: the Locavia model of the default model group
// pointed at it, a data bus of its own, and the alerts recorded instead of shown. A few reference rows (room
// types, sites, groups, units, kinds of use) are there from the start.
//
// - SQLite: the schema installed in a temporary directory.
// - PostgreSQL: a database of its own on the server that LOCAVIA_TEST_PG_URL names (scripts/test starts a
//   throwaway cluster and sets it), made and installed once per test program and dropped when the program
//   ends; every fixture empties it and restarts its keys, so that each test starts from the same state.
//   Without the variable the PostgreSQL tests skip, or fail when LOCAVIA_REQUIRE_PG=1 (CI).
class TestDatabase
{
public:
    enum class Backend { SQLite, PostgreSQL };

    struct Alert {
        QString title;
        QString message;
    };

    explicit TestDatabase(Backend backend = Backend::SQLite);
    ~TestDatabase();
    TestDatabase(const TestDatabase &) = delete;
    TestDatabase &operator=(const TestDatabase &) = delete;

    static QString backendName(Backend backend);
    // Why the backend cannot run here ("" when it can).
    static QString unavailableReason(Backend backend);
    // Whether the tests of a backend run: all backends unless LOCAVIA_TEST_BACKEND names one (sqlite,
    // postgresql).
    static bool backendSelected(Backend backend);
    // Whether a backend that cannot run is a failure rather than a skip (LOCAVIA_REQUIRE_PG=1).
    static bool backendRequired();
    // The connection dictionary of the test server's database, for tests that open connections of their
    // own (other processes, a second data bus); empty for SQLite.
    QVariantMap connectionDictionary() const;

    bool isValid() const { return m_valid; }
    const QString &error() const { return m_error; }
    Backend backend() const { return m_backend; }
    QString directory() const { return m_dir.path(); }
    eo::EOModel &model() const { return *m_model; }
    eo::EOEditingContext &editingContext() const { return *m_context; }
    data::KORDataBusOC &dataBus() const { return *m_dataBus; }
    // The data bus of a room manager, as the application's users connect: on the server a login of the
    // clients' group whose account belongs to a group of SALLE_STRUCTURE (the write procedures check it),
    // made on first use; on SQLite the data bus above. Set-up SQL (exec, scalar) keeps the owner's bus.
    data::KORDataBusOC &roomManagerBus();

    // Runs SQL on the database directly, on the data bus's own connection (setting up cases the program
    // cannot write itself). Keys written explicitly are taken into account by the key generators. A
    // statement the database refuses fails the running test (false).
    bool exec(const QString &sql) const;
    // The value of the first column of the first row of a query ("?" placeholders); a query the database
    // refuses fails the running test (and answers none).
    QVariant scalar(const QString &sql, const QVariantList &bindings = {}) const;

    // Alerts shown since the last call, then forgotten.
    QList<Alert> takeAlerts();
    const QList<Alert> &alerts() const { return m_alerts; }

    // Writes through the procedures, each in its own transaction; QFAIL-free helpers that answer the new key
    // (or an empty value when the procedure refused).
    QString addBuilding(const QString &code, const QString &name,
                        const QString &town = QStringLiteral("PAU"));
    qint64 addRoom(const QString &buildingCode, const QString &floor, const QString &door,
                   const QVariantMap &overrides = {});
    // The arguments of insSalle for a plain room, which tests adjust.
    static QVariantMap roomArguments(const QString &buildingCode, const QString &floor, const QString &door);
    // The arguments of majSalles that leave such a room as it is, with its custodian; tests adjust them.
    static QVariantMap roomUpdateArguments(const QVariant &room, const QVariantMap &creation,
                                           const QVariantMap &overrides = {});

private:
    // exec without the test failure: throws EOException.
    void run(const QString &sql) const;
    bool prepareSQLite(QVariantMap &dictionary);
    bool preparePostgreSQL(QVariantMap &dictionary);

    Backend m_backend;
    QTemporaryDir m_dir;
    bool m_valid = false;
    QString m_error;
    eo::EOModel *m_model = nullptr;
    std::unique_ptr<eo::EOEditingContext> m_context;
    std::unique_ptr<data::KORDataBusOC> m_dataBus;
    std::unique_ptr<eo::EOEditingContext> m_managerContext;
    std::unique_ptr<data::KORDataBusOC> m_managerBus;
    QString m_managerLogin;
    QList<Alert> m_alerts;
};

// In a test's init() (or a test function): skips the test when its backend cannot run here, or fails it
// when the backend is required.
#define LOCAVIA_REQUIRE_BACKEND(backend)                                                                     \
    do {                                                                                                     \
        const QString locaviaMissing = TestDatabase::unavailableReason(backend);                             \
        if (!locaviaMissing.isEmpty()) {                                                                     \
            if (TestDatabase::backendRequired())                                                             \
                QFAIL(qPrintable(locaviaMissing));                                                           \
            QSKIP(qPrintable(locaviaMissing));                                                               \
        }                                                                                                    \
    } while (false)
