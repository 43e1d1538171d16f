#include "KORConversions.h"

#include "EOAndQualifier.h"
#include "EODecimal.h"
#include "EONull.h"
#include "EOSortOrdering.h"
#include "EOValues.h"
#include "KORDataBusOC.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSet>
#include <QTextEdit>

#include <cmath>
#include <limits>

namespace framework
{

namespace
{

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The parts of the number at the start of a text, as the platform's scanners read it.
struct ScannedNumber {
    bool negative = false;
    QString integerDigits;
    QString fractionDigits;
    qint64 exponent = 0;
    qsizetype end = 0; // where the number stops in the text
    bool hasDigits() const { return !integerDigits.isEmpty() || !fractionDigits.isEmpty(); }
};

ScannedNumber scanNumber(const QString &text, bool withFraction)
{
    ScannedNumber number;
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-')) {
        number.negative = text.at(i) == u'-';
        ++i;
    }
    while (i < text.size() && isAsciiDigit(text.at(i)))
        number.integerDigits.append(text.at(i++));
    if (withFraction && i < text.size() && text.at(i) == u'.') {
        qsizetype j = i + 1;
        while (j < text.size() && isAsciiDigit(text.at(j)))
            number.fractionDigits.append(text.at(j++));
        // A lone point after no digit is not part of a number.
        if (number.hasDigits())
            i = j;
    }
    if (!number.hasDigits()) {
        number.end = start;
        return number;
    }
    // An exponent counts only when digits follow its letter (and optional sign).
    if (withFraction && i < text.size() && (text.at(i) == u'e' || text.at(i) == u'E')) {
        qsizetype j = i + 1;
        bool negativeExponent = false;
        if (j < text.size() && (text.at(j) == u'+' || text.at(j) == u'-')) {
            negativeExponent = text.at(j) == u'-';
            ++j;
        }
        if (j < text.size() && isAsciiDigit(text.at(j))) {
            qint64 exponent = 0;
            while (j < text.size() && isAsciiDigit(text.at(j))) {
                // Saturate: such exponents are out of range anyway.
                exponent = qMin<qint64>(exponent * 10 + text.at(j).digitValue(), 1'000'000'000);
                ++j;
            }
            number.exponent = negativeExponent ? -exponent : exponent;
            i = j;
        }
    }
    number.end = i;
    return number;
}

// Beyond this power of ten a decimal is taken as out of range (not a number), rather than written out as
// an unbounded run of zeros.
constexpr qint64 maxDecimalExponent = 1000;

// The exact text of a scanned decimal: no leading zeros, no trailing fractional zeros, no "-0".
eo::EODecimal toDecimal(const ScannedNumber &number)
{
    if (!number.hasDigits())
        return {};
    QString digits = number.integerDigits + number.fractionDigits;
    qint64 scale = number.exponent - number.fractionDigits.size(); // value = digits * 10^scale
    qsizetype first = 0;
    while (first < digits.size() && digits.at(first) == u'0')
        ++first;
    digits.remove(0, first);
    if (digits.isEmpty())
        return eo::EODecimal::fromString(QStringLiteral("0"));
    qsizetype last = digits.size();
    while (last > 0 && digits.at(last - 1) == u'0')
        --last;
    scale += digits.size() - last;
    digits.truncate(last);
    if (scale > maxDecimalExponent || scale + digits.size() < -maxDecimalExponent)
        return {};

    QString text;
    if (scale >= 0) {
        text = digits + QString(qsizetype(scale), u'0');
    } else {
        const qint64 point = digits.size() + scale;
        if (point <= 0)
            text = QStringLiteral("0.") + QString(qsizetype(-point), u'0') + digits;
        else
            text = digits.left(point) + u'.' + digits.mid(point);
    }
    if (number.negative)
        text.prepend(u'-');
    return eo::EODecimal::fromString(text);
}

} // namespace

namespace
{

bool isEmptyText(const QString &text)
{
    return text.isEmpty() || text == QLatin1String("<null>") || text == QLatin1String("NaN") ||
           text == QLatin1String("*nil*");
}

} // namespace

bool KORConversions::isEmptyValue(const QVariant &value)
{
    if (!value.isValid() || eo::isEONull(value))
        return true;
    return isEmptyText(textOf(value));
}

QString KORConversions::textOf(const QVariant &value)
{
    if (!value.isValid())
        return {};
    if (eo::isEONull(value))
        return QStringLiteral("<null>");
    if (value.metaType() == QMetaType::fromType<eo::EODecimal>()) {
        const auto decimal = value.value<eo::EODecimal>();
        return decimal.isValid() ? decimal.toString() : QStringLiteral("NaN");
    }
    if (value.metaType().id() == QMetaType::Double || value.metaType().id() == QMetaType::Float) {
        if (std::isnan(value.toDouble()))
            return QStringLiteral("NaN");
    }
    return value.toString();
}

QString KORConversions::recupererChaine(const QVariant &value)
{
    // The text is made once: long lists (exports) read every value through here.
    if (!value.isValid() || eo::isEONull(value))
        return QStringLiteral("");
    QString text = textOf(value);
    return isEmptyText(text) ? QStringLiteral("") : text;
}

QString KORConversions::recupererLong(const QVariant &value)
{
    return isEmptyValue(value) ? QStringLiteral(" ") : textOf(value);
}

QVariant KORConversions::recupererEntier(const QVariant &value)
{
    if (isEmptyValue(value))
        return eo::eoNull();
    return QVariant::fromValue(leadingInteger(textOf(value)));
}

QVariant KORConversions::recupererDecimal(const QVariant &value)
{
    if (isEmptyValue(value))
        return eo::eoNull();
    return QVariant::fromValue(float(leadingFloating(textOf(value))));
}

QVariant KORConversions::recupererDecimalNumber(const QVariant &value)
{
    if (isEmptyValue(value))
        return eo::eoNull();
    if (value.metaType() == QMetaType::fromType<eo::EODecimal>())
        return value;
    return QVariant::fromValue(toDecimal(scanNumber(textOf(value), true)));
}

QVariant KORConversions::recupererDate(const QVariant &value)
{
    if (isEmptyValue(value))
        return eo::eoNull();
    static const QRegularExpression format(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})$"));
    const QRegularExpressionMatch match = format.match(textOf(value));
    if (!match.hasMatch())
        return {};
    const QDate date(match.captured(3).toInt(), match.captured(2).toInt(), match.captured(1).toInt());
    return date.isValid() ? QVariant(date) : QVariant();
}

