#pragma once

#include "EOGenericRecord.h"

#include <QList>
#include <QString>

namespace eo
{

// One key of a sort, with its comparison (compareAscending:, compareCaseInsensitiveAscending:, ...).
class EOSortOrdering
{
public:
    enum class Selector {
        CompareAscending,
        CompareDescending,
        CompareCaseInsensitiveAscending,
        CompareCaseInsensitiveDescending
    };

    EOSortOrdering(QString key, Selector selector) : m_key(std::move(key)), m_selector(selector) {}
    static EOSortOrdering sortOrderingWithKey(const QString &key, Selector selector)
    {
        return {key, selector};
    }

    const QString &key() const { return m_key; }
    Selector selector() const { return m_selector; }
    bool ascending() const
    {
        return m_selector == Selector::CompareAscending ||
               m_selector == Selector::CompareCaseInsensitiveAscending;
    }
    bool caseInsensitive() const
    {
        return m_selector == Selector::CompareCaseInsensitiveAscending ||
               m_selector == Selector::CompareCaseInsensitiveDescending;
    }

    // A stable sort of records by the orderings, each applying its comparison
    // (sortedArrayUsingKeyOrderArray:).
    static QList<EORecord> sortedArrayUsingKeyOrderArray(QList<EORecord> records,
                                                         const QList<EOSortOrdering> &orderings);
    static void sortArrayUsingKeyOrderArray(QList<EORecord> &records, const QList<EOSortOrdering> &orderings);

private:
    QString m_key;
    Selector m_selector;
};

} // namespace eo
