#include "XlsxTableWriter.h"

#include "FileWriter.h"
#include "TableCell.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <xlsxwriter.h>

namespace spreadsheet
{

namespace
{

// Column widths, in characters of the default font.
constexpr double narrowest = 6;
constexpr double widest = 60;

double columnWidth(qsizetype characters)
{
    return std::clamp(double(characters) + 2, narrowest, widest);
}

QByteArray cellText(const QString &text)
{
    if (text.size() <= XlsxTableWriter::maximumCellText)
        return text.toUtf8();
    qsizetype length = XlsxTableWriter::maximumCellText;
    if (text.at(length - 1).isHighSurrogate())
        --length;
    return text.left(length).toUtf8();
}

// Why a workbook could not be written, for the user; the library's own text goes to the log. A system
// error (errno) names what the disk refused, when the library met one.
TableWriteResult workbookFailure(const QString &path, lxw_error error, int systemError)
{
    QString technical = QString::fromUtf8(lxw_strerror(error));
    if (systemError)
        technical += QStringLiteral(" ; ") + qt_error_string(systemError);
    qWarning().noquote()
        << QStringLiteral(">>>>> Le classeur « %1 » n'a pas pu être écrit : %2").arg(path, technical);
    if (systemError)
        return TableWriteResult::failed(
            platform::FileWriter::reason(systemError, QFileInfo(path).absolutePath()));
    return TableWriteResult::failed(QStringLiteral(
        "le classeur n'a pas pu être écrit : réessayez, et si cela se reproduit, transmettez le "
        "journal de Locavia à votre service informatique."));
}

// The library's working files are unlinked as soon as they are made, and a workbook that fails leaves some
// of them open (libxlsxwriter 1.1): their room on the user's disk would come back only when the program
// ends, a full disk staying full after the user made room. Once the workbook is gone, whatever working file
// is left open in its folder is let go. Its descriptor is pointed at /dev/null rather than closed: the
// library's lost stream still holds the number and is flushed at exit, which must never reach a file
// opened since under the same number.
class WorkingFiles
{
public:
    explicit WorkingFiles(const QString &folder)
        : m_prefix(QFileInfo(folder).canonicalFilePath() + QStringLiteral("/tmp."))
    {
    }
    ~WorkingFiles()
    {
        const QDir open(QStringLiteral("/proc/self/fd"));
        int nothing = -1;
        for (const QString &descriptor : open.entryList(QDir::AllEntries | QDir::System)) {
            const QString file = QFile::symLinkTarget(open.filePath(descriptor));
            if (!file.startsWith(m_prefix) || !file.endsWith(QLatin1String(" (deleted)")))
                continue;
            if (nothing < 0)
                nothing = ::open("/dev/null", O_RDWR | O_CLOEXEC);
            if (nothing >= 0)
                ::dup3(nothing, descriptor.toInt(), O_CLOEXEC);
        }
        if (nothing >= 0)
            ::close(nothing);
    }
    WorkingFiles(const WorkingFiles &) = delete;
    WorkingFiles &operator=(const WorkingFiles &) = delete;

private:
    QString m_prefix;
};

// The workbook being written, freed without a file when the writing stops before its end.
class Workbook
{
public:
    Workbook(const QString &path, const QByteArray &temporaryFolder) : m_folder(temporaryFolder)
    {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        options.tmpdir = m_folder.isEmpty() ? nullptr : m_folder.data();
        options.use_zip64 = LXW_FALSE;
        m_workbook = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    }
    ~Workbook()
    {
        if (m_workbook)
            lxw_workbook_free(m_workbook);
    }
    Workbook(const Workbook &) = delete;
    Workbook &operator=(const Workbook &) = delete;

