#include "RoomScope.h"

#include <QStringList>
#include <algorithm>

namespace statistics
{

RoomScope RoomScope::parmi(const QList<qint64> &salles)
{
    RoomScope scope;
    scope.m_toutes = false;
    scope.m_salles = salles;
    std::sort(scope.m_salles.begin(), scope.m_salles.end());
    scope.m_salles.erase(std::unique(scope.m_salles.begin(), scope.m_salles.end()), scope.m_salles.end());
    return scope;
}

QList<RoomScope::Part> RoomScope::parts(const QString &column) const
{
    if (m_toutes)
        return {Part{QStringLiteral("1 = 1"), {}}};
    QList<Part> parts;
    qsizetype debut = 0;
    while (debut < m_salles.size()) {
        // The interval grows while one of its two writings stays within the bindings of a statement.
        qsizetype fin = debut + 1;
        qint64 exclues = 0;
        while (fin < m_salles.size()) {
            const qint64 exclusAvec = exclues + (m_salles.at(fin) - m_salles.at(fin - 1) - 1);
            const qsizetype inclusAvec = fin - debut + 1;
            if (std::min<qint64>(inclusAvec, 2 + exclusAvec) > bindingsParPartie)
                break;
            exclues = exclusAvec;
            ++fin;
        }
        const qsizetype inclus = fin - debut;
        Part part;
        if (inclus <= 2 + exclues) {
            for (qsizetype i = debut; i < fin; ++i)
                part.bindings.append(m_salles.at(i));
            const QStringList marques(inclus, QStringLiteral("?"));
            part.condition = QStringLiteral("%1 IN (%2)").arg(column, marques.join(QStringLiteral(", ")));
        } else {
            part.bindings << m_salles.at(debut) << m_salles.at(fin - 1);
            for (qsizetype i = debut + 1; i < fin; ++i)
                for (qint64 n = m_salles.at(i - 1) + 1; n < m_salles.at(i); ++n)
                    part.bindings.append(n);
            part.condition = QStringLiteral("%1 BETWEEN ? AND ?").arg(column);
            if (exclues > 0) {
                const QStringList marques(qsizetype(exclues), QStringLiteral("?"));
                part.condition = QStringLiteral("(%1 AND %2 NOT IN (%3))")
                                     .arg(part.condition, column, marques.join(QStringLiteral(", ")));
            }
        }
        parts.append(part);
        debut = fin;
    }
    return parts;
}

} // namespace statistics