float KORConversions::recupererValeur(const QVariant &value)
{
    if (isEmptyValue(value))
        return 0.0f;
    return float(leadingFloating(textOf(value)));
}

QString KORConversions::truncateString(const QString &text, quint64 debut, quint64 longueur)
{
    const auto size = quint64(text.size());
    // debut + longueur may not fit in 64 bits: compare without adding.
    if (longueur > size || debut > size - longueur)
        return text;
    qsizetype start = qsizetype(debut);
    qsizetype end = qsizetype(debut + longueur);
    // Keep both halves of a surrogate pair together: a lone half is no character and would reach the
    // database as garbage.
    if (start > 0 && start < text.size() && text.at(start).isLowSurrogate() &&
        text.at(start - 1).isHighSurrogate())
        ++start;
    if (end > start && end < text.size() && text.at(end).isLowSurrogate() &&
        text.at(end - 1).isHighSurrogate())
        --end;
    return text.mid(start, end - start);
}

QColor KORConversions::inactiveCellColor()
{
    return QColor::fromRgbF(60.0f / 255.0f, 170.0f / 255.0f, 1.0f, 1.0f);
}

void KORConversions::initialiserCellule(QWidget *control, bool active, bool vide)
{
    if (!control)
        return;
    QPalette palette = control->palette();
    palette.setColor(QPalette::Base, active ? QColor(Qt::white) : inactiveCellColor());
    control->setPalette(palette);

    if (auto *lineEdit = qobject_cast<QLineEdit *>(control)) {
        lineEdit->setReadOnly(!active);
        lineEdit->setText(vide ? QString() : lineEdit->text());
    } else if (auto *textEdit = qobject_cast<QTextEdit *>(control)) {
        textEdit->setReadOnly(!active);
        textEdit->setPlainText(vide ? QString() : textEdit->toPlainText());
    } else if (auto *plainTextEdit = qobject_cast<QPlainTextEdit *>(control)) {
        plainTextEdit->setReadOnly(!active);
        plainTextEdit->setPlainText(vide ? QString() : plainTextEdit->toPlainText());
    } else if (auto *spinBox = qobject_cast<QAbstractSpinBox *>(control)) {
        spinBox->setReadOnly(!active);
        if (vide)
            spinBox->clear();
    } else if (auto *comboBox = qobject_cast<QComboBox *>(control); comboBox && comboBox->lineEdit()) {
        comboBox->lineEdit()->setReadOnly(!active);
        comboBox->lineEdit()->setPalette(palette);
        comboBox->setEditText(vide ? QString() : comboBox->currentText());
    }
    control->update();
}

