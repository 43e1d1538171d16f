#pragma once

#include <QByteArray>
#include <QString>

namespace framework
{

// PostScript for the printers and programs that take no PDF, made from a PDF document by poppler.
class KORPostScript
{
public:
    KORPostScript() = delete;

    // Every page of the PDF, at its own paper size; nothing (and the reason in error) when the PDF cannot be
    // read or converted.
    static QByteArray fromPdf(const QByteArray &pdf, const QString &title, QString *error = nullptr);
};

} // namespace framework
