#include "StatisticsLegend.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace statistics
{

namespace
{

// The colour square, the gap after it, the gap between two entries and between two lines, in parts of the
// font's height.
constexpr qreal carre = 0.75;
constexpr qreal apresCarre = 0.4;
constexpr qreal entreEntrees = 1.2;
constexpr qreal entreLignes = 0.3;

qreal largeurEntree(const StatisticsLegend::Entree &entree, const QFontMetricsF &mesure)
{
    return mesure.height() * (carre + apresCarre) + mesure.horizontalAdvance(entree.libelle);
}

} // namespace

StatisticsLegend::StatisticsLegend(QWidget *parent) : QWidget(parent)
{
    QSizePolicy politique(QSizePolicy::Preferred, QSizePolicy::Fixed);
    politique.setHeightForWidth(true);
    setSizePolicy(politique);
    hide();
}

void StatisticsLegend::montrer(const QList<Entree> &entrees)
{
    m_entrees = entrees;
    setVisible(!m_entrees.isEmpty());
    updateGeometry();
    update();
}

QList<QRectF> StatisticsLegend::disposer(const QList<Entree> &entrees, const QFontMetricsF &mesure,
                                         qreal largeur)
{
    const qreal hauteurLigne = mesure.height();
    const qreal ecart = hauteurLigne * entreEntrees;
    QList<QRectF> places;
    // Filled line by line, then each line centred.
    qsizetype debutLigne = 0;
    qreal x = 0;
    qreal y = 0;
    const auto centrer = [&](qsizetype fin) {
        if (fin <= debutLigne)
            return;
        const qreal decalage = std::max(0.0, (largeur - places.at(fin - 1).right()) / 2);
        for (qsizetype i = debutLigne; i < fin; ++i)
            places[i].translate(decalage, 0);
    };
    for (const Entree &entree : entrees) {
        const qreal largeurDeLEntree = largeurEntree(entree, mesure);
        if (x > 0 && x + largeurDeLEntree > largeur) {
            centrer(places.size());
            debutLigne = places.size();
            x = 0;
            y += hauteurLigne * (1 + entreLignes);
        }
        places.append(QRectF(x, y, largeurDeLEntree, hauteurLigne));
        x += largeurDeLEntree + ecart;
    }
    centrer(places.size());
    return places;
}

qreal StatisticsLegend::hauteur(const QList<Entree> &entrees, const QFontMetricsF &mesure, qreal largeur)
{
    const QList<QRectF> places = disposer(entrees, mesure, largeur);
    return places.isEmpty() ? 0 : places.last().bottom() + mesure.height() * entreLignes;
}

void StatisticsLegend::dessiner(QPainter &painter, const QList<Entree> &entrees, const QRectF &cadre)
{
    const QFontMetricsF mesure(painter.font(), painter.device());
    const QList<QRectF> places = disposer(entrees, mesure, cadre.width());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal cote = mesure.height() * carre;
    for (qsizetype i = 0; i < places.size(); ++i) {
        const QRectF place = places.at(i).translated(cadre.topLeft());
        const QRectF couleur(place.left(), place.center().y() - cote / 2, cote, cote);
        painter.setPen(entrees.at(i).couleur.darker(115));
        painter.setBrush(entrees.at(i).couleur);
        painter.drawRect(couleur);
        painter.setPen(Qt::black);
        const qreal texte = mesure.height() * (carre + apresCarre);
        painter.drawText(place.adjusted(texte, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         entrees.at(i).libelle);
    }
    painter.restore();
}

int StatisticsLegend::heightForWidth(int largeur) const
{
    return int(std::ceil(hauteur(m_entrees, QFontMetricsF(font()), largeur)));
}

QSize StatisticsLegend::sizeHint() const
{
    // Every entry on one line when there is room for it.
    const QFontMetricsF mesure(font());
    const QList<QRectF> places = disposer(m_entrees, mesure, 1e6);
    const int largeur = places.isEmpty() ? 0 : int(std::ceil(places.last().right()));
    return {largeur, heightForWidth(largeur)};
}

QSize StatisticsLegend::minimumSizeHint() const
{
    // One entry a line: the widest sets the width.
    const QFontMetricsF mesure(font());
    qreal largeur = 0;
    for (const Entree &entree : m_entrees)
        largeur = std::max(largeur, largeurEntree(entree, mesure));
    const int entiere = int(std::ceil(largeur));
    return {entiere, heightForWidth(entiere)};
}

void StatisticsLegend::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setFont(font());
    dessiner(painter, m_entrees, QRectF(rect()));
}

} // namespace statistics
