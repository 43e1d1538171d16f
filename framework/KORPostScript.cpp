#include "KORPostScript.h"

#include <QBuffer>
#include <poppler-qt6.h>

namespace framework
{

QByteArray KORPostScript::fromPdf(const QByteArray &pdf, const QString &title, QString *error)
{
    auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return QByteArray();
    };
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(pdf);
    if (!document || document->isLocked() || document->numPages() == 0)
        return fail(QStringLiteral("Le document PDF ne peut pas être lu."));

    const std::unique_ptr<Poppler::PSConverter> converter = document->psConverter();
    QList<int> pages;
    for (int page = 1; page <= document->numPages(); ++page)
        pages.append(page);
    converter->setPageList(pages);
    // The paper of the first page, in points; poppler centres each page on it.
    const std::unique_ptr<Poppler::Page> first = document->page(0);
    const QSizeF size = first ? first->pageSizeF() : QSizeF(595, 842);
    converter->setPaperWidth(int(size.width() + 0.5));
    converter->setPaperHeight(int(size.height() + 0.5));
    converter->setTitle(title);
    converter->setPSOptions(Poppler::PSConverter::Printing);

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    converter->setOutputDevice(&buffer);
    if (!converter->convert() || buffer.data().isEmpty())
        return fail(QStringLiteral("Le document PostScript ne peut pas être produit."));
    return buffer.data();
}

} // namespace framework
