#include "CsvTableWriter.h"

#include "TableCell.h"

#include <algorithm>

namespace spreadsheet
{

namespace
{

constexpr char byteOrderMark[] = "\xEF\xBB\xBF";
// Rows gathered before they are encoded and written.
constexpr qsizetype rowsPerWrite = 1000;

void appendField(QString &line, const QString &text)
{
    const bool quoted = std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return c == u';' || c == u'"' || c == u'\n' || c == u'\r';
    });
    if (!quoted) {
        line += text;
        return;
    }
    line += QLatin1Char('"');
    for (const QChar c : text) {
        if (c == u'"')
            line += QLatin1Char('"');
        line += c;
    }
    line += QLatin1Char('"');
}

} // namespace

QString CsvTableWriter::field(const QString &text)
{
    QString written;
    appendField(written, text);
    return written;
}

TableWriteResult CsvTableWriter::write(const TableSource &table, QIODevice &device,
                                       const TableProgress &progress)
{
    const QList<TableColumn> &columns = table.columns();
    const qsizetype rows = table.rowCount();
    QString buffer;
    auto flush = [&device, &buffer]() {
        const QByteArray bytes = buffer.toUtf8();
        buffer.clear();
        return device.write(bytes) == bytes.size();
    };
    auto failed = [&device]() {
        return TableWriteResult::failed(
            QStringLiteral("l'écriture du fichier a échoué (%1).").arg(device.errorString()));
    };

    if (device.write(byteOrderMark, 3) != 3)
        return failed();
    for (qsizetype c = 0; c < columns.size(); ++c) {
        if (c > 0)
            buffer += QLatin1Char(';');
        appendField(buffer, columns.at(c).title);
    }
    buffer += QLatin1String("\r\n");

    if (progress && !progress(0, rows))
        return TableWriteResult::cancelled();
    QVariantList values;
    for (qsizetype row = 0; row < rows; ++row) {
        table.readRow(row, values);
        for (qsizetype c = 0; c < columns.size(); ++c) {
            if (c > 0)
                buffer += QLatin1Char(';');
            const TableColumn &column = columns.at(c);
            appendField(buffer, TableCell::from(values.value(c), column).frenchText(column));
        }
        buffer += QLatin1String("\r\n");
        if ((row + 1) % rowsPerWrite == 0 && !flush())
            return failed();
        if ((row + 1) % progressStep == 0 && progress && !progress(row + 1, rows))
            return TableWriteResult::cancelled();
    }
    if (!flush())
        return failed();
    if (progress && !progress(rows, rows))
        return TableWriteResult::cancelled();
    return TableWriteResult::written();
}

} // namespace spreadsheet
