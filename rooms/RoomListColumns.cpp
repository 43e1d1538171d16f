#include "RoomListColumns.h"

#include <QHeaderView>
#include <QHelpEvent>
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
    bullesSiCoupe(vue);
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
    if (vue->viewport()->findChild<RoomListColumns *>(QString(), Qt::FindDirectChildrenOnly))
        return;
    vue->viewport()->installEventFilter(new RoomListColumns(vue)); // owned by the viewport
}

bool RoomListColumns::eventFilter(QObject *watched, QEvent *event)
{
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