    lxw_workbook *get() const { return m_workbook; }
    // Writes the file; the workbook is gone afterwards, whatever the outcome.
    lxw_error close()
    {
        lxw_workbook *workbook = std::exchange(m_workbook, nullptr);
        return workbook_close(workbook);
    }

private:
    QByteArray m_folder;
    lxw_workbook *m_workbook = nullptr;
};

struct Formats {
    lxw_format *header = nullptr;
    QList<lxw_format *> numbers; // per column: the numeric format, or none
};

lxw_error writeHeader(lxw_worksheet *sheet, const QStringList &titles, lxw_format *bold,
                      QList<qsizetype> &widths)
{
    for (qsizetype c = 0; c < titles.size(); ++c) {
        const QString &title = titles.at(c);
        if (title.isEmpty())
            continue;
        if (const lxw_error error =
                worksheet_write_string(sheet, 0, lxw_col_t(c), cellText(title).constData(), bold))
            return error;
        // Bold letters are wider, and the autofilter's button takes a place of its own.
        widths[c] = std::max(widths.at(c), title.size() + 3);
    }
    return LXW_NO_ERROR;
}

lxw_error writeAnnex(lxw_workbook *workbook, const TableAnnex &annex, const QString &name, lxw_format *bold)
{
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, name.toUtf8().constData());
    if (!sheet)
        return LXW_ERROR_PARAMETER_VALIDATION;
    qsizetype columns = annex.headers.size();
    for (const QStringList &row : annex.rows)
        columns = std::max(columns, row.size());
    QList<qsizetype> widths(columns, 0);
    if (const lxw_error error = writeHeader(sheet, annex.headers, bold, widths))
        return error;
    for (qsizetype r = 0; r < annex.rows.size() && r < XlsxTableWriter::maximumRows; ++r) {
        const QStringList &row = annex.rows.at(r);
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (row.at(c).isEmpty())
                continue;
            if (const lxw_error error = worksheet_write_string(sheet, lxw_row_t(r + 1), lxw_col_t(c),
                                                               cellText(row.at(c)).constData(), nullptr))
                return error;
            const TableCell cell{TableCell::Type::Text, 0, row.at(c)};
            widths[c] = std::max(widths.at(c), cell.displayWidth({}));
        }
    }
    for (qsizetype c = 0; c < columns; ++c)
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), columnWidth(widths.at(c)), nullptr);
    if (!annex.headers.isEmpty())
        worksheet_freeze_panes(sheet, 1, 0);
    return LXW_NO_ERROR;
}

} // namespace

QString XlsxTableWriter::sheetName(const QString &wanted, const QStringList &taken)
{
    QString name = wanted.simplified();
    for (QChar &c : name) {
        if (QStringLiteral("[]:*?/\\").contains(c))
            c = u'-';
    }
    while (name.startsWith(QLatin1Char('\'')))
        name.remove(0, 1);
    auto trim = [](QString text, qsizetype length) {
        text = text.left(length);
        if (!text.isEmpty() && text.back().isHighSurrogate())
            text.chop(1);
        while (text.endsWith(QLatin1Char('\'')) || text.endsWith(QLatin1Char(' ')))
            text.chop(1);
        return text;
    };
    name = trim(name, 31);
    if (name.isEmpty())
        name = QStringLiteral("Feuille");
    auto isTaken = [&taken](const QString &candidate) {
        return std::any_of(taken.cbegin(), taken.cend(), [&candidate](const QString &other) {
            return other.compare(candidate, Qt::CaseInsensitive) == 0;
        });
    };
    const QString base = name;
    for (int number = 2; isTaken(name); ++number) {
        const QString suffix = QStringLiteral(" (%1)").arg(number);
        name = trim(base, 31 - suffix.size()) + suffix;
    }
    return name;
}

