#pragma once

#include <QColor>
#include <QList>
#include <QRectF>
#include <QString>
#include <QWidget>

class QFontMetricsF;
class QPainter;

namespace statistics
{

// The legend of a view's charts, under them: each series' colour and name, as many on a line as the width
// holds and the rest on the next lines, so that every entry shows whole however narrow the view (a chart's
// own legend cuts the names it has no room for). Drawn again at any size for a file or a printed page.
class StatisticsLegend : public QWidget
{
    Q_OBJECT
public:
    struct Entree {
        QString libelle;
        QColor couleur;
    };

    explicit StatisticsLegend(QWidget *parent = nullptr);

    void montrer(const QList<Entree> &entrees);
    const QList<Entree> &entrees() const { return m_entrees; }

    // Where each entry goes (its colour and its name) in a legend of that width, from its top left.
    static QList<QRectF> disposer(const QList<Entree> &entrees, const QFontMetricsF &mesure, qreal largeur);
    // The height the entries take in that width (nothing without entries).
    static qreal hauteur(const QList<Entree> &entrees, const QFontMetricsF &mesure, qreal largeur);
    // Draws the entries in the frame, in the painter's font.
    static void dessiner(QPainter &painter, const QList<Entree> &entrees, const QRectF &cadre);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int largeur) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QList<Entree> m_entrees;
};

} // namespace statistics
