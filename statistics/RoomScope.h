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
        QString condition; // "(s.SAL_NUMERO BETWEEN ? AND ? OR s.SAL_NUMERO IN (?, ?))", or "1 = 1"
        QVariantList bindings;
    };

    static RoomScope toutes() { return RoomScope(); }
    static RoomScope parmi(const QList<qint64> &salles);

    bool estToutes() const { return m_toutes; }
    // The rooms of a list, each once, in increasing order.
    const QList<qint64> &salles() const { return m_salles; }
    qsizetype nombre() const { return m_salles.size(); }

    // The conditions that cover the rooms, each within a statement's bindings: runs of consecutive numbers
    // as ranges, the others one by one. The whole inventory is one part without condition; an empty list
    // none at all.
    QList<Part> parts(const QString &column) const;

    // Values one statement binds at most: well within what both databases accept.
    static constexpr qsizetype bindingsParPartie = 500;
    // A run of at least this many consecutive numbers is written as a range.
    static constexpr qsizetype longueurDePlage = 3;

private:
    bool m_toutes = true;
    QList<qint64> m_salles;
};

} // namespace statistics
