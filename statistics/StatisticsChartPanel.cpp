#include "StatisticsChartPanel.h"

#include <QAbstractBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGraphicsScene>
#include <QPainter>
#include <QVBoxLayout>

namespace statistics
{

StatisticsChartPanel::StatisticsChartPanel(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
}

void StatisticsChartPanel::montrer(std::vector<StatisticsCharts::Graphique> graphiques)
{
    for (QChartView *vue : std::as_const(m_vues))
        delete vue;
    m_vues.clear();
    m_filtres.clear();
    m_hauteurs.clear();
    auto *couche = static_cast<QVBoxLayout *>(layout());
    for (StatisticsCharts::Graphique &graphique : graphiques) {
        const qsizetype index = m_vues.size();
        // The view owns its chart from here on.
        auto *vue = new QChartView(graphique.chart.release(), this);
        vue->setRenderHint(QPainter::Antialiasing);
        vue->setCursor(Qt::PointingHandCursor);
        // A chart of one bar still shows its bar and its scale.
        vue->setMinimumHeight(90);
        couche->addWidget(vue, graphique.hauteur);
        m_vues.append(vue);
        m_filtres.append(graphique.filtres);
        m_hauteurs.append(std::max(1, graphique.hauteur));
        if (graphique.series) {
            connect(graphique.series, &QAbstractBarSeries::clicked, this,
                    [this, index](int barre, QBarSet *) {
                        const RoomFilter choisi = filtre(index, barre);
                        if (!choisi.estVide())
                            emit barreChoisie(choisi);
                    });
        }
    }
}

RoomFilter StatisticsChartPanel::filtre(qsizetype graphique, int barre) const
{
    if (graphique < 0 || graphique >= m_filtres.size())
        return {};
    return m_filtres.at(graphique).value(barre);
}

void StatisticsChartPanel::dessiner(QPainter &painter, const QRectF &cadre) const
{
    int total = 0;
    for (const int hauteur : m_hauteurs)
        total += hauteur;
    if (total == 0)
        return;
    qreal haut = cadre.top();
    for (qsizetype i = 0; i < m_vues.size(); ++i) {
        const qreal hauteur = cadre.height() * m_hauteurs.at(i) / total;
        QChart *chart = m_vues.at(i)->chart();
        const QRectF cible(cadre.left(), haut, cadre.width(), hauteur);
        // Drawn from the chart's own scene, whatever part of the view is on screen.
        if (chart && chart->scene())
            chart->scene()->render(&painter, cible, chart->sceneBoundingRect(), Qt::KeepAspectRatio);
        haut += hauteur;
    }
}

} // namespace statistics
