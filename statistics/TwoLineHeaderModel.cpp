#include "TwoLineHeaderModel.h"

#include "StatisticsTable.h"

#include <QStringList>

namespace statistics
{

TwoLineHeaderModel::TwoLineHeaderModel(StatisticsTable &table, QObject *parent)
    : QIdentityProxyModel(parent), m_table(table)
{
    setSourceModel(&table);
}

void TwoLineHeaderModel::setDeuxLignes(bool deuxLignes)
{
    if (deuxLignes == m_deuxLignes)
        return;
    m_deuxLignes = deuxLignes;
    if (columnCount() > 0)
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

QVariant TwoLineHeaderModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const QVariant titre = QIdentityProxyModel::headerData(section, orientation, role);
    // The texts' columns are as wide as their texts anyway.
    if (!m_deuxLignes || orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= m_table.colonnes().size() ||
        m_table.colonnes().at(section).kind == spreadsheet::ColumnKind::Text)
        return titre;
    return enDeuxLignes(titre.toString());
}

QString TwoLineHeaderModel::enDeuxLignes(const QString &titre)
{
    const QStringList mots = titre.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (mots.size() < 2)
        return titre;
    qsizetype meilleure = 1;
    qsizetype plusLongue = titre.size();
    for (qsizetype coupe = 1; coupe < mots.size(); ++coupe) {
        const qsizetype avant = mots.mid(0, coupe).join(QLatin1Char(' ')).size();
        const qsizetype apres = mots.mid(coupe).join(QLatin1Char(' ')).size();
        if (std::max(avant, apres) < plusLongue) {
            plusLongue = std::max(avant, apres);
            meilleure = coupe;
        }
    }
    return mots.mid(0, meilleure).join(QLatin1Char(' ')) + QLatin1Char('\n') +
           mots.mid(meilleure).join(QLatin1Char(' '));
}

} // namespace statistics
