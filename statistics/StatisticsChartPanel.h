#pragma once

#include "StatisticsCharts.h"

#include <QList>
#include <QWidget>

class QChartView;
class QPainter;

namespace statistics
{

// The charts of one view, one above the other, where a click on a bar asks for the rooms behind it. Draws
// them again at any size for a file or a printed page.
class StatisticsChartPanel : public QWidget
{
    Q_OBJECT
public:
    explicit StatisticsChartPanel(QWidget *parent = nullptr);

    void montrer(std::vector<StatisticsCharts::Graphique> graphiques);
    qsizetype nombre() const { return m_vues.size(); }
    QChartView *vue(qsizetype index) const { return m_vues.value(index); }
    // The rooms behind a bar of a chart, by the bar's place.
    RoomFilter filtre(qsizetype graphique, int barre) const;

    // Draws the charts into the frame, each keeping its share of the height.
    void dessiner(QPainter &painter, const QRectF &cadre) const;

signals:
    void barreChoisie(const statistics::RoomFilter &filtre);

private:
    QList<QChartView *> m_vues;
    QList<QList<RoomFilter>> m_filtres;
    QList<int> m_hauteurs;
};

} // namespace statistics
