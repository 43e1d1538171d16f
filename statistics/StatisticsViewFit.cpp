#include "StatisticsViewFit.h"

#include "StatisticsChartPanel.h"
#include "TwoLineHeaderModel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTableView>
#include <algorithm>
#include <cmath>

namespace statistics
{

StatisticsViewFit::StatisticsViewFit(QSplitter *separation, QTableView *table, TwoLineHeaderModel *entetes,
                                     QWidget *graphes, StatisticsChartPanel *panneau, QObject *parent)
    : QObject(parent), m_separation(separation), m_table(table), m_entetes(entetes), m_graphes(graphes),
      m_panneau(panneau)
{
    // The charts take what the window gains; the table keeps the size of its contents.
    separation->setStretchFactor(0, 0);
    separation->setStretchFactor(1, 1);
    separation->installEventFilter(this);
    connect(separation, &QSplitter::splitterMoved, this, [this] {
        m_choisi = true;
        ajuster();
    });
}

bool StatisticsViewFit::eventFilter(QObject *watched, QEvent *event)
{
    // A hidden tab gets its size when it is first shown: fitted then.
    if (watched == m_separation && event->type() == QEvent::Resize)
        ajuster();
    return QObject::eventFilter(watched, event);
}

int StatisticsViewFit::place() const
{
    const bool cote = m_separation->orientation() == Qt::Horizontal;
    return (cote ? m_separation->width() : m_separation->height()) - m_separation->handleWidth();
}

int StatisticsViewFit::minimumDesGraphes() const
{
    const QSize minimum = m_graphes->minimumSizeHint().expandedTo(m_graphes->minimumSize());
    return m_separation->orientation() == Qt::Horizontal ? minimum.width() : minimum.height();
}

int StatisticsViewFit::besoinDesGraphes() const
{
    const int minimum = minimumDesGraphes();
    // Beside the table, the charts have the view's height whatever the table's width.
    if (m_separation->orientation() == Qt::Horizontal || !m_panneau)
        return minimum;
    return std::max(minimum, int(std::ceil(m_panneau->hauteurPourLesNoms(m_separation->width()))));
}

int StatisticsViewFit::largeurDesColonnes() const
{
    const QHeaderView *colonnes = m_table->horizontalHeader();
    const int cadre = 2 * m_table->frameWidth();
    const int hauteur = colonnes->sizeHint().height() + m_table->verticalHeader()->length() + cadre;
    // The scroll bar for the lines, when the table's height cannot show them all (under the charts, what they
    // leave).
    const int hauteurDisponible =
        m_separation->orientation() == Qt::Horizontal ? m_separation->height() : place() - besoinDesGraphes();
    const bool barre = hauteur > hauteurDisponible;
    return colonnes->length() + cadre + (barre ? m_table->verticalScrollBar()->sizeHint().width() : 0);
}

int StatisticsViewFit::tailleVoulue() const
{
    if (!m_table || !m_separation)
        return 0;
    if (m_separation->orientation() == Qt::Horizontal)
        return largeurDesColonnes();
    const int cadre = 2 * m_table->frameWidth();
    const int hauteur =
        m_table->horizontalHeader()->sizeHint().height() + m_table->verticalHeader()->length() + cadre;
    const bool barre = m_table->horizontalHeader()->length() + cadre > m_separation->width();
    return hauteur + (barre ? m_table->horizontalScrollBar()->sizeHint().height() : 0);
}

void StatisticsViewFit::ajusterColonnes(int largeur)
{
    // The lines as tall as their texts now, not once the view next lays itself out.
    const auto lignes = [this] { m_table->verticalHeader()->resizeSections(QHeaderView::ResizeToContents); };
    m_entetes->setDeuxLignes(false);
    m_table->resizeColumnsToContents();
    lignes();
    if (largeurDesColonnes() <= largeur)
        return;
    m_entetes->setDeuxLignes(true);
    m_table->resizeColumnsToContents();
    if (largeurDesColonnes() > largeur) {
        couperLesTextes();
        lignes();
    }
}

void StatisticsViewFit::couperLesTextes()
{
    // Each text column as wide as its title and its widest word, its texts wrapped between their words.
    const QAbstractItemModel *modele = m_table->model();
    const int marges =
        2 * (m_table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_table) + 1) +
        (m_table->showGrid() ? 1 : 0);
    for (int colonne = 0; colonne < modele->columnCount(); ++colonne) {
        if (modele->index(0, colonne).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight)
            continue;
        int largeur = m_table->horizontalHeader()->sectionSizeHint(colonne);
        for (int ligne = 0; ligne < modele->rowCount(); ++ligne) {
            const QModelIndex index = modele->index(ligne, colonne);
            const QVariant police = index.data(Qt::FontRole);
            const QFontMetrics mesure(police.isValid() ? police.value<QFont>() : m_table->font());
            for (const QString &mot : index.data().toString().split(QLatin1Char(' '), Qt::SkipEmptyParts))
                largeur = std::max(largeur, mesure.horizontalAdvance(mot) + marges);
        }
        m_table->setColumnWidth(colonne, std::min(largeur, m_table->columnWidth(colonne)));
    }
}

void StatisticsViewFit::ajuster()
{
    if (m_enCours || !m_separation || !m_table || !m_entetes || !m_graphes || place() <= 0)
        return;
    m_enCours = true;
    const bool cote = m_separation->orientation() == Qt::Horizontal;
    const int tout = place();
    if (cote)
        ajusterColonnes(m_choisi ? m_separation->sizes().value(0) : tout - minimumDesGraphes());
    else
        ajusterColonnes(m_separation->width());
    if (!m_choisi) {
        int table = std::min(tailleVoulue(), tout - besoinDesGraphes());
        if (!cote) {
            // Under the charts: the header and a few lines whatever the charts ask.
            const QHeaderView *lignes = m_table->verticalHeader();
            int quelquesLignes = m_table->horizontalHeader()->sizeHint().height() + 2 * m_table->frameWidth();
            for (int ligne = 0; ligne < lignesMinimales && ligne < lignes->count(); ++ligne)
                quelquesLignes += lignes->sectionSize(ligne);
            table = std::max(table, std::min(quelquesLignes, tailleVoulue()));
            // A few pixels short of the last line: taken from the charts, whose names' height has that much
            // to spare, rather than a scroll bar for them.
            if (tailleVoulue() - table < lignes->defaultSectionSize() / 2)
                table = tailleVoulue();
        }
        table = std::clamp(table, 0, tout);
        m_separation->setSizes({table, tout - table});
    }
    m_enCours = false;
}

} // namespace statistics
