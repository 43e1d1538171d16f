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

// A throwaway embedded database for one test: the schema installed in a temporary directory, the Locavia
// model of the default model group pointed at it, a data bus of its own, and the alerts recorded instead of
// shown. A few reference rows (room types, sites, groups, units, kinds of use) are there from the start.
class TestDatabase
{
public:
    struct Alert {
        QString title;
        QString message;
    };

    TestDatabase();
    ~TestDatabase();
    TestDatabase(const TestDatabase &) = delete;
    TestDatabase &operator=(const TestDatabase &) = delete;

    bool isValid() const { return m_valid; }
    QString directory() const { return m_dir.path(); }
    eo::EOModel &model() const { return *m_model; }
    eo::EOEditingContext &editingContext() const { return *m_context; }
    data::KORDataBusOC &dataBus() const { return *m_dataBus; }

    // Runs SQL on the database directly (setting up cases the program cannot write itself).
    void exec(const QString &sql) const;
    // The value of the first column of the first row of a query.
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

private:
    QTemporaryDir m_dir;
    bool m_valid = false;
    eo::EOModel *m_model = nullptr;
    std::unique_ptr<eo::EOEditingContext> m_context;
    std::unique_ptr<data::KORDataBusOC> m_dataBus;
    QList<Alert> m_alerts;
};
