#include "StatisticsReportTable.h"

#include "StatisticsTable.h"

#include <QColor>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

namespace statistics
{

namespace
{

const QColor fondEntete(0xe0, 0xe0, 0xe0);
const QColor fondLignePaire(0xf4, 0xf4, 0xf4);

bool estTexte(const spreadsheet::TableColumn &colonne)
{
    return colonne.kind == spreadsheet::ColumnKind::Text;
}

// The widest part of a text that a line may not cut: a word for a text (the spaces are where it may wrap),
// the whole figure for a number (its thousands are held together by no-break spaces anyway).
qreal plusLargeMot(const QFontMetricsF &mesure, const QString &texte, bool chiffre)
{
    if (chiffre)
        return mesure.horizontalAdvance(texte);
    qreal largeur = 0;
    for (const QString &mot : texte.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        largeur = std::max(largeur, mesure.horizontalAdvance(mot));
    return largeur;
}

} // namespace

StatisticsReportTable::StatisticsReportTable(const StatisticsTable &table, const QFont &police,
                                             QPaintDevice *device, qreal largeur)
    : m_table(table), m_device(device), m_police(police), m_largeur(largeur)
{
    if (m_police.pointSizeF() <= 0)
        m_police.setPointSizeF(9);
    m_police.setBold(false);
    m_police.setItalic(false);
    // A smaller font only when the widest words do not fit side by side at this one.
    while (!mesurer(largeur) && m_police.pointSizeF() > plusPetitePolice)
        m_police.setPointSizeF(std::max(plusPetitePolice, m_police.pointSizeF() - 0.5));
    if (m_largeurs.isEmpty() && !m_table.colonnes().isEmpty()) {
        // Too many columns for any legible font: the words are cut rather than drawn over each other.
        m_couperLesMots = true;
        const qreal part = largeur / qreal(m_table.colonnes().size());
        m_largeurs = QList<qreal>(m_table.colonnes().size(), part);
    }

    const QFontMetricsF mesure(m_police, m_device);
    const qreal pad = marge();
    const QList<spreadsheet::TableColumn> &colonnes = m_table.colonnes();
    for (qsizetype c = 0; c < colonnes.size(); ++c)
        m_hauteurEntete = std::max(
            m_hauteurEntete, hauteurTexte(colonnes.at(c).title, gras(), m_largeurs.at(c) - 2 * pad, false));
    m_hauteurEntete += 2 * pad;
    for (const StatisticsTable::Ligne &ligne : m_table.lignes()) {
        qreal hauteur = mesure.height();
        for (qsizetype c = 0; c < colonnes.size() && c < ligne.cellules.size(); ++c)
            hauteur = std::max(hauteur,
                               hauteurTexte(ligne.cellules.at(c).affichage, ligne.total ? gras() : m_police,
                                            m_largeurs.at(c) - 2 * pad, !estTexte(colonnes.at(c))));
        m_hauteurs.append(hauteur + 2 * pad);
    }
    if (!m_table.note().isEmpty()) {
        QFont italique = m_police;
        italique.setItalic(true);
        m_hauteurNote = hauteurTexte(m_table.note(), italique, largeur, false) + 3 * pad;
    }
}

QFont StatisticsReportTable::gras() const
{
    QFont police = m_police;
    police.setBold(true);
    return police;
}

qreal StatisticsReportTable::marge() const
{
    return std::ceil(QFontMetricsF(m_police, m_device).height() * 0.2);
}

bool StatisticsReportTable::mesurer(qreal largeur)
{
    m_largeurs.clear();
    const QFontMetricsF normale(m_police, m_device);
    const QFontMetricsF grasse(gras(), m_device);
    // One pixel more than measured: the page's text and these metrics may round apart.
    const qreal bords = 2 * marge() + 1;
    const QList<spreadsheet::TableColumn> &colonnes = m_table.colonnes();
    QList<qreal> minimales;
    QList<qreal> entieres;
    for (qsizetype c = 0; c < colonnes.size(); ++c) {
        const bool chiffre = !estTexte(colonnes.at(c));
        qreal minimale = plusLargeMot(grasse, colonnes.at(c).title, false);
        qreal entiere = grasse.horizontalAdvance(colonnes.at(c).title);
        for (const StatisticsTable::Ligne &ligne : m_table.lignes()) {
            const QString texte = ligne.cellules.value(c).affichage;
            const QFontMetricsF &mesure = ligne.total ? grasse : normale;
            minimale = std::max(minimale, plusLargeMot(mesure, texte, chiffre));
            entiere = std::max(entiere, mesure.horizontalAdvance(texte));
        }
        minimales.append(minimale + bords);
        entieres.append(entiere + bords);
    }
    qreal sommeMinimales = 0;
    qreal sommeEntieres = 0;
    for (qsizetype c = 0; c < colonnes.size(); ++c) {
        sommeMinimales += minimales.at(c);
        sommeEntieres += entieres.at(c);
    }
    if (sommeMinimales > largeur)
        return false;
    for (qsizetype c = 0; c < colonnes.size(); ++c) {
        if (sommeEntieres <= largeur) {
            // Every text whole on one line; the page's width shared out evenly beyond that.
            m_largeurs.append(entieres.at(c) + (largeur - sommeEntieres) / qreal(colonnes.size()));
        } else {
            // Each column past its widest word by a share of what it would need to be whole.
            const qreal part = (largeur - sommeMinimales) / (sommeEntieres - sommeMinimales);
            m_largeurs.append(minimales.at(c) + (entieres.at(c) - minimales.at(c)) * part);
        }
    }
    return true;
}

qreal StatisticsReportTable::hauteurTexte(const QString &texte, const QFont &police, qreal largeur,
                                          bool chiffre) const
{
    const QFontMetricsF mesure(police, m_device);
    if (chiffre || texte.isEmpty())
        return mesure.height();
    const int retour = m_couperLesMots ? Qt::TextWrapAnywhere : Qt::TextWordWrap;
    return mesure.boundingRect(QRectF(0, 0, std::max(1.0, largeur), 1e6), retour, texte).height();
}

qreal StatisticsReportTable::hauteur() const
{
    qreal hauteur = m_hauteurEntete + m_hauteurNote;
    for (const qreal ligne : m_hauteurs)
        hauteur += ligne;
    return hauteur;
}

QList<StatisticsReportTable::Tranche> StatisticsReportTable::paginer(qreal premiere, qreal suivantes) const
{
    const int nombre = lignes();
    if (nombre == 0)
        return {{0, 0}};
    // The totals line carries the note under it.
    const auto bloc = [this, nombre](int ligne) {
        return m_hauteurs.at(ligne) + (ligne == nombre - 1 ? m_hauteurNote : 0);
    };
    QList<Tranche> tranches;
    qreal place = premiere;
    bool pageDeDebut = true;
    int ligne = 0;
    while (ligne < nombre) {
        const int debut = ligne;
        qreal reste = place - m_hauteurEntete;
        while (ligne < nombre && bloc(ligne) <= reste) {
            reste -= bloc(ligne);
            ++ligne;
        }
        // The totals line would begin the next page alone: the line before it goes along.
        if (ligne == nombre - 1 && ligne - debut >= 2)
            --ligne;
        const bool enteteSeul = ligne == debut || (ligne == nombre - 1 && ligne - debut == 1);
        if (enteteSeul && pageDeDebut && premiere < suivantes) {
            // Below the charts there is no room for a line and what must stay with it: the table begins on
            // the next page.
            tranches.append({debut, debut});
            ligne = debut;
        } else {
            if (ligne == debut)
                ++ligne; // a line taller than a whole page: alone, cut at its foot
            tranches.append({debut, ligne});
        }
        place = suivantes;
        pageDeDebut = false;
    }
    return tranches;
}

void StatisticsReportTable::dessiner(QPainter &painter, const QPointF &haut, const Tranche &tranche) const
{
    const QList<spreadsheet::TableColumn> &colonnes = m_table.colonnes();
    const qreal pad = marge();
    const int retour = m_couperLesMots ? Qt::TextWrapAnywhere : Qt::TextWordWrap;
    qreal largeurTable = 0;
    for (const qreal largeur : m_largeurs)
        largeurTable += largeur;

    painter.save();
    painter.setPen(Qt::black);
    const auto cellules = [&](qreal y, qreal hauteur, const QFont &police, const auto &texteDe,
                              int vertical) {
        painter.setFont(police);
        qreal x = haut.x();
        for (qsizetype c = 0; c < colonnes.size(); ++c) {
            const int horizontal = estTexte(colonnes.at(c)) ? Qt::AlignLeft : Qt::AlignRight;
            const QRectF cadre(x + pad, y + pad, m_largeurs.at(c) - 2 * pad, hauteur - 2 * pad);
            painter.drawText(cadre, horizontal | vertical | retour, texteDe(c));
            x += m_largeurs.at(c);
        }
    };

    qreal y = haut.y();
    painter.fillRect(QRectF(haut.x(), y, largeurTable, m_hauteurEntete), fondEntete);
    cellules(
        y, m_hauteurEntete, gras(), [&](qsizetype c) { return colonnes.at(c).title; }, Qt::AlignBottom);
    y += m_hauteurEntete;
    for (int ligne = tranche.debut; ligne < tranche.fin && ligne < lignes(); ++ligne) {
        const StatisticsTable::Ligne &contenu = m_table.lignes().at(ligne);
        const qreal hauteur = m_hauteurs.at(ligne);
        if (ligne % 2 == 1)
            painter.fillRect(QRectF(haut.x(), y, largeurTable, hauteur), fondLignePaire);
        if (contenu.total)
            painter.drawLine(QPointF(haut.x(), y), QPointF(haut.x() + largeurTable, y));
        cellules(
            y, hauteur, contenu.total ? gras() : m_police,
            [&](qsizetype c) { return contenu.cellules.value(c).affichage; }, Qt::AlignTop);
        y += hauteur;
    }
    if (tranche.fin >= lignes() && m_hauteurNote > 0) {
        QFont italique = m_police;
        italique.setItalic(true);
        painter.setFont(italique);
        painter.drawText(QRectF(haut.x(), y + 2 * pad, m_largeur, m_hauteurNote - 2 * pad),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, m_table.note());
    }
    painter.restore();
}

} // namespace statistics
