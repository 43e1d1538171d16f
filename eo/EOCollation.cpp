#include "EOCollation.h"

#include <QCollator>
#include <QLocale>
#include <QStringDecoder>
#include <QVarLengthArray>
#include <cstring>
#include <memory>
#include <optional>
#include <unicode/ucol.h>

namespace eo
{

namespace
{

const QCollator &frenchCollator()
{
    // Case-sensitive (ICU's tertiary strength): case is the last difference looked at, never the first.
    thread_local const QCollator collator = [] {
        QCollator c{QLocale(QLocale::French, QLocale::France)};
        c.setCaseSensitivity(Qt::CaseSensitive);
        c.setNumericMode(false);
        c.setIgnorePunctuation(false);
        return c;
    }();
    return collator;
}

struct CollatorCloser {
    void operator()(UCollator *collator) const { ucol_close(collator); }
};

// ICU's French collation at its first level: letters only, their accents and case aside. QCollator offers
// no such strength, hence ICU itself. Null when ICU has no collation at all (then texts tie at this level
// and the full order decides).
UCollator *lettersCollator()
{
    thread_local const std::unique_ptr<UCollator, CollatorCloser> collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        UCollator *c = ucol_open("fr_FR", &status);
        if (U_FAILURE(status))
            return std::unique_ptr<UCollator, CollatorCloser>();
        ucol_setStrength(c, UCOL_PRIMARY);
        // As QCollator asks of ICU for the full order: texts are normalised before comparing.
        ucol_setAttribute(c, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
        return std::unique_ptr<UCollator, CollatorCloser>(c);
    }();
    return collator.get();
}

int fromICU(UCollationResult result)
{
    return result == UCOL_LESS ? -1 : (result == UCOL_GREATER ? 1 : 0);
}

int sign(int value)
{
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

// Code point order, which is also the byte order of the texts in UTF-8 (the server's last resort).
int codePointOrder(QStringView a, QStringView b)
{
    return sign(std::strcmp(a.toUtf8().constData(), b.toUtf8().constData()));
}

// The primary weight of a letter or digit in ICU's order (digits before letters, a letter whatever its case),
// -1 for any other character.
int primary(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'z')
        return 10 + (c - u'a');
    if (c >= u'A' && c <= u'Z')
        return 10 + (c - u'A');
    return -1;
}

// Texts of ASCII letters and digits only, the doors and floors a large list compares most of the time: their
// French order is known without asking ICU. The first letter or digit that differs decides, case aside; a
// text that is the start of the other comes first; else, when case counts, the first difference of case,
// lower case first. Anything else (an accent, a space, a sign) is left to ICU.
template <class Char>
std::optional<int> lettersAndDigits(const Char *a, qsizetype aSize, const Char *b, qsizetype bSize,
                                    bool withCase = true)
{
    const qsizetype common = aSize < bSize ? aSize : bSize;
    int casse = 0;
    for (qsizetype i = 0; i < common; ++i) {
        const auto ca = static_cast<char16_t>(a[i]);
        const auto cb = static_cast<char16_t>(b[i]);
        const int pa = primary(ca);
        const int pb = primary(cb);
        if (pa < 0 || pb < 0)
            return std::nullopt;
        if (pa != pb)
            return pa < pb ? -1 : 1;
        if (casse == 0 && ca != cb)
            casse = ca > cb ? -1 : 1; // a lower-case letter has the greater code
    }
    if (aSize != bSize) {
        // The rest must weigh something at the first level: a combining accent there would not.
        const Char *reste = aSize > bSize ? a : b;
        for (qsizetype i = common; i < (aSize > bSize ? aSize : bSize); ++i) {
            if (primary(static_cast<char16_t>(reste[i])) < 0)
                return std::nullopt;
        }
        return aSize < bSize ? -1 : 1;
    }
    return withCase ? casse : 0;
}

using Buffer = QVarLengthArray<QChar, 128>;

QStringView decode(const char *utf8, int bytes, Buffer &buffer)
{
    buffer.resize(bytes); // never more UTF-16 units than UTF-8 bytes
    bool ascii = true;
    for (int i = 0; i < bytes && ascii; ++i)
        ascii = static_cast<unsigned char>(utf8[i]) < 0x80;
    if (ascii) {
        for (int i = 0; i < bytes; ++i)
            buffer[i] = QChar(static_cast<char16_t>(utf8[i]));
        return QStringView(buffer.constData(), bytes);
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QChar *end = decoder.appendToBuffer(buffer.data(), QByteArrayView(utf8, bytes));
    return QStringView(buffer.constData(), end - buffer.constData());
}

} // namespace

int EOCollation::compare(QStringView a, QStringView b)
{
    if (a == b)
        return 0;
    if (const std::optional<int> connu = lettersAndDigits(a.utf16(), a.size(), b.utf16(), b.size()))
        return *connu;
    const int result = frenchCollator().compare(a, b);
    return result != 0 ? sign(result) : codePointOrder(a, b);
}

int EOCollation::compareUtf8(const char *a, int aBytes, const char *b, int bBytes)
{
    // Rows of one building share its name: equal texts are the most frequent comparison of a sort.
    const int common = aBytes < bBytes ? aBytes : bBytes;
    const int bytes = common > 0 ? std::memcmp(a, b, size_t(common)) : 0;
    if (bytes == 0 && aBytes == bBytes)
        return 0;
    const auto *octetsA = reinterpret_cast<const unsigned char *>(a);
    const auto *octetsB = reinterpret_cast<const unsigned char *>(b);
    if (const std::optional<int> connu = lettersAndDigits(octetsA, aBytes, octetsB, bBytes))
        return *connu;
    Buffer left;
    Buffer right;
    const int result = frenchCollator().compare(decode(a, aBytes, left), decode(b, bBytes, right));
    if (result != 0)
        return sign(result);
    return bytes != 0 ? sign(bytes) : (aBytes < bBytes ? -1 : 1);
}

int EOCollation::compareLetters(QStringView a, QStringView b)
{
    if (a == b)
        return 0;
    if (const std::optional<int> connu = lettersAndDigits(a.utf16(), a.size(), b.utf16(), b.size(), false))
        return *connu;
    UCollator *collator = lettersCollator();
    if (!collator)
        return 0;
    return fromICU(ucol_strcoll(collator, reinterpret_cast<const UChar *>(a.utf16()), int32_t(a.size()),
                                reinterpret_cast<const UChar *>(b.utf16()), int32_t(b.size())));
}

int EOCollation::compareLettersUtf8(const char *a, int aBytes, const char *b, int bBytes)
{
    if (aBytes == bBytes && (aBytes == 0 || std::memcmp(a, b, size_t(aBytes)) == 0))
        return 0;
    const auto *octetsA = reinterpret_cast<const unsigned char *>(a);
    const auto *octetsB = reinterpret_cast<const unsigned char *>(b);
    if (const std::optional<int> connu = lettersAndDigits(octetsA, aBytes, octetsB, bBytes, false))
        return *connu;
    UCollator *collator = lettersCollator();
    if (!collator)
        return 0;
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult result = ucol_strcollUTF8(collator, a, aBytes, b, bBytes, &status);
    return U_FAILURE(status) ? 0 : fromICU(result);
}

} // namespace eo
