#include "StatisticsChartPanel.h"

#include <QAbstractBarSeries>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFontMetricsF>
#include <QGraphicsLayout>
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
    m_legende = new StatisticsLegend(this);
    layout->addWidget(m_legende);
}

void StatisticsChartPanel::montrer(std::vector<StatisticsCharts::Graphique> graphiques)
{
    for (QChartView *vue : std::as_const(m_vues))
        delete vue;
    m_vues.clear();
    m_filtres.clear();
    m_parts.clear();
    m_fixes.clear();
    QList<StatisticsLegend::Entree> entrees;
    auto *couche = static_cast<QVBoxLayout *>(layout());
    for (StatisticsCharts::Graphique &graphique : graphiques) {
        const qsizetype index = m_vues.size();
        if (graphique.legende && graphique.series) {
            for (QBarSet *barres : graphique.series->barSets())
                entrees.append({barres->label(), barres->color()});
        }
        // The view owns its chart from here on.
        auto *vue = new QChartView(graphique.chart.release(), this);
        vue->setRenderHint(QPainter::Antialiasing);
        vue->setCursor(Qt::PointingHandCursor);
        if (graphique.hauteurFixe > 0) {
            vue->setFixedHeight(graphique.hauteurFixe);
        } else {
            // A chart of one bar still shows its bar and its scale.
            vue->setMinimumHeight(90);
        }
        const int part = graphique.hauteurFixe > 0 ? 0 : std::max(1, graphique.hauteur);
        couche->insertWidget(int(index), vue, part);
        m_vues.append(vue);
        m_filtres.append(graphique.filtres);
        m_parts.append(part);
        m_fixes.append(graphique.hauteurFixe);
        if (graphique.series) {
            connect(graphique.series, &QAbstractBarSeries::clicked, this,
                    [this, index](int barre, QBarSet *) {
                        const RoomFilter choisi = filtre(index, barre);
                        if (!choisi.estVide())
                            emit barreChoisie(choisi);
                    });
        }
    }
    m_legende->montrer(entrees);
}

namespace
{

// A chart laid out at another size for as long as it is measured or drawn, then given back to its view.
class TailleProvisoire
{
public:
    TailleProvisoire(QChart &chart, const QSizeF &taille) : m_chart(chart), m_avant(chart.size())
    {
        disposer(taille);
    }
    ~TailleProvisoire() { disposer(m_avant); }
    TailleProvisoire(const TailleProvisoire &) = delete;
    TailleProvisoire &operator=(const TailleProvisoire &) = delete;

private:
    void disposer(const QSizeF &taille)
    {
        m_chart.resize(taille);
        if (m_chart.layout())
            m_chart.layout()->activate();
    }

    QChart &m_chart;
    QSizeF m_avant;
};

// The bars' names a chart shows, and the height of one.
std::pair<int, qreal> noms(const QChart &chart)
{
    for (QAbstractAxis *axe : chart.axes()) {
        const auto *categories = qobject_cast<const QBarCategoryAxis *>(axe);
        if (categories && categories->labelsVisible())
            return {int(categories->count()), QFontMetricsF(categories->labelsFont()).height()};
    }
    return {0, 0};
}

} // namespace

QList<qreal> StatisticsChartPanel::hauteurs(qreal hauteur) const
{
    int parts = 0;
    qreal reste = hauteur;
    for (qsizetype i = 0; i < m_vues.size(); ++i) {
        parts += m_parts.at(i);
        reste -= m_fixes.at(i);
    }
    QList<qreal> resultat;
    for (qsizetype i = 0; i < m_vues.size(); ++i)
        resultat.append(m_parts.at(i) > 0 ? std::max(0.0, reste) * m_parts.at(i) / parts : m_fixes.at(i));
    return resultat;
}

qreal StatisticsChartPanel::hauteurPourLesNoms(qreal largeur) const
{
    int parts = 0;
    qreal fixes = 0;
    for (qsizetype i = 0; i < m_vues.size(); ++i) {
        parts += m_parts.at(i);
        fixes += m_fixes.at(i);
    }
    qreal partagee = 0;
    for (qsizetype i = 0; i < m_vues.size(); ++i) {
        QChart *chart = m_vues.at(i)->chart();
        if (!chart || m_parts.at(i) == 0)
            continue;
        // The title, the scale and the margins, measured; then a name's line for each bar, and the room the
        // charts leave between two names so as not to cut them.
        const qreal essai = 1000;
        qreal cadre = 0;
        {
            const TailleProvisoire taille(*chart, QSizeF(largeur, essai));
            cadre = essai - chart->plotArea().height();
        }
        const auto [nombre, ligne] = noms(*chart);
        const qreal graphe = std::max(qreal(m_vues.at(i)->minimumHeight()), cadre + nombre * (ligne + 10));
        partagee = std::max(partagee, graphe * parts / m_parts.at(i));
    }
    const QVBoxLayout *couche = static_cast<QVBoxLayout *>(layout());
    return fixes + partagee + couche->spacing() * m_vues.size() +
           StatisticsLegend::hauteur(m_legende->entrees(), QFontMetricsF(m_legende->font()), largeur);
}

RoomFilter StatisticsChartPanel::filtre(qsizetype graphique, int barre) const
{
    if (graphique < 0 || graphique >= m_filtres.size())
        return {};
    return m_filtres.at(graphique).value(barre);
}

void StatisticsChartPanel::dessiner(QPainter &painter, const QRectF &cadre, qreal echelle) const
{
    if (m_vues.isEmpty() || echelle <= 0)
        return;
    painter.save();
    painter.translate(cadre.topLeft());
    painter.scale(echelle, echelle);
    painter.setFont(m_legende->font());
    const QSizeF place = cadre.size() / echelle;
    const qreal legende =
        StatisticsLegend::hauteur(m_legende->entrees(), QFontMetricsF(m_legende->font()), place.width());
    const qreal hauteurGraphes = std::max(0.0, place.height() - legende);
    const QList<qreal> parGraphe = hauteurs(hauteurGraphes);
    qreal haut = 0;
    for (qsizetype i = 0; i < m_vues.size(); ++i) {
        const QSizeF taille(place.width(), parGraphe.at(i));
        QChart *chart = m_vues.at(i)->chart();
        if (chart && chart->scene()) {
            const TailleProvisoire provisoire(*chart, taille);
            chart->scene()->render(&painter, QRectF(QPointF(0, haut), taille),
                                   QRectF(chart->scenePos(), taille), Qt::IgnoreAspectRatio);
        }
        haut += taille.height();
    }
    StatisticsLegend::dessiner(painter, m_legende->entrees(),
                               QRectF(0, hauteurGraphes, place.width(), legende));
    painter.restore();
}

} // namespace statistics
