#include "EOSortOrdering.h"

#include "EOEntity.h"
#include "EOValues.h"

#include <algorithm>

namespace eo
{

namespace
{

// A sort key resolved once per entity, so that the comparisons read values by index.
struct ResolvedOrdering {
    QString key;
    bool keyPath = false;
    bool ascending = true;
    Qt::CaseSensitivity sensitivity = Qt::CaseSensitive;
    const EOEntity *entity = nullptr;
    int index = -1;

    QVariant valueOf(const EOGenericRecord &record) const
    {
        if (!keyPath && record.entity() == entity && index >= 0)
            return record.valueAt(index);
        return keyPath ? record.valueForKeyPath(key) : record.valueForKey(key);
    }
};

} // namespace

void EOSortOrdering::sortArrayUsingKeyOrderArray(QList<EORecord> &records,
                                                 const QList<EOSortOrdering> &orderings)
{
    if (orderings.isEmpty() || records.size() < 2)
        return;
    const EOEntity *entity = records.first() ? records.first()->entity() : nullptr;
    QList<ResolvedOrdering> resolved;
    for (const EOSortOrdering &ordering : orderings) {
        ResolvedOrdering r;
        r.key = ordering.key();
        r.keyPath = ordering.key().contains(QLatin1Char('.'));
        r.ascending = ordering.ascending();
        r.sensitivity = ordering.caseInsensitive() ? Qt::CaseInsensitive : Qt::CaseSensitive;
        r.entity = entity;
        r.index = entity ? entity->attributeIndex(ordering.key()) : -1;
        resolved.append(r);
    }
    // Keys without regard to case look at letters only, so that a later key decides before case does
    // ("RDC A12" before "Rdc A12B"); accents and case break only the ties left after every key, key by key,
    // as the databases' ORDER BY does.
    auto compareRecords = [&resolved](const EORecord &a, const EORecord &b) {
        bool tieBreak = false;
        for (const ResolvedOrdering &r : resolved) {
            const int c = r.sensitivity == Qt::CaseInsensitive
                              ? EOValues::compareLetters(r.valueOf(*a), r.valueOf(*b))
                              : EOValues::compare(r.valueOf(*a), r.valueOf(*b), r.sensitivity);
            if (c != 0)
                return r.ascending ? c < 0 : c > 0;
            tieBreak = tieBreak || r.sensitivity == Qt::CaseInsensitive;
        }
        if (!tieBreak)
            return false;
        for (const ResolvedOrdering &r : resolved) {
            if (r.sensitivity != Qt::CaseInsensitive)
                continue;
            const int c = EOValues::compare(r.valueOf(*a), r.valueOf(*b), Qt::CaseInsensitive);
            if (c != 0)
                return r.ascending ? c < 0 : c > 0;
        }
        return false;
    };
    // Rows that come back from the database already in order need no sort.
    if (std::is_sorted(records.begin(), records.end(), compareRecords))
        return;
    std::stable_sort(records.begin(), records.end(), compareRecords);
}

QList<EORecord> EOSortOrdering::sortedArrayUsingKeyOrderArray(QList<EORecord> records,
                                                              const QList<EOSortOrdering> &orderings)
{
    sortArrayUsingKeyOrderArray(records, orderings);
    return records;
}

} // namespace eo
