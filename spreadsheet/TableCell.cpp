#include "TableCell.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace spreadsheet
{

namespace
{

bool isNumericType(int type)
{
    switch (type) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

TableCell numberCell(double number)
{
    if (!std::isfinite(number))
        return {};
    return {TableCell::Type::Number, number, {}};
}

TableCell textCell(const QString &text)
{
    if (text.isEmpty())
        return {};
    return {TableCell::Type::Text, 0, text};
}

// Rounded to the places as a reader rounds the decimal he sees, half away from zero: 2.675 gives 2.68,
// although the nearest double lies just below 2.675. Fifteen significant digits are what a double holds
// of the decimal it was read from.
double rounded(double number, int places)
{
    const double scale = std::pow(10.0, places);
    const double scaled = QString::number(number * scale, 'g', 15).toDouble();
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 1e15)
        return number;
    return std::round(scaled) / scale;
}

} // namespace

bool TableCell::parseNumber(const QString &text, double *number)
{
    const QString trimmed = text.trimmed();
    qsizetype i = 0;
    if (i < trimmed.size() && (trimmed.at(i) == u'-' || trimmed.at(i) == u'+'))
        ++i;
    qsizetype digits = 0;
    bool separator = false;
    for (; i < trimmed.size(); ++i) {
        const QChar c = trimmed.at(i);
        if (c >= u'0' && c <= u'9') {
            ++digits;
        } else if ((c == u'.' || c == u',') && !separator) {
            separator = true;
        } else {
            return false;
        }
    }
    if (digits == 0)
        return false;
    QString plain = trimmed;
    plain.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = plain.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return false;
    *number = value;
    return true;
}

TableCell TableCell::from(const QVariant &value, const TableColumn &column)
{
    if (!value.isValid() || value.isNull())
        return {};
    const int type = value.typeId();
    if (type == QMetaType::Bool)
        return textCell(value.toBool() ? QStringLiteral("Oui") : QStringLiteral("Non"));
    const bool numeric = column.kind != ColumnKind::Text;
    if (isNumericType(type)) {
        if (numeric)
            return numberCell(value.toDouble());
        if (type == QMetaType::Double || type == QMetaType::Float) {
            const double number = value.toDouble();
            return std::isfinite(number) ? textCell(QString::number(number, 'g', 15)) : TableCell();
        }
        return textCell(value.toString());
    }
    const QString text = value.toString();
    double number = 0;
    if (numeric && parseNumber(text, &number))
        return numberCell(number);
    return textCell(text);
}

QString TableCell::frenchText(const TableColumn &column) const
{
    switch (type) {
    case Type::Empty:
        return {};
    case Type::Text:
        return text;
    case Type::Number:
        break;
    }
    QString written;
    if (column.kind == ColumnKind::Decimal) {
        const int places = std::clamp(column.decimals, 0, 15);
        written = QString::number(rounded(number, places), 'f', places);
    } else if (number == std::trunc(number) && std::fabs(number) < 1e15) {
        written = QString::number(qint64(number));
    } else {
        written = QString::number(number, 'f', QLocale::FloatingPointShortest);
    }
    // A negative number that rounds to nothing is written as nothing negative.
    if (written.startsWith(QLatin1Char('-')) &&
        std::none_of(written.cbegin(), written.cend(), [](QChar c) { return c >= u'1' && c <= u'9'; }))
        written.remove(0, 1);
    return written.replace(QLatin1Char('.'), QLatin1Char(','));
}

qsizetype TableCell::displayWidth(const TableColumn &column) const
{
    if (type != Type::Text)
        return frenchText(column).size();
    qsizetype widest = 0;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        widest = std::max(widest, (end < 0 ? text.size() : end) - start);
        if (end < 0)
            return widest;
        start = end + 1;
    }
}

} // namespace spreadsheet
