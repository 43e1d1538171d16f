#pragma once

#include <QFont>
#include <QList>
#include <QPointF>
#include <QString>

class QPainter;
class QPaintDevice;

namespace statistics
{

class StatisticsTable;

// A view's table laid out for printed pages. Each column is at least as wide as its widest word and its
// widest figure, so that nothing is cut across two lines: a text wraps between its words only where the
// page is too narrow for it whole. When even the widest words of all the columns do not fit the page, the
// whole table is set in a smaller font. The lines are cut into pages with the header at the top of each,
// and the totals line (with the note under it) never begins a page alone.
class StatisticsReportTable
{
public:
    // The lines [debut, fin) one page holds; debut == fin: the table begins on the next page.
    struct Tranche {
        int debut = 0;
        int fin = 0;
        bool operator==(const Tranche &) const = default;
    };

    // largeur: the width of the page, in the device's pixels; police: the font at its largest.
    StatisticsReportTable(const StatisticsTable &table, const QFont &police, QPaintDevice *device,
                          qreal largeur);

    const QFont &police() const { return m_police; }
    const QList<qreal> &largeurs() const { return m_largeurs; }
    int lignes() const { return int(m_hauteurs.size()); }
    qreal hauteurEntete() const { return m_hauteurEntete; }
    qreal hauteurLigne(int ligne) const { return m_hauteurs.value(ligne); }
    // The note under the table, nothing without one.
    qreal hauteurNote() const { return m_hauteurNote; }
    // The whole table on one page: header, lines, note.
    qreal hauteur() const;

    // The lines of each page: premiere is the room left on the page where the table begins, suivantes the
    // room on each next page.
    QList<Tranche> paginer(qreal premiere, qreal suivantes) const;
    // Draws the header and the lines of the tranche from haut (top left), with the note after the last line.
    void dessiner(QPainter &painter, const QPointF &haut, const Tranche &tranche) const;

    // The smallest size the font is taken down to.
    static constexpr qreal plusPetitePolice = 6.0;

private:
    bool mesurer(qreal largeur);
    qreal hauteurTexte(const QString &texte, const QFont &police, qreal largeur, bool chiffre) const;
    QFont gras() const;
    qreal marge() const;

    const StatisticsTable &m_table;
    QPaintDevice *m_device;
    QFont m_police;
    QList<qreal> m_largeurs;
    QList<qreal> m_hauteurs;
    qreal m_hauteurEntete = 0;
    qreal m_hauteurNote = 0;
    qreal m_largeur = 0;
    bool m_couperLesMots = false; // only when the narrowest font still cannot hold the widest words
};

} // namespace statistics
