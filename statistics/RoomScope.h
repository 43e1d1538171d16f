#pragma once

#include <QList>
#include <QString>
#include <QVariantList>

namespace statistics
{

// The rooms the figures are about: the whole inventory (every managed room), or exactly the rooms of a
// list (the current search result), by room number.
class RoomScope
{
public:
    // One statement's share of the rooms: a condition on a room number column and the values it binds.
    struct Part {
        QString condition; // "v.N IN (?, ?)", "(v.N BETWEEN ? AND ? AND v.N NOT IN (?, ?))", or "1 = 1"
        QVariantList bindings;
    };

    static RoomScope toutes() { return RoomScope(); }
    static RoomScope parmi(const QList<qint64> &salles);

    bool estToutes() const { return m_toutes; }
    // The rooms of a list, each once, in increasing order.
    const QList<qint64> &salles() const { return m_salles; }
    qsizetype nombre() const { return m_salles.size(); }

    // The conditions that cover the rooms, each within a statement's bindings, each over one interval of
    // room numbers: the rooms one by one, or, when the list leaves out fewer numbers of the interval than it
    // holds, the interval less the numbers left out, so that a search listing nearly every room is read by
    // a few range scans rather than by thousands of single rooms. The whole inventory is one part without
    // condition; an empty list none at all.
    QList<Part> parts(const QString &column) const;

    // Values one statement binds at most: well within what both databases accept.
    static constexpr qsizetype bindingsParPartie = 500;

private:
    bool m_toutes = true;
    QList<qint64> m_salles;
};

} // namespace statistics
