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
// - PostgreSQL: a database of its own on the server of LOCAVIA_TEST_PG_OWNER_URL (scripts/test starts a
//   throwaway cluster and sets it), made and installed by that administration role once per test program
//   and dropped when the program ends; every fixture empties it and restarts its keys, so that each test
//   starts from the same state, with the room manager's account (below) written again. The tests meet the
//   server as the department's users do: the data bus is the room manager's, the login of
//   LOCAVIA_TEST_PG_URL, a member of the clients' group whose account belongs to a group of SALLE_STRUCTURE;
//   only set-up SQL runs as the administration role. Without the variables the PostgreSQL tests skip, or
//   fail when LOCAVIA_REQUIRE_PG=1 (CI).
class TestDatabase
{
public:
    enum class Backend { SQLite, PostgreSQL };
    // The server's kinds of login (docs/server.md): the administration role that owns the schemas, a room
    // manager, a plain member of the clients' group, a login outside that group.
    enum class Role { Owner, RoomManager, Member, Outsider };

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
    // The connection dictionary of the test server's database as the room manager connects, for tests that
    // open connections of their own (other processes, a second data bus); empty for SQLite.
    QVariantMap connectionDictionary() const { return connectionDictionary(Role::RoomManager); }
    // The same for another login of the server (its password comes from the cluster's password file).
    QVariantMap connectionDictionary(Role role) const;
    // The server login of a role ("" when the cluster does not name it).
    static QString login(Role role);
    // The URL of a database of the test server as a role connects to it (the tests that make databases of
    // their own, through the installer as the administration role).
    static QString serverUrl(Role role, const QString &database);

    bool isValid() const { return m_valid; }
    const QString &error() const { return m_error; }
    Backend backend() const { return m_backend; }
    QString directory() const { return m_dir.path(); }
    eo::EOModel &model() const { return *m_model; }
    eo::EOEditingContext &editingContext() const { return *m_context; }
    // The data bus every test and every controller under test uses: on the server, the room manager's.
    data::KORDataBusOC &dataBus() const { return *m_dataBus; }
    // The data bus of another role, made on first use (on SQLite, the one above): the administration
    // role's for set-up only, a plain member's or an outsider's for the tests of the server's rights.
    data::KORDataBusOC &dataBus(Role role);

    // Runs SQL on the database directly as the administration role, on a connection of its own (setting
    // up cases the program cannot write itself). Keys written explicitly are taken into account by the key
    // generators. A statement the database refuses fails the running test (false).
    bool exec(const QString &sql) const;
    // The value of the first column of the first row of a query ("?" placeholders), read by the
    // administration role; a query the database refuses fails the running test (and answers none).
    QVariant scalar(const QString &sql, const QVariantList &bindings = {}) const;
    // Set-up SQL with bound values, as the administration role; its rows. Throws EOException.
    QList<QVariantMap> query(const QString &sql, const QVariantList &bindings = {}) const;

    // Writes the room manager's account, which the server's database holds from the start, into the
    // embedded one (to compare both); false when refused.
    bool addRoomManagerAccount();

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
    // A data bus of its own on the model pointed at dictionary (the model keeps its own afterwards).
    struct Bus {
        std::unique_ptr<eo::EOEditingContext> context;
        std::unique_ptr<data::KORDataBusOC> bus;
    };
    Bus makeBus(const QVariantMap &dictionary) const;
    data::KORDataBusOC &setUpBus() const { return m_owner.bus ? *m_owner.bus : *m_dataBus; }

    Backend m_backend;
    QTemporaryDir m_dir;
    bool m_valid = false;
    QString m_error;
    eo::EOModel *m_model = nullptr;
    std::unique_ptr<eo::EOEditingContext> m_context;
    std::unique_ptr<data::KORDataBusOC> m_dataBus;
    Bus m_owner;
    Bus m_member;
    Bus m_outsider;
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
