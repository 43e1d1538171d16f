#pragma once

#include "EOCollation.h"

#include <QString>

namespace eo
{

// What differs between the databases in the SQL that the layer writes.
class EOSQLDialect
{
public:
    virtual ~EOSQLDialect() = default;
    // The placeholder of the bound value at a 0-based position.
    virtual QString placeholder(int index) const = 0;
    // The ORDER BY terms comparing texts without regard to case, through the collations both databases know
    // by the same names (registered on each embedded connection, created with the server's schema): first
    // the letters alone, accents and case aside; then, after every key, the full French order that breaks
    // the ties left.
    virtual QString caseInsensitiveOrderTerm(const QString &expression) const
    {
        return expression + QStringLiteral(" COLLATE ") + QLatin1String(EOCollation::lettersName);
    }
    virtual QString caseTieBreakOrderTerm(const QString &expression) const
    {
        return expression + QStringLiteral(" COLLATE ") + QLatin1String(EOCollation::name);
    }
    // Nulls come first in an ascending order, last in a descending one, as in memory.
    virtual QString nullOrdering(bool ascending) const = 0;
    virtual QString upper(const QString &expression) const
    {
        return QStringLiteral("UPPER(%1)").arg(expression);
    }
    virtual QString likeEscapeClause() const { return QStringLiteral(" ESCAPE '\\'"); }
    // Whether a writing transaction holds the whole database from its beginning, so that nobody else writes
    // until it ends (one writer at a time): then nothing needs holding row by row.
    virtual bool transactionHoldsWholeDatabase() const { return false; }
    // A SELECT's rows as one text value, in their order, null when it has none: an expression that lets a
    // single statement read several selects at once (on the server every statement is a round trip); ""
    // where each select is better read on its own.
    virtual QString rowsAsText(const QString &) const { return {}; }
};

class EOSQLiteDialect : public EOSQLDialect
{
public:
    QString placeholder(int) const override { return QStringLiteral("?"); }
    QString nullOrdering(bool) const override { return {}; }             // SQLite's own rule
    bool transactionHoldsWholeDatabase() const override { return true; } // BEGIN IMMEDIATE
};

class EOPostgreSQLDialect : public EOSQLDialect
{
public:
    QString placeholder(int index) const override { return QStringLiteral("$%1").arg(index + 1); }
    QString nullOrdering(bool ascending) const override
    {
        return ascending ? QStringLiteral(" NULLS FIRST") : QStringLiteral(" NULLS LAST");
    }
    QString rowsAsText(const QString &select) const override
    {
        return QStringLiteral("(SELECT json_agg(r)::text FROM (%1) r)").arg(select);
    }
};

} // namespace eo
