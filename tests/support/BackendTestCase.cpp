#include "BackendTestCase.h"

#include <QTest>

void BackendTestCase::initTestCase_data()
{
    QTest::addColumn<int>("backend");
    bool any = false;
    for (const TestDatabase::Backend backend :
         {TestDatabase::Backend::SQLite, TestDatabase::Backend::PostgreSQL}) {
        if (TestDatabase::backendSelected(backend)) {
            QTest::newRow(qPrintable(TestDatabase::backendName(backend))) << int(backend);
            any = true;
        }
    }
    if (!any)
        QFAIL("LOCAVIA_TEST_BACKEND names no backend (sqlite, postgresql)");
}

void BackendTestCase::init()
{
    QFETCH_GLOBAL(int, backend);
    m_backend = TestDatabase::Backend(backend);
    LOCAVIA_REQUIRE_BACKEND(m_backend);
    db = std::make_unique<TestDatabase>(m_backend);
    QVERIFY2(db->isValid(), qPrintable(db->error()));
    prepare();
}

void BackendTestCase::cleanup()
{
    db.reset();
}
