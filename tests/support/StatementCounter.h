#pragma once

#include "TestDatabase.h"

#include <QtGlobal>

// Counts what a test database is asked from the moment the counter is made: the statements SQLite runs on
// the data bus's connection, or the round trips to the server (one per statement read). A test checks with
// it that some work reaches the database a given number of times, or not at all.
class StatementCounter
{
public:
    explicit StatementCounter(TestDatabase &database);
    ~StatementCounter();
    StatementCounter(const StatementCounter &) = delete;
    StatementCounter &operator=(const StatementCounter &) = delete;

    // Since the counter was made or last reset.
    qint64 count() const;
    void reset();

private:
    TestDatabase &m_database;
    qint64 m_sqliteStatements = 0;
    qint64 m_serverStart = 0;
};
