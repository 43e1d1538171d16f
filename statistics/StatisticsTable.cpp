#include "StatisticsTable.h"

#include <QFont>

namespace statistics
{

StatisticsTable::StatisticsTable(QObject *parent) : QAbstractTableModel(parent) {}

void StatisticsTable::remplir(const QString &titre, const QList<spreadsheet::TableColumn> &colonnes,
                              const QList<Ligne> &lignes, const QString &note)
{
    beginResetModel();
    m_titre = titre;
    m_colonnes = colonnes;
    m_lignes = lignes;
    m_note = note;
    endResetModel();
}

RoomFilter StatisticsTable::filtre(int ligne) const
{
    if (ligne < 0 || ligne >= m_lignes.size())
        return {};
    return m_lignes.at(ligne).filtre;
}

int StatisticsTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_lignes.size());
}

int StatisticsTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_colonnes.size());
}

QVariant StatisticsTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_lignes.size() || index.column() >= m_colonnes.size())
        return {};
    const Ligne &ligne = m_lignes.at(index.row());
    if (index.column() >= ligne.cellules.size())
        return {};
    const Cellule &cellule = ligne.cellules.at(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return cellule.affichage;
    case Qt::EditRole:
        return cellule.valeur;
    case Qt::TextAlignmentRole:
        return m_colonnes.at(index.column()).kind == spreadsheet::ColumnKind::Text
                   ? QVariant(int(Qt::AlignLeft | Qt::AlignVCenter))
                   : QVariant(int(Qt::AlignRight | Qt::AlignVCenter));
    case Qt::FontRole:
        if (ligne.total) {
            QFont gras;
            gras.setBold(true);
            return gras;
        }
        return {};
    case Qt::ToolTipRole:
        return ligne.filtre.estVide() ? QVariant()
                                      : QVariant(QStringLiteral("Cliquer pour lister ces salles"));
    default:
        return {};
    }
}

QVariant StatisticsTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < m_colonnes.size())
        return m_colonnes.at(section).title;
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace statistics
