#pragma once

#include "EOPostgreSQLConnection.h"

#include <QByteArray>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace eo
{

// The answers of reads a server was asked for ahead, kept for the identical reads that follow: by the text
// of the statement and its bound values, each under the ticket of the prefetch that asked for it.
class EOPostgreSQLPrefetch
{
public:
    using Values = std::vector<std::optional<QByteArray>>;
    using Answers = std::vector<std::pair<QByteArray, EOPostgreSQLConnection::Result>>;

    // What tells one read from another: its SQL and each value, a null apart from any text.
    static QByteArray keyOf(const QByteArray &sql, const Values &values);

    bool isEmpty() const { return m_kept.empty(); }
    bool holds(const QByteArray &key) const { return m_kept.count(key) > 0; }
    // The kept answer of a read; none when it was not asked for ahead.
    const pg_result *answer(const QByteArray &key) const;
    // Keeps the answers under a new ticket, answered (never 0).
    quint64 keep(Answers answers);
    void drop(quint64 ticket);
    void clear() { m_kept.clear(); }

private:
    struct Kept {
        quint64 ticket = 0;
        EOPostgreSQLConnection::Result result;
    };
    std::map<QByteArray, Kept> m_kept;
    quint64 m_lastTicket = 0;
};

} // namespace eo
