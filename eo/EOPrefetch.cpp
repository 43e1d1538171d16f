#include "EOPrefetch.h"

#include "EOAdaptor.h"
#include "EODatabaseChannel.h"
#include "EODatabaseContext.h"
#include "EOEditingContext.h"
#include "EOModelGroup.h"

#include <algorithm>
#include <exception>

namespace eo
{

namespace
{

EODatabaseContext &databaseOf(EOEditingContext &context, const QString &entityName)
{
    return context.databaseContextForModel(context.modelGroup().modelForEntityNamed(entityName));
}

} // namespace

EOPrefetch::EOPrefetch(EOEditingContext &context, const QList<Fetch> &fetches)
{
    QList<EOFetchRequest> requests;
    for (const Fetch &fetch : fetches)
        requests.append(fetch.request);
    const std::vector<EOAdaptor *> kept = declare(context, requests);
    if (kept.empty())
        return;

    // The rows are at hand now: the related rows their key paths lead to make the second round.
    QList<EOFetchRequest> related;
    for (const Fetch &fetch : fetches) {
        if (fetch.keyPaths.isEmpty())
            continue;
        try {
            EOAdaptor *adaptor = &databaseOf(context, fetch.request.entityName).adaptor();
            if (std::find(kept.cbegin(), kept.cend(), adaptor) == kept.cend())
                continue;
            related +=
                context.keyPathFetchRequests(context.objectsWithFetchRequest(fetch.request), fetch.keyPaths);
        } catch (const std::exception &) {
            // The fetch itself will meet the same trouble and say what it is.
        }
    }
    declare(context, related);
}

EOPrefetch::~EOPrefetch()
{
    for (const auto &[adaptor, ticket] : m_tickets)
        adaptor->dropPrefetched(ticket);
}

std::vector<EOAdaptor *> EOPrefetch::declare(EOEditingContext &context, const QList<EOFetchRequest> &requests)
{
    // Each database is asked for its own reads, all at once.
    std::vector<std::pair<EOAdaptor *, QList<EOAdaptor::Read>>> byAdaptor;
    for (const EOFetchRequest &request : requests) {
        try {
            EODatabaseContext &database = databaseOf(context, request.entityName);
            EOAdaptor *adaptor = &database.adaptor();
            if (!adaptor->sendsReadsAhead())
                continue;
            // Written as the fetch will write it, or it would not be taken for it.
            const EODatabaseChannel::Select select =
                database.availableChannel().selectForFetchRequest(request);
            auto slot = std::find_if(byAdaptor.begin(), byAdaptor.end(),
                                     [adaptor](const auto &entry) { return entry.first == adaptor; });
            if (slot == byAdaptor.end())
                slot = byAdaptor.insert(byAdaptor.end(), {adaptor, {}});
            slot->second.append({select.sql, select.bindings});
        } catch (const std::exception &) {
            // An unknown entity or key: its fetch will say so.
        }
    }
    std::vector<EOAdaptor *> kept;
    for (const auto &[adaptor, reads] : byAdaptor) {
        if (const quint64 ticket = adaptor->prefetch(reads)) {
            m_tickets.emplace_back(adaptor, ticket);
            kept.push_back(adaptor);
        }
    }
    return kept;
}

} // namespace eo
