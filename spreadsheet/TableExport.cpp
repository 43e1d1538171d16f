#include "TableExport.h"

#include "CsvTableWriter.h"
#include "XlsxTableWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>

namespace spreadsheet
{

namespace
{

// The permissions of the file put in place: those of the file it replaces, else what a new file gets.
QFileDevice::Permissions permissionsFor(const QFileInfo &target)
{
    if (target.exists())
        return QFile::permissions(target.absoluteFilePath());
    return QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser |
           QFileDevice::ReadGroup | QFileDevice::ReadOther;
}

} // namespace

QString TableExport::extension(TableFormat format)
{
    return format == TableFormat::Xlsx ? QStringLiteral("xlsx") : QStringLiteral("csv");
}

TableWriteResult TableExport::write(TableFormat format, const TableDocument &document, const QString &path,
                                    const TableProgress &progress)
{
    if (!document.table)
        return TableWriteResult::failed(QStringLiteral("il n'y a pas de tableau à écrire."));
    const QFileInfo target(path);
    const QString folder = target.absolutePath();
    if (target.fileName().isEmpty())
        return TableWriteResult::failed(QStringLiteral("aucun nom de fichier n'a été donné."));
    if (!QFileInfo(folder).isDir())
        return TableWriteResult::failed(
            QStringLiteral("le dossier « %1 » n'existe pas.").arg(QDir::toNativeSeparators(folder)));
    if (target.isDir())
        return TableWriteResult::failed(QStringLiteral("« %1 » est un dossier.").arg(target.fileName()));

    // Hidden beside the chosen file, so that the rename stays within one file system; its name within
    // what a file system allows, however long the chosen one.
    QTemporaryFile temporary(
        QDir(folder).filePath(QStringLiteral(".%1.XXXXXX").arg(target.fileName().left(120))));
    if (!temporary.open())
        return TableWriteResult::failed(
            QStringLiteral("le dossier « %1 » n'accepte pas de nouveau fichier (%2).")
                .arg(QDir::toNativeSeparators(folder), temporary.errorString()));

    TableWriteResult result;
    if (format == TableFormat::Csv) {
        result = CsvTableWriter::write(*document.table, temporary, progress);
        if (result.succeeded() && !temporary.flush())
            result = TableWriteResult::failed(
                QStringLiteral("l'écriture du fichier a échoué (%1).").arg(temporary.errorString()));
        temporary.close();
    } else {
        // The workbook is written by the library under the temporary file's name.
        temporary.close();
        result = XlsxTableWriter::write(document, temporary.fileName(), progress);
    }
    if (!result.succeeded())
        return result; // the temporary file goes with its object

    temporary.setPermissions(permissionsFor(target));
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(temporary.fileName()).toStdString(),
                            QFile::encodeName(target.absoluteFilePath()).toStdString(), error);
    if (error)
        return TableWriteResult::failed(
            QStringLiteral("le fichier « %1 » ne peut pas être mis en place (%2).")
                .arg(target.fileName(), QString::fromLocal8Bit(error.message())));
    temporary.setAutoRemove(false);
    return TableWriteResult::written();
}

} // namespace spreadsheet