TableWriteResult XlsxTableWriter::write(const TableDocument &document, const QString &path,
                                        const TableProgress &progress)
{
    if (!document.table)
        return TableWriteResult::failed(QStringLiteral("il n'y a pas de tableau à écrire."));
    const TableSource &table = *document.table;
    const QList<TableColumn> &columns = table.columns();
    const qsizetype rows = table.rowCount();
    if (rows > maximumRows)
        return TableWriteResult::failed(
            QStringLiteral("la liste a %1 lignes, une feuille de classeur n'en tient que %2.")
                .arg(rows)
                .arg(maximumRows));
    if (columns.size() > maximumColumns)
        return TableWriteResult::failed(
            QStringLiteral("la liste a %1 colonnes, une feuille de classeur n'en tient que %2.")
                .arg(columns.size())
                .arg(maximumColumns));

    // The library's working files (rows kept on disk until the end, each opened and at once unlinked) go
    // beside the workbook: the library does not check their writes, so they must fill the same disk as the
    // workbook itself, whose writes it does check.
    const WorkingFiles workingFiles(QFileInfo(path).absolutePath());
    errno = 0;
    Workbook workbook(path, QFile::encodeName(QFileInfo(path).absolutePath()));
    if (!workbook.get())
        return workbookFailure(path, LXW_ERROR_CREATING_XLSX_FILE, errno);
    auto failed = [&path](lxw_error error) { return workbookFailure(path, error, 0); };

    const QString mainName = sheetName(document.sheetName);
    lxw_worksheet *sheet = workbook_add_worksheet(workbook.get(), mainName.toUtf8().constData());
    if (!sheet)
        return failed(LXW_ERROR_PARAMETER_VALIDATION);
    Formats formats;
    formats.header = workbook_add_format(workbook.get());
    format_set_bold(formats.header);
    format_set_bottom(formats.header, LXW_BORDER_THIN);
    for (const TableColumn &column : columns) {
        lxw_format *number = nullptr;
        if (column.kind == ColumnKind::Decimal) {
            const int places = std::clamp(column.decimals, 0, 15);
            number = workbook_add_format(workbook.get());
            const QByteArray pattern =
                places > 0 ? QByteArray("0.") + QByteArray(places, '0') : QByteArray("0");
            format_set_num_format(number, pattern.constData());
        }
        formats.numbers.append(number);
    }

    QStringList titles;
    for (const TableColumn &column : columns)
        titles.append(column.title);
    QList<qsizetype> widths(columns.size(), 0);
    if (const lxw_error error = writeHeader(sheet, titles, formats.header, widths))
        return failed(error);

    if (progress && !progress(0, rows))
        return TableWriteResult::cancelled();
    QVariantList values;
    for (qsizetype row = 0; row < rows; ++row) {
        table.readRow(row, values);
        const auto sheetRow = lxw_row_t(row + 1);
        for (qsizetype c = 0; c < columns.size(); ++c) {
            const TableColumn &column = columns.at(c);
            const TableCell cell = TableCell::from(values.value(c), column);
            lxw_error error = LXW_NO_ERROR;
            switch (cell.type) {
            case TableCell::Type::Empty:
                continue;
            case TableCell::Type::Number:
                error =
                    worksheet_write_number(sheet, sheetRow, lxw_col_t(c), cell.number, formats.numbers.at(c));
                break;
            case TableCell::Type::Text:
                error = worksheet_write_string(sheet, sheetRow, lxw_col_t(c), cellText(cell.text).constData(),
                                               nullptr);
                break;
            }
            if (error)
                return failed(error);
            widths[c] = std::max(widths.at(c), cell.displayWidth(column));
        }
        if ((row + 1) % progressStep == 0 && progress && !progress(row + 1, rows))
            return TableWriteResult::cancelled();
    }

    for (qsizetype c = 0; c < columns.size(); ++c)
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), columnWidth(widths.at(c)), nullptr);
    worksheet_freeze_panes(sheet, 1, 0);
    if (!columns.isEmpty())
        worksheet_autofilter(sheet, 0, 0, lxw_row_t(rows), lxw_col_t(columns.size() - 1));

    QStringList taken{mainName};
    for (const TableAnnex &annex : document.annexes) {
        const QString name = sheetName(annex.name, taken);
        taken.append(name);
        if (const lxw_error error = writeAnnex(workbook.get(), annex, name, formats.header))
            return failed(error);
    }

    if (progress && !progress(rows, rows))
        return TableWriteResult::cancelled();
    errno = 0;
    if (const lxw_error error = workbook.close()) {
        // What the disk refused as the workbook was put together; a file error the library saw without a
        // system error is the disk's all the same.
        int systemError = errno;
        const bool fileError = error == LXW_ERROR_ZIP_FILE_OPERATION || error == LXW_ERROR_ZIP_FILE_ADD ||
                               error == LXW_ERROR_ZIP_CLOSE || error == LXW_ERROR_CREATING_TMPFILE ||
                               error == LXW_ERROR_READING_TMPFILE;
        if (!fileError)
            systemError = 0;
        else if (!systemError)
            systemError = EIO;
        return workbookFailure(path, error, systemError);
    }
    return TableWriteResult::written();
}

} // namespace spreadsheet
