#include "TableExport.h"

#include "CsvTableWriter.h"
#include "FileWriter.h"
#include "XlsxTableWriter.h"

namespace spreadsheet
{

QString TableExport::extension(TableFormat format)
{
    return format == TableFormat::Xlsx ? QStringLiteral("xlsx") : QStringLiteral("csv");
}

TableWriteResult TableExport::write(TableFormat format, const TableDocument &document, const QString &path,
                                    const TableProgress &progress)
{
    if (!document.table)
        return TableWriteResult::failed(QStringLiteral("il n'y a pas de tableau à écrire."));
    platform::FileWriter file(path);
    if (!file.open())
        return TableWriteResult::failed(file.errorString());

    TableWriteResult result;
    if (format == TableFormat::Csv)
        result = CsvTableWriter::write(*document.table, *file.device(), progress);
    else
        result = XlsxTableWriter::write(document, file.temporaryPath(), progress);
    // A disk that refused a write says more than the writer that met it.
    if (result.outcome == TableWriteResult::Outcome::Failed && file.failed())
        return TableWriteResult::failed(file.errorString());
    if (!result.succeeded())
        return result; // the temporary file goes with the writer
    if (!file.commit())
        return TableWriteResult::failed(file.errorString());
    return TableWriteResult::written();
}

} // namespace spreadsheet
