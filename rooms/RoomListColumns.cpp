#include "RoomListColumns.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolTip>
#include <algorithm>

namespace rooms
{

namespace
{

// The rows measured for a column with no full list: enough for the longest floor or door of a large result,
// few enough for the search not to wait on it.
constexpr int lignesMesurees = 300;

QString texteAffiche(const QTableView *vue, const QModelIndex &index)
{
    const QVariant valeur = index.data(Qt::DisplayRole);
    if (const auto *delegue = qobject_cast<const QStyledItemDelegate *>(vue->itemDelegateForIndex(index)))
        return delegue->displayText(valeur, vue->locale());
    return valeur.toString();
}

} // namespace

RoomListColumns::RoomListColumns(QTableView *vue) : QObject(vue->viewport()), m_vue(vue) {}

void RoomListColumns::ajusterSousListe(QTableView *vue, const QList<int> &colonnesLarges)
{
    QHeaderView *entete = vue->horizontalHeader();
    entete->setStretchLastSection(false);
    for (int colonne = 0; colonne < vue->model()->columnCount(); ++colonne)
        entete->setSectionResizeMode(
            colonne, colonnesLarges.contains(colonne) ? QHeaderView::Stretch : QHeaderView::ResizeToContents);
    entete->installEventFilter(pour(vue));
    garderLesTitres(vue);
}

void RoomListColumns::garderLesTitres(QTableView *vue)
{
    // The columns that take the width share it equally, so each needs the widest of their titles; a scroll
    // bar may come with the lines.
    const QHeaderView *entete = vue->horizontalHeader();
    int largeur = 2 * vue->frameWidth() + vue->verticalScrollBar()->sizeHint().width();
    int larges = 0;
    int plusLarge = 0;
    for (int colonne = 0; colonne < entete->count(); ++colonne) {
        if (entete->sectionResizeMode(colonne) == QHeaderView::Stretch) {
            ++larges;
            plusLarge = std::max(plusLarge, entete->sectionSizeHint(colonne));
        } else {
            largeur += entete->sectionSizeHint(colonne);
        }
    }
    vue->setMinimumWidth(largeur + larges * plusLarge);
}

int RoomListColumns::ajusterResultats(QTableView *vue, const QStringList &batiments, const QStringList &types)
{
    const QAbstractItemModel *modele = vue->model();
    QHeaderView *entete = vue->horizontalHeader();
    entete->setStretchLastSection(false);
    const QFontMetrics mesure = vue->fontMetrics();
    // The delegate's margins around a text, as a measured cell has them.
    const int marges = 2 * (vue->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, vue) + 1) + 8;
    const int lignes = std::min(modele->rowCount(), lignesMesurees);

    int total = 0;
    for (int colonne = 0; colonne < modele->columnCount(); ++colonne) {
        // The title, with room for the sort arrow of a column the user sorts by.
        const QString titre = modele->headerData(colonne, Qt::Horizontal).toString();
        int largeur = entete->fontMetrics().horizontalAdvance(titre) +
                      2 * vue->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, entete) +
                      vue->style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, entete) + 8;
        for (int ligne = 0; ligne < lignes; ++ligne)
            largeur = std::max(
                largeur, mesure.horizontalAdvance(texteAffiche(vue, modele->index(ligne, colonne))) + marges);
        const QStringList *liste = colonne == 0 ? &batiments : (colonne == 3 ? &types : nullptr);
        if (liste) {
            for (const QString &nom : *liste)
                largeur = std::max(largeur, mesure.horizontalAdvance(nom) + marges);
        }
        entete->resizeSection(colonne, largeur);
        total += largeur;
    }
    bullesSiCoupe(vue);
    return total;
}

void RoomListColumns::bullesSiCoupe(QTableView *vue)
{
    pour(vue);
}

RoomListColumns *RoomListColumns::pour(QTableView *vue)
{
    if (auto *existant = vue->viewport()->findChild<RoomListColumns *>(QString(), Qt::FindDirectChildrenOnly))
        return existant;
    auto *filtre = new RoomListColumns(vue); // owned by the viewport
    vue->viewport()->installEventFilter(filtre);
    return filtre;
}

bool RoomListColumns::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FontChange && watched == m_vue->horizontalHeader()) {
        garderLesTitres(m_vue);
        return false;
    }
    if (event->type() != QEvent::ToolTip || watched != m_vue->viewport())
        return QObject::eventFilter(watched, event);
    const auto *aide = static_cast<QHelpEvent *>(event);
    const QModelIndex index = m_vue->indexAt(aide->pos());
    const QRect cellule = m_vue->visualRect(index);
    if (index.isValid() && m_vue->sizeHintForIndex(index).width() > cellule.width()) {
        QToolTip::showText(aide->globalPos(), texteAffiche(m_vue, index), m_vue->viewport(), cellule);
        return true;
    }
    // A whole text needs no tooltip repeating it: the list's own help shows, if it has one.
    if (m_vue->toolTip().isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(aide->globalPos(), m_vue->toolTip(), m_vue->viewport());
    return true;
}

} // namespace rooms
