#include "KORFormHelpers.h"

#include "EODecimal.h"
#include "EODisplayGroup.h"
#include "EOException.h"
#include "EONull.h"
#include "EOValues.h"
#include "KORConversions.h"
#include "KORDataBusOC.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace framework
{

namespace
{

void applyLook(QWidget *control, bool actif)
{
    control->setFont(actif ? KORFormHelpers::activeFont() : KORFormHelpers::readOnlyFont());
    QPalette palette = control->palette();
    palette.setColor(QPalette::Text, actif ? QColor(Qt::black) : QColor(Qt::white));
    palette.setColor(QPalette::Base, actif ? QColor(Qt::white) : KORFormHelpers::readOnlyBackground());
    control->setPalette(palette);
}

template <class View> void initialiseView(View *view, bool actif, bool clean)
{
    if (!view)
        return;
    applyLook(view, actif);
    view->setReadOnly(!actif);
    // These fields hold plain text; setting it again drops formats left from the other look.
    view->setPlainText(clean ? QString() : view->toPlainText());
    view->viewport()->repaint();
}

// The field shows a null (as "0.00"), untouched since; and the field is watched for changes.
const char *const nulAffiche = "korNulAffiche";
const char *const nulSuivi = "korNulSuivi";

} // namespace

void KORFormHelpers::viderTable(eo::EODisplayGroup *table)
{
    if (table)
        table->setObjectArray({});
}

void KORFormHelpers::fetchTable(data::KORDataBusOC &dataBus, eo::EODisplayGroup *table,
                                const QString &nomTable, const eo::EOQualifierPtr &qualifier,
                                const Sort &sort, bool selectionnePremier)
{
    dataBus.fetchTable(table, nomTable, qualifier, sort, selectionnePremier);
}

QList<eo::EORecord> KORFormHelpers::fetchArrayWithNomTable(data::KORDataBusOC &dataBus,
                                                           const QString &nomTable,
                                                           const eo::EOQualifierPtr &qualifier,
                                                           const Sort &sort)
{
    return dataBus.fetchEntityName(nomTable, qualifier, sort);
}

qint64 KORFormHelpers::recupererOrdre(const QVariant &text)
{
    if (KORConversions::isEmptyValue(text))
        return 0;
    return KORConversions::leadingInteger(KORConversions::textOf(text));
}

QString KORFormHelpers::truncateString(const QString &text, quint64 debut, quint64 longueur)
{
    return KORConversions::truncateString(text, debut, longueur);
}

QString KORFormHelpers::traitementException(const std::exception &exception)
{
    if (const auto *eoException = dynamic_cast<const eo::EOException *>(&exception))
        return eoException->message();
    return QString::fromUtf8(exception.what());
}

void KORFormHelpers::initialiseTextField(QLineEdit *field, bool actif, bool clean)
{
    if (!field)
        return;
    applyLook(field, actif);
    field->setReadOnly(!actif);
    field->setText(clean ? QString() : field->text());
}

void KORFormHelpers::initialiseTextView(QTextEdit *view, bool actif, bool clean)
{
    initialiseView(view, actif, clean);
}

void KORFormHelpers::initialiseTextView(QPlainTextEdit *view, bool actif, bool clean)
{
    initialiseView(view, actif, clean);
}

QFont KORFormHelpers::activeFont()
{
    return QFont(QStringLiteral("Helvetica"), 12, QFont::Normal);
}

QFont KORFormHelpers::readOnlyFont()
{
    return QFont(QStringLiteral("Helvetica"), 12, QFont::Bold);
}

QColor KORFormHelpers::readOnlyBackground()
{
    // The platform's dark grey: one third of white.
    return QColor::fromRgbF(1.0f / 3.0f, 1.0f / 3.0f, 1.0f / 3.0f);
}

KORCheckedEntry KORFormHelpers::verifierChaine(const QString &chaine, const QString &caracteresAutorises,
                                               bool formater, const QString &signes)
{
    const KORCheckedEntry refused{KORCheckedEntry::refusalSign(), QVariant::fromValue(qint64(0)), QString()};
    bool signe = false;
    for (qsizetype i = 0; i < chaine.size(); ++i) {
        const QString caractere = chaine.mid(i, 1);
        if (caracteresAutorises.contains(caractere)) {
            if (!formater && caractere == QLatin1String("."))
                return refused;
            continue;
        }
        if (i != 0 || chaine.size() == 1 || !signes.contains(caractere))
            return refused;
        signe = true;
    }

    const QString reste =
        signe ? KORConversions::truncateString(chaine, 1, quint64(chaine.size() - 1)) : chaine;
    const QString signeTexte = signe ? chaine.left(1) : QStringLiteral("=");
    if (formater) {
        const QVariant decimal = KORConversions::recupererDecimalNumber(reste);
        const QString texte = (signe ? signeTexte : QString()) + formatter(decimal);
        return {signeTexte, decimal, texte};
    }
    return {signeTexte, QVariant::fromValue(KORConversions::leadingInteger(reste)), chaine};
}

QString KORFormHelpers::formatter(const QVariant &nombre)
{
    if (KORConversions::recupererChaine(nombre).isEmpty())
        return QStringLiteral("0.00");
    // Exact decimals and texts are read from their digits, so that a value beyond a double's range reads
    // as infinity rather than as nothing.
    double value = 0.0;
    if (nombre.metaType() == QMetaType::fromType<eo::EODecimal>() || !eo::EOValues::isNumeric(nombre))
        value = KORConversions::leadingFloating(KORConversions::textOf(nombre));
    else
        eo::EOValues::toNumber(nombre, &value);
    // Single precision on purpose: the lists and exports have always shown these figures that way.
    const float single = float(value);
    return QString::asprintf("%.2f", double(single));
}

void KORFormHelpers::afficherDecimal(QLineEdit *champ, const QVariant &nombre)
{
    const QString texte = formatter(nombre);
    // Moving from room to room mostly keeps a field's text: set again, it would be laid out for nothing.
    if (champ->text() != texte)
        champ->setText(texte);
    const bool nul = KORConversions::recupererChaine(nombre).isEmpty();
    if (nul && !champ->property(nulSuivi).toBool()) {
        champ->setProperty(nulSuivi, true);
        QObject::connect(champ, &QLineEdit::textChanged, champ,
                         [champ] { champ->setProperty(nulAffiche, false); });
    }
    champ->setProperty(nulAffiche, nul);
}

QVariant KORFormHelpers::recupererDecimalAffiche(const QLineEdit *champ)
{
    if (champ->property(nulAffiche).toBool())
        return eo::eoNull();
    return KORConversions::recupererDecimalNumber(champ->text());
}

eo::EOPrefetch::Fetch KORFormHelpers::valuesFetch(const QString &key)
{
    return data::KORDataBusOC::declaredFetch(
        QStringLiteral("SolmaParametres"),
        eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("paramKey = %@"), {key}));
}

QList<eo::EORecord> KORFormHelpers::getValues(data::KORDataBusOC &dataBus, const QString &key,
                                              eo::EOQualifierPtr *qualifier)
{
    const eo::EOPrefetch::Fetch fetch = valuesFetch(key);
    if (qualifier)
        *qualifier = fetch.request.qualifier;
    return fetchArrayWithNomTable(dataBus, fetch.request.entityName, fetch.request.qualifier, {});
}

} // namespace framework