KORConversions::PopUpFetch KORConversions::configurerPopUpButton(QComboBox *popUp,
                                                                 data::KORDataBusOC &dataBus,
                                                                 const QString &entite, const QString &cle,
                                                                 const QString &limitation)
{
    PopUpFetch fetch;
    // The attribute's name and the limitation's name are keys, never values: the parser takes a text
    // placeholder before the operator as a key name.
    fetch.qualifier =
        eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("%@ != %@"), {cle, eo::eoNull()});
    if (!limitation.isEmpty()) {
        const eo::EOQualifierPtr flag =
            eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("%@ = 'O'"), {limitation});
        fetch.qualifier =
            std::make_shared<eo::EOAndQualifier>(QList<eo::EOQualifierPtr>{fetch.qualifier, flag});
    }
    fetch.rows = dataBus.fetchEntityName(
        entite, fetch.qualifier,
        {eo::EOSortOrdering(cle, eo::EOSortOrdering::Selector::CompareCaseInsensitiveAscending)});
    if (!popUp)
        return fetch;

    QStringList titles;
    QSet<QString> seen;
    for (const eo::EORecord &row : std::as_const(fetch.rows)) {
        const QString title = eo::EOValues::displayText(row->valueForKeyPath(cle));
        if (!seen.contains(title)) {
            seen.insert(title);
            titles.append(title);
        }
    }
    for (qsizetype i = 0; i < titles.size(); ++i)
        popUp->insertItem(int(i), titles.at(i));
    // The form's placeholder item bears the attribute's name; a value that happens to be spelled like the
    // attribute is a real item and stays.
    for (int i = int(titles.size()); i < popUp->count(); ++i) {
        if (popUp->itemText(i) == cle) {
            popUp->removeItem(i);
            break;
        }
    }
    return fetch;
}

qint64 KORConversions::leadingInteger(const QString &text)
{
    const ScannedNumber number = scanNumber(text, false);
    qint64 result = 0;
    constexpr qint64 max = std::numeric_limits<qint64>::max();
    for (const QChar c : number.integerDigits) {
        const int digit = c.digitValue();
        if (result > (max - digit) / 10) {
            // Too many digits: the nearest value that an integer holds.
            return number.negative ? std::numeric_limits<qint64>::min() : max;
        }
        result = result * 10 + digit;
    }
    return number.negative ? -result : result;
}

double KORConversions::leadingFloating(const QString &text)
{
    const ScannedNumber number = scanNumber(text, true);
    if (!number.hasDigits())
        return 0.0;
    QString normalised = number.negative ? QStringLiteral("-") : QString();
    normalised += number.integerDigits.isEmpty() ? QStringLiteral("0") : number.integerDigits;
    if (!number.fractionDigits.isEmpty())
        normalised += u'.' + number.fractionDigits;
    if (number.exponent != 0)
        normalised += u'e' + QString::number(number.exponent);
    bool ok = false;
    const double value = QLocale::c().toDouble(normalised, &ok);
    if (ok)
        return value;
    // Out of the range of a double: too large gives infinity, too small gives zero, as strtod does.
    auto leadingZeros = [](const QString &digits) {
        qsizetype zeros = 0;
        while (zeros < digits.size() && digits.at(zeros) == u'0')
            ++zeros;
        return zeros;
    };
    const qsizetype significantInteger = number.integerDigits.size() - leadingZeros(number.integerDigits);
    const qsizetype magnitude =
        significantInteger > 0 ? significantInteger : -leadingZeros(number.fractionDigits);
    const bool tooLarge = qint64(magnitude) + number.exponent > 0;
    const double limit = tooLarge ? std::numeric_limits<double>::infinity() : 0.0;
    return number.negative ? -limit : limit;
}

} // namespace framework
