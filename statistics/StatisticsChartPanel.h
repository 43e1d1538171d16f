#pragma once

#include "StatisticsCharts.h"
#include "StatisticsLegend.h"

#include <QList>
#include <QWidget>

class QChartView;
class QPainter;

namespace statistics
{

// The charts of one view, one above the other, and the legend of their series under them, where a click on
// a bar asks for the rooms behind it. Draws them again at any size for a file or a printed page.
class StatisticsChartPanel : public QWidget
{
    Q_OBJECT
public:
    explicit StatisticsChartPanel(QWidget *parent = nullptr);

    void montrer(std::vector<StatisticsCharts::Graphique> graphiques);
    qsizetype nombre() const { return m_vues.size(); }
    QChartView *vue(qsizetype index) const { return m_vues.value(index); }
    const StatisticsLegend &legende() const { return *m_legende; }
    // The rooms behind a bar of a chart, by the bar's place.
    RoomFilter filtre(qsizetype graphique, int barre) const;

    // Draws the charts into the frame, each at its height or with its share of the height, and the legend
    // under them.
    // Each chart is laid out again at the frame's size divided by echelle (the device's pixels for one of the
    // screen), so that a chart never shown yet, or shown smaller, prints as well as the others.
    void dessiner(QPainter &painter, const QRectF &cadre, qreal echelle = 1) const;
    // The height the charts and their legend need at that width for the name of each bar to show whole (a
    // chart cuts the names it has no height for).
    qreal hauteurPourLesNoms(qreal largeur) const;

signals:
    void barreChoisie(const statistics::RoomFilter &filtre);

private:
    // The heights of the charts in a frame of that height, the legend left out.
    QList<qreal> hauteurs(qreal hauteur) const;

    QList<QChartView *> m_vues;
    QList<QList<RoomFilter>> m_filtres;
    QList<int> m_parts; // each chart's share of the height the fixed ones leave (0: fixed)
    QList<int> m_fixes; // the height of a fixed chart
    StatisticsLegend *m_legende = nullptr;
};

} // namespace statistics
