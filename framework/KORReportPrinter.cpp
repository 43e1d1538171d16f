#include "KORReportPrinter.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace framework
{

namespace
{

// The steps the progress is told in: laying out the parts first, then drawing the pages.
constexpr int progressTotal = 1000;
constexpr int layoutShare = 700;
// Space between a running band and the body of the page, in CSS pixels.
constexpr qreal bandGap = 10;
// The document is laid out at the resolution of the CSS pixel, so that sizes in px and pt keep their
// meaning; the PDF stays vector.
constexpr int resolution = 96;

std::unique_ptr<QTextDocument> layOut(const QString &html, QPaintDevice *device, qreal width,
                                      qreal pageHeight)
{
    auto document = std::make_unique<QTextDocument>();
    document->documentLayout()->setPaintDevice(device);
    QTextOption option = document->defaultTextOption();
    option.setUseDesignMetrics(true);
    // A word wider than its column is broken rather than widening the column past the page.
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document->setDefaultTextOption(option);
    document->setDocumentMargin(0);
    // The page is set before the text: the text is then laid out once, on its page.
    if (pageHeight > 0)
        document->setPageSize(QSizeF(width, pageHeight));
    else
        document->setTextWidth(width);
    document->setHtml(html);
    return document;
}

// The list of a document: among its tables with column headers, the one with the most rows.
QTextTable *listTable(QTextFrame *frame)
{
    QTextTable *best = nullptr;
    const QList<QTextFrame *> children = frame->childFrames();
    for (QTextFrame *child : children) {
        auto *table = qobject_cast<QTextTable *>(child);
        if (table && table->format().headerRowCount() > 0 && (!best || table->rows() > best->rows()))
            best = table;
        QTextTable *inner = listTable(child);
        if (inner && (!best || inner->rows() > best->rows()))
            best = inner;
    }
    return best;
}

// The first of the part's objects that lies on the given page (objects when none does), or -1 when the
// table's rows cannot be told apart by object.
qsizetype firstObjectOnPage(QTextDocument &document, QTextTable &table, qsizetype objects, int page,
                            qreal pageHeight)
{
    const int headerRows = table.format().headerRowCount();
    const qsizetype bodyRows = table.rows() - headerRows;
    if (objects <= 0 || bodyRows < objects || bodyRows % objects != 0)
        return -1;
    const qsizetype rowsPerObject = bodyRows / objects;
    const qreal pageTop = page * pageHeight;
    for (qsizetype object = 0; object < objects; ++object) {
        const int row = int(headerRows + object * rowsPerObject);
        const QTextBlock block = table.cellAt(row, 0).firstCursorPosition().block();
        if (document.documentLayout()->blockBoundingRect(block).top() >= pageTop)
            return object;
    }
    return objects;
}

// Where the rows of the list end on each page of a document. Before a page break QTextDocument stretches the
// last row of the page down to the page's end; the page is drawn down to the rows' own end instead, so that
// a shaded row keeps its height. Pages without rows of the list are drawn whole (infinity).
QList<qreal> rowEnds(QTextDocument &document, QTextTable *table, int pages, qreal pageHeight)
{
    QList<qreal> ends(pages, std::numeric_limits<qreal>::infinity());
    if (!table)
        return ends;
    QAbstractTextDocumentLayout *layout = document.documentLayout();
    int lastPage = -1;
    for (int row = table->format().headerRowCount(); row < table->rows(); ++row) {
        const qreal top =
            layout->blockBoundingRect(table->cellAt(row, 0).firstCursorPosition().block()).top();
        const int page = int(top / pageHeight);
        lastPage = page;
        if (page < 0 || page >= pages)
            continue;
        for (int column = 0; column < table->columns(); ++column) {
            const QTextTableCell cell = table->cellAt(row, column);
            if (cell.row() != row || cell.column() != column)
                continue;
            const qreal bottom = layout->blockBoundingRect(cell.lastCursorPosition().block()).bottom() +
                                 cell.format().toTableCellFormat().bottomPadding();
            qreal &end = ends[page];
            end = std::isinf(end) ? bottom : std::max(end, bottom);
        }
    }
    // The table ends on the page of its last row, where what follows it is drawn too.
    if (lastPage >= 0 && lastPage < pages)
        ends[lastPage] = std::numeric_limits<qreal>::infinity();
    return ends;
}

struct Part {
    std::unique_ptr<QTextDocument> document; // none: laid out again when drawn (an object of its own)
    int pages = 0;                           // the pages of the part that are printed
    QList<qreal> ends;                       // where each page's rows end (see rowEnds)
    qsizetype object = -1;                   // an object laid out alone: its index
};

// Objects laid out alone whose documents are kept from the count of the pages to the drawing; the others
// are laid out again when drawn, so that a print of many sheets holds one document at a time.
constexpr qsizetype documentsKept = 20;

void draw(QPainter &painter, QTextDocument &document, const QPointF &at, const QRectF &clip)
{
    QAbstractTextDocumentLayout::PaintContext context;
    // Black on white whatever the desktop's colours: the page is paper.
    context.palette.setColor(QPalette::Text, Qt::black);
    context.clip = clip;
    painter.save();
    painter.translate(at);
    painter.setClipRect(clip);
    document.documentLayout()->draw(&painter, context);
    painter.restore();
}

} // namespace

KORReportPrinter::Result KORReportPrinter::print(const Source &source, const Page &page, QIODevice *output,
                                                 const Progress &progress)
{
    Result result;
    auto failed = [&result](const QString &reason) {
        result.outcome = Outcome::Failed;
        result.error = reason;
        return result;
    };
    auto cancelled = [&result] {
        result.outcome = Outcome::Cancelled;
        return result;
    };
    auto tell = [&progress](int done) { return !progress || progress(done, progressTotal); };
    if (!output || !output->isWritable())
        return failed(QStringLiteral("Le document PDF ne peut pas être écrit."));
    if (!source.document)
        return failed(QStringLiteral("Le document à imprimer est vide."));

    QPdfWriter writer(output);
    writer.setResolution(resolution);
    writer.setPageSize(QPageSize(page.size));
    writer.setPageOrientation(page.orientation);
    const qreal margin = page.marginMillimetres;
    writer.setPageMargins(QMarginsF(margin, margin, margin, margin), QPageLayout::Millimeter);
    writer.setTitle(source.title);
    writer.setCreator(QStringLiteral("Locavia"));
    const qreal width = writer.width();
    const qreal height = writer.height();

    auto bandHeight = [&](const std::function<QString(int, int)> &piece) -> qreal {
        if (!piece)
            return 0;
        const QString html = piece(1, 1);
        return html.trimmed().isEmpty() ? 0 : layOut(html, &writer, width, 0)->size().height() + bandGap;
    };
    const qreal headerHeight = bandHeight(source.header);
    const qreal footerHeight = bandHeight(source.footer);
    const qreal bodyHeight = height - headerHeight - footerHeight;
    if (bodyHeight < height / 3)
        return failed(
            QStringLiteral("Les bandeaux du modèle d'impression ne laissent pas de place au document."));

    if (!tell(0))
        return cancelled();
    std::vector<Part> parts;
    qsizetype from = 0;
    qsizetype size = objectsPerPart;
    bool opening = true;
    if (source.pagePerObject) {
        // One object at a time; without objects, the document alone.
        const qsizetype documents = std::max<qsizetype>(source.count, 1);
        for (qsizetype index = 0; index < documents; ++index) {
            std::unique_ptr<QTextDocument> document = layOut(
                source.document(index, std::min(index + 1, source.count), index == 0, index + 1 == documents),
                &writer, width, bodyHeight);
            const int pages = document->pageCount();
            if (index >= documentsKept)
                document.reset();
            parts.push_back({std::move(document), pages,
                             QList<qreal>(pages, std::numeric_limits<qreal>::infinity()), index});
            if (!tell(int(layoutShare * (index + 1) / documents)))
                return cancelled();
        }
    }
    while (!source.pagePerObject) {
        const qsizetype to = std::min(source.count, from + size);
        const bool closing = to == source.count;
        std::unique_ptr<QTextDocument> document =
            layOut(source.document(from, to, opening, closing), &writer, width, bodyHeight);
        const int pages = document->pageCount();
        QTextTable *table = listTable(document->rootFrame());
        if (closing) {
            QList<qreal> ends = rowEnds(*document, table, pages, bodyHeight);
            parts.push_back({std::move(document), pages, ends});
            break;
        }
        const qsizetype onLastPage =
            pages < 2 || !table ? -1 : firstObjectOnPage(*document, *table, to - from, pages - 1, bodyHeight);
        if (onLastPage < 0 || (onLastPage == 0 && !opening)) {
            // The part does not reach past one page, or cannot be cut by object: take more at once.
            size *= 2;
            continue;
        }
        // The part's last page is laid out again as the first page of the next part, with the objects
        // that follow.
        QList<qreal> ends = rowEnds(*document, table, pages - 1, bodyHeight);
        parts.push_back({std::move(document), pages - 1, ends});
        from += onLastPage;
        opening = false;
        // The next part is sized for a little more than two pages of what this one held: its last page,
        // laid out again with the part after, then holds few objects.
        size = std::max<qsizetype>(objectsPerPart / 4, 2 * onLastPage / (pages - 1) + 2);
        if (!tell(int(layoutShare * from / std::max<qsizetype>(source.count, 1))))
            return cancelled();
    }

    int total = 0;
    for (const Part &part : parts)
        total += part.pages;
    QPainter painter;
    if (!painter.begin(&writer))
        return failed(QStringLiteral("Le document PDF ne peut pas être écrit."));
    int number = 0;
    for (const Part &part : parts) {
        std::unique_ptr<QTextDocument> again;
        if (!part.document) {
            const qsizetype object = part.object;
            again = layOut(source.document(object, std::min(object + 1, source.count), object == 0,
                                           object + 1 >= std::max<qsizetype>(source.count, 1)),
                           &writer, width, bodyHeight);
        }
        QTextDocument &document = part.document ? *part.document : *again;
        for (int index = 0; index < part.pages; ++index) {
            if (number > 0 && !writer.newPage()) {
                painter.end();
                return failed(QStringLiteral("Le document PDF ne peut pas être écrit."));
            }
            ++number;
            if (headerHeight > 0) {
                const auto band = layOut(source.header(number, total), &writer, width, 0);
                draw(painter, *band, QPointF(0, 0), QRectF(0, 0, width, headerHeight));
            }
            const qreal top = index * bodyHeight;
            const qreal end = std::min(top + bodyHeight, part.ends.value(index, top + bodyHeight));
            draw(painter, document, QPointF(0, headerHeight - top), QRectF(0, top, width, end - top));
            if (footerHeight > 0) {
                const auto band = layOut(source.footer(number, total), &writer, width, 0);
                draw(painter, *band, QPointF(0, height - footerHeight + bandGap),
                     QRectF(0, 0, width, footerHeight));
            }
            if (!tell(layoutShare + (progressTotal - layoutShare) * number / std::max(total, 1))) {
                painter.end();
                return cancelled();
            }
        }
    }
    if (!painter.end())
        return failed(QStringLiteral("Le document PDF ne peut pas être écrit."));
    result.outcome = Outcome::Printed;
    result.pages = total;
    return result;
}

} // namespace framework
