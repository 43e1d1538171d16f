#pragma once

#include "EOFetchRequest.h"

#include <QList>
#include <QStringList>
#include <utility>
#include <vector>

namespace eo
{

class EOAdaptor;
class EOEditingContext;

// Fetches a caller is about to make, declared ahead so that a database that gains from it (a server across
// a slow link) is asked for all of them at once: one wait instead of one per fetch. The answers are kept for
// the identical fetches that follow until this object ends, or sooner when anything could make them stale
// (see EOAdaptor::prefetch). A fetch that is to fill a display group names the key paths the group shows:
// the related rows they lead to are asked for in a second round, once the rows are known. A prefetch that
// fails keeps nothing and says nothing; an embedded database does nothing at all. Lives no longer than the
// editing context it was made with.
class [[nodiscard]] EOPrefetch
{
public:
    struct Fetch {
        EOFetchRequest request;
        QStringList keyPaths;
    };

    EOPrefetch() = default;
    EOPrefetch(EOEditingContext &context, const QList<Fetch> &fetches);
    ~EOPrefetch();
    EOPrefetch(EOPrefetch &&other) noexcept : m_tickets(std::exchange(other.m_tickets, {})) {}
    EOPrefetch &operator=(EOPrefetch &&other) = delete;
    EOPrefetch(const EOPrefetch &) = delete;
    EOPrefetch &operator=(const EOPrefetch &) = delete;

    // Whether answers are kept (none on an embedded database, none when the prefetch failed).
    bool holdsAnswers() const { return !m_tickets.empty(); }

private:
    // Declares the requests to the adaptors of their models; answers those that kept the answers.
    std::vector<EOAdaptor *> declare(EOEditingContext &context, const QList<EOFetchRequest> &requests);

    std::vector<std::pair<EOAdaptor *, quint64>> m_tickets;
};

} // namespace eo
