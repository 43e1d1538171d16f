// Feeds arbitrary entries, character sets and sign sets to the check of numeric entries, and stops at the
// first result that breaks what the forms rely on: a refusal is always ("-1", 0, ""), an accepted entry
// carries "=" or its own first character as sign, an integer field shows the entry as typed, and a
// decimal field shows the sign followed by the two-decimal text of the value.

#include "EODecimal.h"
#include "EONull.h"
#include "KORCheckedEntry.h"
#include "KORFormHelpers.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace
{

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

// Input: one byte of flags (bit 0: formatting), then the entry, the allowed characters and the signs,
// separated by NUL bytes. Missing parts are the usual sets of the room forms.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool formater = (data[0] & 1) != 0;
    const QList<QByteArray> parts =
        QByteArray(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1)).split('\0');
    const QString entry = QString::fromUtf8(parts.value(0));
    const QString allowed = parts.size() > 1 ? QString::fromUtf8(parts.at(1)) : QStringLiteral("0123456789.");
    const QString signs = parts.size() > 2 ? QString::fromUtf8(parts.at(2)) : QStringLiteral("<>");

    const framework::KORCheckedEntry checked =
        framework::KORFormHelpers::verifierChaine(entry, allowed, formater, signs);
    check(checked.toList().size() == 3);

    if (checked.isRefused()) {
        check(checked.valeur.metaType() == QMetaType::fromType<qint64>() &&
              checked.valeur.value<qint64>() == 0);
        check(checked.texte.isEmpty());
        return 0;
    }
    // "=" is both the mark of an entry without sign and a sign a caller may offer.
    const bool mayBeUnsigned = checked.signe == QLatin1String("=");
    if (!mayBeUnsigned)
        check(checked.signe.size() == 1 && entry.startsWith(checked.signe) && signs.contains(checked.signe) &&
              entry.size() > 1);
    if (!formater) {
        check(checked.valeur.metaType() == QMetaType::fromType<qint64>());
        check(checked.texte == entry);
        check(!entry.contains(u'.') || !allowed.contains(u'.'));
        return 0;
    }
    check(eo::isEONull(checked.valeur) || checked.valeur.metaType() == QMetaType::fromType<eo::EODecimal>());
    const QString shown = framework::KORFormHelpers::formatter(checked.valeur);
    check(checked.texte == checked.signe + shown || (mayBeUnsigned && checked.texte == shown));
    // Two decimals after a point, whatever the value ("inf" only for values beyond single precision).
    const qsizetype point = shown.indexOf(u'.');
    check((point >= 0 && shown.size() - point == 3) || shown.endsWith(QLatin1String("inf")));
    return 0;
}
