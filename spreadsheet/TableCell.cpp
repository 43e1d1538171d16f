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

// A number with a fixed number of places and a decimal comma, rounded as a reader rounds the decimal he
// sees, half away from zero: 2.675 gives 2,68, although the nearest double lies just below 2.675. The
// nudge is far below what a double holds of the decimal it was read from, and far above its error.
QString withPlaces(double number, int places)
{
    static constexpr qint64 scales[] = {1,
                                        10,
                                        100,
                                        1000,
                                        10000,
                                        100000,
                                        1000000,
                                        10000000,
                                        100000000,
                                        1000000000,
                                        10000000000,
                                        100000000000,
                                        1000000000000,
                                        10000000000000,
                                        100000000000000,
                                        1000000000000000};
    const qint64 scale = scales[places];
    const double scaled = std::fabs(number) * double(scale) * (1 + 1e-13);
    if (!(scaled < 9e15))
        return QString::number(number, 'f', places).replace(QLatin1Char('.'), QLatin1Char(','));
    const auto units = qint64(std::round(scaled));
    QString text;
    text.reserve(24);
    if (number < 0 && units != 0)
        text += QLatin1Char('-');
    text += QString::number(units / scale);
    if (places > 0) {
        const QString fraction = QString::number(units % scale);
        text += QLatin1Char(',');
        text += QString(places - fraction.size(), QLatin1Char('0'));
        text += fraction;
    }
    return text;
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
    if (column.kind == ColumnKind::Decimal)
        return withPlaces(number, std::clamp(column.decimals, 0, 15));
    if (number == std::trunc(number) && std::fabs(number) < 1e15)
        return QString::number(qint64(number));
    return QString::number(number, 'f', QLocale::FloatingPointShortest)
        .replace(QLatin1Char('.'), QLatin1Char(','));
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
