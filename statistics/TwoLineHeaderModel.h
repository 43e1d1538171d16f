#pragma once

#include <QIdentityProxyModel>

namespace statistics
{

class StatisticsTable;

// A statistics table as a window shows it: the same lines, and on demand the titles of the figures' columns
// on two lines, cut between two words where the longer line is the shortest ("Surface vitrée (m²)" becomes
// "Surface" over "vitrée (m²)"), so that a column is no wider than its figures. The files still get the
// titles whole from the table itself.
class TwoLineHeaderModel : public QIdentityProxyModel
{
    Q_OBJECT
public:
    explicit TwoLineHeaderModel(StatisticsTable &table, QObject *parent = nullptr);

    void setDeuxLignes(bool deuxLignes);

    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The title cut in two between words, the longer line as short as can be ("" stays "", one word stays
    // whole).
    static QString enDeuxLignes(const QString &titre);

private:
    const StatisticsTable &m_table;
    bool m_deuxLignes = false;
};

} // namespace statistics
