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
    QStringList plages;
    QVariantList bornes;
    QVariantList seules;
    auto terminer = [&]() {
        if (bornes.isEmpty() && seules.isEmpty())
            return;
        QStringList conditions = plages;
        if (!seules.isEmpty()) {
            QStringList marques(seules.size(), QStringLiteral("?"));
            conditions.append(QStringLiteral("%1 IN (%2)").arg(column, marques.join(QStringLiteral(", "))));
        }
        parts.append(Part{QLatin1Char('(') + conditions.join(QStringLiteral(" OR ")) + QLatin1Char(')'),
                          bornes + seules});
        plages.clear();
        bornes.clear();
        seules.clear();
    };
    qsizetype debut = 0;
    while (debut < m_salles.size()) {
        qsizetype fin = debut + 1;
        while (fin < m_salles.size() && m_salles.at(fin) == m_salles.at(fin - 1) + 1)
            ++fin;
        if (fin - debut >= longueurDePlage) {
            if (bornes.size() + seules.size() + 2 > bindingsParPartie)
                terminer();
            plages.append(QStringLiteral("%1 BETWEEN ? AND ?").arg(column));
            bornes << m_salles.at(debut) << m_salles.at(fin - 1);
        } else {
            for (qsizetype i = debut; i < fin; ++i) {
                if (bornes.size() + seules.size() + 1 > bindingsParPartie)
                    terminer();
                seules << m_salles.at(i);
            }
        }
        debut = fin;
    }
    terminer();
    return parts;
}

} // namespace statistics
