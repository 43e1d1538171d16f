#include "KORReport.h"

#include "KORPostScript.h"
#include "KORReportTemplate.h"

#include <QBuffer>
#include <QRegularExpression>

namespace framework
{

namespace
{

// The title of an HTML document, for the properties of the PDF.
QString titleOf(const QString &html)
{
    static const QRegularExpression title(QStringLiteral("<title>(.*?)</title>"),
                                          QRegularExpression::CaseInsensitiveOption |
                                              QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = title.match(html);
    if (!match.hasMatch())
        return {};
    QString text = match.captured(1).trimmed();
    text.replace(QLatin1String("&lt;"), QLatin1String("<"))
        .replace(QLatin1String("&gt;"), QLatin1String(">"))
        .replace(QLatin1String("&quot;"), QLatin1String("\""))
        .replace(QLatin1String("&#39;"), QLatin1String("'"))
        .replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text;
}

} // namespace

KORReport::Result KORReport::PDFReportWithTemplateNameOrPath(const QString &nameOrPath,
                                                             const QVariantList &objects,
                                                             const QVariantMap &userInfo,
                                                             const Progress &progress)
{
    Result result;
    std::optional<KORReportTemplate> model = KORReportTemplate::load(nameOrPath, &result.error);
    if (!model)
        return result;
    model->setValues(objects, userInfo);

    KORReportPrinter::Source source;
    source.count = model->objectCount();
    source.document = [&model](qsizetype from, qsizetype to, bool opening, bool closing) {
        return model->document(from, to, opening, closing);
    };
    source.header = [&model](int page, int pages) { return model->header(page, pages); };
    source.footer = [&model](int page, int pages) { return model->footer(page, pages); };
    source.title = titleOf(model->document(0, 0, true, false));
    source.pagePerObject = model->page().pagePerObject;
    result.title = source.title;
    const KORReportTemplate::PageSettings &settings = model->page();
    const KORReportPrinter::Page page{settings.size, settings.orientation, settings.marginMillimetres};

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const KORReportPrinter::Result printed = KORReportPrinter::print(source, page, &buffer, progress);
    switch (printed.outcome) {
    case KORReportPrinter::Outcome::Printed:
        result.data = buffer.data();
        result.pages = printed.pages;
        break;
    case KORReportPrinter::Outcome::Cancelled:
        result.cancelled = true;
        break;
    case KORReportPrinter::Outcome::Failed:
        result.error = printed.error;
        break;
    }
    return result;
}

KORReport::Result KORReport::PSReportWithTemplateNameOrPath(const QString &nameOrPath,
                                                            const QVariantList &objects,
                                                            const QVariantMap &userInfo,
                                                            const Progress &progress)
{
    Result result = PDFReportWithTemplateNameOrPath(nameOrPath, objects, userInfo, progress);
    if (!result.succeeded())
        return result;
    QString error;
    const QByteArray postScript = KORPostScript::fromPdf(result.data, result.title, &error);
    result.data = postScript;
    result.error = error;
    return result;
}

} // namespace framework
