#pragma once

#include "EOGenericRecord.h"
#include "EOQualifier.h"

#include <QColor>
#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

class QComboBox;
class QWidget;

namespace data
{
class KORDataBusOC;
}

namespace framework
{

// The conversions from what the user typed to what procedures and qualifiers take, all sharing one notion
// of an empty value: none (an invalid QVariant), the null marker, and the texts "", "<null>", "NaN" and
// "*nil*", compared exactly (" " is not empty).
//
// Numbers are read as the old platform read them: leading blanks skipped, an optional sign and digits (for
// floating and decimal values also a point and an exponent), reading stops at the first other character,
// and a text without digits reads as 0. Decimal numbers are kept as exact text (eo::EODecimal) so that they
// reach NUMERIC columns without passing through binary floating point.
class KORConversions
{
public:
    KORConversions() = delete;

    static bool isEmptyValue(const QVariant &value);
    // The text form of a value: texts as they are, exact decimals as their digits ("NaN" for a decimal that
    // is not a number), numbers as written by Qt.
    static QString textOf(const QVariant &value);

    // "" for an empty value, else the value's text.
    static QString recupererChaine(const QVariant &value);
    // " " (one blank) for an empty value, else the value's text.
    static QString recupererLong(const QVariant &value);
    // The null marker for an empty value, else the leading integer of the text as a qint64 (0 when the text
    // starts with no digit; clamped to the qint64 range).
    static QVariant recupererEntier(const QVariant &value);
    // The null marker for an empty value, else the leading floating value as a float.
    static QVariant recupererDecimal(const QVariant &value);
    // The null marker for an empty value, else an exact eo::EODecimal read from the start of the text; a
    // text that does not start with a number gives the invalid decimal, the not-a-number value.
    static QVariant recupererDecimalNumber(const QVariant &value);
    // The null marker for an empty value, a QDate for a text "day/month/four-digit year", else none.
    static QVariant recupererDate(const QVariant &value);
    // 0 for an empty value, else the leading floating value.
    static float recupererValeur(const QVariant &value);

    // The part of text starting at debut with longueur characters, or text unchanged when it has fewer than
    // debut + longueur characters. A cut never leaves half of a character outside the basic plane.
    static QString truncateString(const QString &text, quint64 debut, quint64 longueur);

    // Editable with a white background when active; read-only on light blue otherwise. vide empties the
    // text; otherwise the current text is set again so that it is drawn in the new look. Line edits,
    // text edits, plain text edits, spin boxes and editable combo boxes are understood.
    static void initialiserCellule(QWidget *control, bool active, bool vide);
    static QColor inactiveCellColor();

    // What configurerPopUpButton fetched, for the application to keep as its last lookup.
    struct PopUpFetch {
        eo::EOQualifierPtr qualifier;
        QList<eo::EORecord> rows;
    };
    // Puts the distinct non-null values of cle in the rows of entite (only the rows whose limitation flag is
    // 'O' when limitation is not ""), sorted without regard to case, ahead of the pop-up's own items, then
    // removes the pop-up's own item titled with the attribute's name (the placeholder of the form).
    static PopUpFetch configurerPopUpButton(QComboBox *popUp, data::KORDataBusOC &dataBus,
                                            const QString &entite, const QString &cle,
                                            const QString &limitation);

    // Number reading shared with the form helpers.
    static qint64 leadingInteger(const QString &text);
    static double leadingFloating(const QString &text);
};

} // namespace framework
