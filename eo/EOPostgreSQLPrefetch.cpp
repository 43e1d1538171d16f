#include "EOPostgreSQLPrefetch.h"

#include <QtEndian>

namespace eo
{

QByteArray EOPostgreSQLPrefetch::keyOf(const QByteArray &sql, const Values &values)
{
    QByteArray key = sql;
    key.append('\0');
    for (const std::optional<QByteArray> &value : values) {
        if (!value) {
            key.append('N');
            continue;
        }
        // Its length first, so that no value can pass for two.
        key.append('V');
        const quint32 length = qToBigEndian(quint32(value->size()));
        key.append(reinterpret_cast<const char *>(&length), sizeof length);
        key.append(*value);
    }
    return key;
}

const pg_result *EOPostgreSQLPrefetch::answer(const QByteArray &key) const
{
    const auto found = m_kept.find(key);
    return found == m_kept.end() ? nullptr : found->second.result.get();
}

quint64 EOPostgreSQLPrefetch::keep(Answers answers)
{
    const quint64 ticket = ++m_lastTicket;
    for (auto &[key, result] : answers)
        m_kept.insert_or_assign(key, Kept{ticket, std::move(result)});
    return ticket;
}

void EOPostgreSQLPrefetch::drop(quint64 ticket)
{
    for (auto it = m_kept.begin(); it != m_kept.end();) {
        if (it->second.ticket == ticket)
            it = m_kept.erase(it);
        else
            ++it;
    }
}

} // namespace eo
