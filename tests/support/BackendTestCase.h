#pragma once

#include "TestDatabase.h"

#include <QObject>
#include <memory>

// A test case whose functions run on each backend: once per global data row ("SQLite", "PostgreSQL", as
// LOCAVIA_TEST_BACKEND selects), each run on a fresh TestDatabase in db. A backend that cannot run here
// skips its rows, or fails them when it is required (CI).
//
// A test case adds its own set-up of the fresh database in prepare() (a failed check there fails the test)
// rather than in an init() of its own, which would hide this one.
class BackendTestCase : public QObject
{
    Q_OBJECT

protected:
    TestDatabase::Backend backend() const { return m_backend; }
    virtual void prepare() {}

    std::unique_ptr<TestDatabase> db;

private slots:
    void initTestCase_data();
    void init();
    void cleanup();

private:
    TestDatabase::Backend m_backend = TestDatabase::Backend::SQLite;
};
