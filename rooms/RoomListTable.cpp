#include "RoomListTable.h"

#include "EODecimal.h"
#include "EOEntity.h"
#include "EOException.h"
#include "EONull.h"
#include "RoomListOccupations.h"

namespace rooms
{

RoomListTable::RoomListTable(const QList<eo::EORecord> &salles, const QList<RoomExportColumn> &colonnes,
                             const RoomListOccupations *occupations)
    : m_salles(salles), m_colonnes(colonnes), m_occupations(occupations)
{
    m_entity = salles.isEmpty() ? nullptr : salles.first()->entity();
    for (const RoomExportColumn &colonne : std::as_const(m_colonnes)) {
        m_columns.append(colonne.column);
        // A plain attribute is read by its place, the key looked up once for the whole list.
        if (!colonne.department.isEmpty())
            m_index.append(m_occupations ? m_occupations->indexDe(colonne.department) : -1);
        else
            m_index.append(m_entity && !colonne.key.isEmpty() ? m_entity->attributeIndex(colonne.key) : -1);
    }
    m_numero = m_entity ? m_entity->attributeIndex(QStringLiteral("salNumero")) : -1;
}

QVariant RoomListTable::valeur(const QVariant &brute, bool ouiNon)
{
    if (!brute.isValid() || eo::isEONull(brute))
        return {};
    if (brute.metaType() == QMetaType::fromType<eo::EODecimal>()) {
        const eo::EODecimal decimal = brute.value<eo::EODecimal>();
        return decimal.isValid() ? QVariant(decimal.toString()) : QVariant();
    }
    if (ouiNon) {
        const QString texte = brute.toString();
        if (texte == QLatin1String("O"))
            return QStringLiteral("Oui");
        if (texte == QLatin1String("N"))
            return QStringLiteral("Non");
    }
    return brute;
}

void RoomListTable::readRow(qsizetype row, QVariantList &values) const
{
    values.clear();
    const eo::EORecord &salle = m_salles.at(row);
    const bool memeEntite = salle->entity() == m_entity;
    std::optional<qint64> numero;
    for (qsizetype c = 0; c < m_colonnes.size(); ++c) {
        const RoomExportColumn &colonne = m_colonnes.at(c);
        if (!colonne.department.isEmpty()) {
            if (!m_occupations || m_index.at(c) < 0) {
                values.append(QVariant());
                continue;
            }
            if (!numero)
                numero = (memeEntite && m_numero >= 0 ? salle->valueAt(m_numero)
                                                      : salle->valueForKey(QStringLiteral("salNumero")))
                             .toLongLong();
            values.append(m_occupations->pourcentage(*numero, m_index.at(c)));
            continue;
        }
        QVariant brute;
        if (memeEntite && m_index.at(c) >= 0) {
            brute = salle->valueAt(m_index.at(c));
        } else {
            try {
                brute = salle->valueForKeyPath(colonne.key);
            } catch (const eo::EOException &) {
                // A key the room does not have is an empty cell, as in the list.
            }
        }
        values.append(valeur(brute, colonne.flag));
    }
}

} // namespace rooms
