#include "StatisticsFiles.h"

#include "Clock.h"
#include "FileWriter.h"
#include "ItemModelTableSource.h"
#include "StatisticsChartPanel.h"
#include "StatisticsTable.h"

#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace statistics
{

spreadsheet::TableWriteResult StatisticsFiles::ecrireTableau(spreadsheet::TableFormat format,
                                                             const StatisticsTable &table,
                                                             const QString &selection, const QString &path)
{
    // The edit role holds what a spreadsheet adds up: whole numbers and exact decimals.
    spreadsheet::ItemModelTableSource source(table, {}, Qt::EditRole);
    for (qsizetype colonne = 0; colonne < table.colonnes().size(); ++colonne) {
        const spreadsheet::TableColumn &description = table.colonnes().at(colonne);
        source.setColumnKind(colonne, description.kind, description.decimals);
    }
    spreadsheet::TableAnnex notes{
        QStringLiteral("Notes"), {QStringLiteral("Rubrique"), QStringLiteral("Valeur")}, {}};
    notes.rows.append({QStringLiteral("Vue"), table.titre()});
    notes.rows.append({QStringLiteral("Salles"), selection});
    notes.rows.append(
        {QStringLiteral("Date"), platform::Clock::now().toString(QStringLiteral("dd/MM/yyyy HH:mm"))});
    if (!table.note().isEmpty())
        notes.rows.append({QStringLiteral("Note"), table.note()});
    return spreadsheet::TableExport::write(format, {table.titre(), &source, {notes}}, path);
}

QString StatisticsFiles::ecrireGraphique(const StatisticsChartPanel &graphe, const QString &titre,
                                         const QString &path)
{
    platform::FileWriter fichier(path);
    if (!fichier.open())
        return fichier.errorString();
    if (QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0) {
        QPdfWriter pdf(fichier.device());
        pdf.setTitle(titre);
        pdf.setCreator(QStringLiteral("Locavia"));
        // At the screen's resolution, the charts are laid out on the page as they are on screen.
        pdf.setResolution(96);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                      QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        QPainter painter(&pdf);
        graphe.dessiner(painter, QRectF(QPointF(0, 0), QSizeF(pdf.width(), pdf.height())));
        painter.end();
    } else {
        // Laid out as on screen, drawn twice as fine.
        const QSize taille = graphe.size().expandedTo(QSize(640, 400)) * 2;
        QImage image(taille, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        graphe.dessiner(painter, QRectF(QPointF(0, 0), QSizeF(taille)), 2);
        painter.end();
        if (!image.save(fichier.device(), "PNG") && !fichier.failed())
            return QStringLiteral("l'image n'a pas pu être écrite : réessayez, et si cela se reproduit, "
                                  "transmettez le journal de Locavia à votre service informatique.");
    }
    if (!fichier.commit())
        return fichier.errorString();
    return QString();
}

} // namespace statistics
