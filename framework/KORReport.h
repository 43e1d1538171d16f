#pragma once

#include "KORReportPrinter.h"

#include <QByteArray>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

namespace framework
{

// The reports of the application: a report template (KORReportTemplate) filled with objects and extra
// values, printed to a PDF document, or to PostScript made from that PDF.
class KORReport
{
public:
    using Progress = KORReportPrinter::Progress;

    struct Result {
        QByteArray data;
        int pages = 0;
        QString title; // the document's title
        bool cancelled = false;
        QString error; // why there is no document ("" when printed or cancelled)

        bool succeeded() const { return !cancelled && error.isEmpty(); }
    };

    KORReport() = delete;

    // The template is found by name in the resources' reports folder, or given by its folder's path.
    static Result PDFReportWithTemplateNameOrPath(const QString &nameOrPath, const QVariantList &objects,
                                                  const QVariantMap &userInfo, const Progress &progress = {});
    static Result PSReportWithTemplateNameOrPath(const QString &nameOrPath, const QVariantList &objects,
                                                 const QVariantMap &userInfo, const Progress &progress = {});
};

} // namespace framework
