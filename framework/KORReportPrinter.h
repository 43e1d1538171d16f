#pragma once

#include <QIODevice>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <functional>

namespace framework
{

// Prints an HTML document to PDF pages: a running header and footer on every page, the document laid out
// by QTextDocument between them. A list table of the document (the table with a <thead>) has its column
// headers repeated at the top of every page and never has a row cut by a page break.
//
// A long list is laid out in parts of a few pages each, the next part starting with the first object of
// the previous part's last page: the time grows with the number of objects only, and the progress can be
// told and the printing cancelled between parts.
class KORReportPrinter
{
public:
    struct Source {
        qsizetype count = 0; // objects in the list
        // The document for the objects [from, to): with what comes before the list when opening, after it
        // when closing.
        std::function<QString(qsizetype from, qsizetype to, bool opening, bool closing)> document;
        // The running header and footer of a page (from 1); none for no band.
        std::function<QString(int page, int pages)> header;
        std::function<QString(int page, int pages)> footer;
        QString title; // the PDF's title
        // Each object begins a page of its own and is laid out alone (a sheet per object): the time grows
        // with the number of objects, and past a few objects they are laid out again when drawn, so that
        // the memory does not.
        bool pagePerObject = false;
    };
    struct Page {
        QPageSize::PageSizeId size = QPageSize::A4;
        QPageLayout::Orientation orientation = QPageLayout::Portrait;
        double marginMillimetres = 12;
    };
    // Told the work done out of total; answering false cancels the printing.
    using Progress = std::function<bool(int done, int total)>;
    enum class Outcome { Printed, Cancelled, Failed };

    struct Result {
        Outcome outcome = Outcome::Failed;
        int pages = 0;
        QString error;
    };

    // Writes the PDF to output.
    static Result print(const Source &source, const Page &page, QIODevice *output,
                        const Progress &progress = {});

    // Objects laid out in the first part; later parts are sized on the objects per page seen so far. Small
    // parts lay out fastest: the time QTextDocument takes for a table grows faster than its rows.
    static constexpr qsizetype objectsPerPart = 40;
};

} // namespace framework
