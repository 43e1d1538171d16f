#include "StatisticsReport.h"

#include "Clock.h"
#include "FileWriter.h"
#include "StatisticsChartPanel.h"
#include "StatisticsTable.h"

#include <QAbstractTextDocumentLayout>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

namespace statistics
{

namespace
{

// Where each row of the document's tables begins: a page ends before a row that it cannot hold whole.
QList<qreal> debutsDesLignes(QTextDocument &document)
{
    QList<qreal> debuts;
    QAbstractTextDocumentLayout *mise = document.documentLayout();
    for (QTextFrame *cadre : document.rootFrame()->childFrames()) {
        const auto *table = qobject_cast<QTextTable *>(cadre);
        if (!table)
            continue;
        const qreal marge = table->format().cellPadding() + table->format().border();
        for (int rang = 0; rang < table->rows(); ++rang) {
            const QTextBlock bloc = table->cellAt(rang, 0).firstCursorPosition().block();
            debuts.append(mise->blockBoundingRect(bloc).top() - marge);
        }
    }
    return debuts;
}

} // namespace

QString StatisticsReport::html(const StatisticsTable &table)
{
    QString texte = QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"3\"><thead><tr>");
    for (const spreadsheet::TableColumn &colonne : table.colonnes())
        texte += QStringLiteral("<th align=\"%1\" bgcolor=\"#e0e0e0\">%2</th>")
                     .arg(colonne.kind == spreadsheet::ColumnKind::Text ? QStringLiteral("left")
                                                                        : QStringLiteral("right"),
                          colonne.title.toHtmlEscaped());
    texte += QStringLiteral("</tr></thead>");
    int rang = 0;
    for (const StatisticsTable::Ligne &ligne : table.lignes()) {
        const bool paire = rang++ % 2 == 1;
        texte += paire ? QStringLiteral("<tr bgcolor=\"#f4f4f4\">") : QStringLiteral("<tr>");
        for (qsizetype c = 0; c < ligne.cellules.size() && c < table.colonnes().size(); ++c) {
            QString cellule = ligne.cellules.at(c).affichage.toHtmlEscaped();
            if (ligne.total)
                cellule = QStringLiteral("<b>%1</b>").arg(cellule);
            texte += QStringLiteral("<td align=\"%1\">%2</td>")
                         .arg(table.colonnes().at(c).kind == spreadsheet::ColumnKind::Text
                                  ? QStringLiteral("left")
                                  : QStringLiteral("right"),
                              cellule);
        }
        texte += QStringLiteral("</tr>");
    }
    texte += QStringLiteral("</table>");
    if (!table.note().isEmpty())
        texte += QStringLiteral("<p><i>%1</i></p>").arg(table.note().toHtmlEscaped());
    return texte;
}

QString StatisticsReport::ecrire(const QList<Page> &pages, const QString &selection, const QString &path)
{
    platform::FileWriter fichier(path);
    if (!fichier.open())
        return fichier.errorString();
    {
        QPdfWriter pdf(fichier.device());
        pdf.setTitle(QStringLiteral("Statistiques"));
        pdf.setCreator(QStringLiteral("Locavia"));
        pdf.setResolution(96);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                      QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
        QPainter painter(&pdf);
        const QRectF page(0, 0, pdf.width(), pdf.height());
        const QString date = platform::Clock::now().toString(QStringLiteral("dd/MM/yyyy HH:mm"));
        bool premiere = true;
        for (const Page &vue : pages) {
            if (!vue.table)
                continue;
            if (!premiere)
                pdf.newPage();
            premiere = false;
            QFont titre = painter.font();
            titre.setPointSizeF(16);
            titre.setBold(true);
            painter.setFont(titre);
            const QRectF cadreTitre(page.left(), page.top(), page.width(), 32);
            painter.drawText(cadreTitre, Qt::AlignLeft | Qt::AlignVCenter,
                             QStringLiteral("Statistiques — %1").arg(vue.table->titre()));
            QFont texte = painter.font();
            texte.setPointSizeF(9);
            texte.setBold(false);
            painter.setFont(texte);
            painter.drawText(QRectF(page.left(), cadreTitre.bottom(), page.width(), 20),
                             Qt::AlignLeft | Qt::AlignVCenter,
                             QStringLiteral("%1 — édité le %2").arg(selection, date));
            qreal haut = cadreTitre.bottom() + 26;
            if (vue.graphe && vue.graphe->nombre() > 0) {
                const QRectF cadreGraphe(page.left(), haut, page.width(), page.height() * 0.5);
                vue.graphe->dessiner(painter, cadreGraphe);
                haut = cadreGraphe.bottom() + 8;
            }
            // The table below, going on over as many pages as it needs.
            QTextDocument document;
            document.setDefaultFont(texte);
            document.setHtml(html(*vue.table));
            document.setTextWidth(page.width());
            qreal fait = 0;
            const qreal hauteur = document.size().height();
            const QList<qreal> debuts = debutsDesLignes(document);
            while (fait < hauteur) {
                qreal fin = fait + (page.bottom() - haut);
                if (fin < hauteur) {
                    // The page stops before the first row it cannot hold whole (unless no row fits).
                    qreal coupe = fait;
                    for (const qreal debut : debuts) {
                        if (debut > fait + 1 && debut <= fin)
                            coupe = debut;
                    }
                    if (coupe > fait)
                        fin = coupe;
                }
                painter.save();
                painter.translate(page.left(), haut - fait);
                QAbstractTextDocumentLayout::PaintContext contexte;
                contexte.clip = QRectF(0, fait, page.width(), fin - fait);
                painter.setClipRect(contexte.clip);
                document.documentLayout()->draw(&painter, contexte);
                painter.restore();
                fait = fin;
                if (fait < hauteur) {
                    pdf.newPage();
                    haut = page.top();
                }
            }
        }
        painter.end();
    }
    if (!fichier.commit())
        return fichier.errorString();
    return QString();
}

} // namespace statistics
