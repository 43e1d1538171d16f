#pragma once

#include "EOGenericRecord.h"
#include "EOPrefetch.h"
#include "EOQualifier.h"
#include "EOSortOrdering.h"
#include "KORCheckedEntry.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QVariant>
#include <exception>

class QLineEdit;
class QPlainTextEdit;
class QTextEdit;

namespace eo
{
class EODisplayGroup;
}

namespace data
{
class KORDataBusOC;
}

namespace framework
{

// The helpers every form of the application leans on: emptying and filling lists, the active and read-only
// looks of text controls, checking a numeric entry that may begin with a comparison sign, two-decimal
// display, and the reading of reference parameter rows.
class KORFormHelpers
{
public:
    KORFormHelpers() = delete;

    using Sort = QList<eo::EOSortOrdering>;

    // Empties the list without touching the database.
    static void viderTable(eo::EODisplayGroup *table);
    // Both hand their arguments unchanged to the data bus.
    static void fetchTable(data::KORDataBusOC &dataBus, eo::EODisplayGroup *table, const QString &nomTable,
                           const eo::EOQualifierPtr &qualifier, const Sort &sort, bool selectionnePremier);
    static QList<eo::EORecord> fetchArrayWithNomTable(data::KORDataBusOC &dataBus, const QString &nomTable,
                                                      const eo::EOQualifierPtr &qualifier, const Sort &sort);

    // 0 for an empty value, else the leading integer of the text ("42x" gives 42).
    static qint64 recupererOrdre(const QVariant &text);
    static QString truncateString(const QString &text, quint64 debut, quint64 longueur);
    // The reason of an error, as the user reads it.
    static QString traitementException(const std::exception &exception);

    // Active: Helvetica 12, black on white, editable. Read-only: Helvetica bold 12, white on dark grey,
    // selectable but not editable. clean empties the text; otherwise the text is set again so that it is
    // drawn in the new look.
    static void initialiseTextField(QLineEdit *field, bool actif, bool clean);
    static void initialiseTextView(QTextEdit *view, bool actif, bool clean);
    static void initialiseTextView(QPlainTextEdit *view, bool actif, bool clean);
    static QFont activeFont();
    static QFont readOnlyFont();
    static QColor readOnlyBackground();

    // Checks a numeric entry: every character must be one of caracteresAutorises, except a first character
    // taken from signes when something follows it; without formater (integer fields) a point is refused.
    // The allowed characters are tested before the signs, so a character of both sets is an ordinary one.
    // An empty entry is accepted. The check shows no message: the caller decides what a refusal means.
    static KORCheckedEntry verifierChaine(const QString &chaine, const QString &caracteresAutorises,
                                          bool formater, const QString &signes);
    // A number with exactly two decimals, "0.00" for an empty one. The value is taken in single precision,
    // so beyond about seven significant digits the text is rounded.
    static QString formatter(const QVariant &nombre);
    // A decimal field shows a stored number with formatter(), a null as "0.00" like a stored 0, and
    // remembers which it was: read back untouched, a null is the null marker again, so that saving what
    // was shown changes no stored value. Any change of the text (a 0 typed, the field emptied) ends that.
    static void afficherDecimal(QLineEdit *champ, const QVariant &nombre);
    // The field's decimal for a procedure: the null marker for an empty field or a null shown untouched,
    // else the exact decimal of its text.
    static QVariant recupererDecimalAffiche(const QLineEdit *champ);

    // The rows of SolmaParametres whose paramKey is key (bound as a value, whatever it holds), possibly
    // none. qualifier, when given, receives the condition used, for the application to keep.
    static QList<eo::EORecord> getValues(data::KORDataBusOC &dataBus, const QString &key,
                                         eo::EOQualifierPtr *qualifier = nullptr);
    // The fetch getValues makes, for reading it ahead with others.
    static eo::EOPrefetch::Fetch valuesFetch(const QString &key);
};

} // namespace framework
