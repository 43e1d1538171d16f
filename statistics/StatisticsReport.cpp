#include "StatisticsReport.h"

#include "Clock.h"
#include "FileWriter.h"
#include "StatisticsChartPanel.h"
#include "StatisticsReportTable.h"
#include "StatisticsTable.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

namespace statistics
{

QString StatisticsReport::ecrire(const QList<Page> &pages, const QString &selection, const QString &path)
{
    platform::FileWriter fichier(path);
    if (!fichier.open())
        return fichier.errorString();
    {
        QPdfWriter pdf(fichier.device());
        pdf.setTitle(QStringLiteral("Statistiques"));
        pdf.setCreator(QStringLiteral("Locavia"));
        // At the screen's resolution, the charts are laid out as they are on screen.
        pdf.setResolution(96);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                      QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
        QPainter painter(&pdf);
        const QRectF page(0, 0, pdf.width(), pdf.height());
        const QString date = platform::Clock::now().toString(QStringLiteral("dd/MM/yyyy HH:mm"));
        QFont texte = QGuiApplication::font();
        texte.setPointSizeF(9);
        QFont titre = texte;
        titre.setPointSizeF(16);
        titre.setBold(true);
        QFont suite = texte;
        suite.setBold(true);
        const qreal hauteurSuite = QFontMetricsF(suite, &pdf).height() + 6;
        bool premiere = true;
        for (const Page &vue : pages) {
            if (!vue.table)
                continue;
            if (!premiere)
                pdf.newPage();
            premiere = false;
            painter.setFont(titre);
            const QRectF cadreTitre(page.left(), page.top(), page.width(), 32);
            painter.drawText(cadreTitre, Qt::AlignLeft | Qt::AlignVCenter,
                             QStringLiteral("Statistiques — %1").arg(vue.table->titre()));
            painter.setFont(texte);
            painter.drawText(QRectF(page.left(), cadreTitre.bottom(), page.width(), 20),
                             Qt::AlignLeft | Qt::AlignVCenter,
                             QStringLiteral("%1 — édité le %2").arg(selection, date));
            qreal haut = cadreTitre.bottom() + 26;
            const StatisticsReportTable tableau(*vue.table, texte, &pdf, page.width());
            if (vue.graphe && vue.graphe->nombre() > 0) {
                // Half the page, a third when the table then fits whole; more when the bars' names need it,
                // the table going on over the next pages.
                const qreal hauteur = std::min(
                    page.bottom() - haut, std::max(std::clamp(page.bottom() - haut - tableau.hauteur() - 8,
                                                              page.height() * 0.35, page.height() * 0.5),
                                                   vue.graphe->hauteurPourLesNoms(page.width())));
                const QRectF cadreGraphe(page.left(), haut, page.width(), hauteur);
                vue.graphe->dessiner(painter, cadreGraphe);
                haut = cadreGraphe.bottom() + 8;
            }
            // The table below, going on over as many pages as it needs, each under the view's name.
            const QList<StatisticsReportTable::Tranche> tranches =
                tableau.paginer(page.bottom() - haut, page.height() - hauteurSuite);
            for (qsizetype rang = 0; rang < tranches.size(); ++rang) {
                if (rang > 0) {
                    pdf.newPage();
                    painter.setFont(suite);
                    painter.drawText(QRectF(page.left(), page.top(), page.width(), hauteurSuite),
                                     Qt::AlignLeft | Qt::AlignTop,
                                     QStringLiteral("%1 (suite)").arg(vue.table->titre()));
                    haut = page.top() + hauteurSuite;
                }
                if (tranches.at(rang).fin > tranches.at(rang).debut)
                    tableau.dessiner(painter, QPointF(page.left(), haut), tranches.at(rang));
            }
        }
        painter.end();
    }
    if (!fichier.commit())
        return fichier.errorString();
    return QString();
}

} // namespace statistics
