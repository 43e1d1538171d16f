#include "EOCollation.h"

#include <QCollator>
#include <QLocale>
#include <QStringDecoder>
#include <QVarLengthArray>
#include <cstring>

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

int sign(int value)
{
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

// Code point order, which is also the byte order of the texts in UTF-8 (the server's last resort).
int codePointOrder(QStringView a, QStringView b)
{
    return sign(std::strcmp(a.toUtf8().constData(), b.toUtf8().constData()));
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
    Buffer left;
    Buffer right;
    const int result = frenchCollator().compare(decode(a, aBytes, left), decode(b, bBytes, right));
    if (result != 0)
        return sign(result);
    return bytes != 0 ? sign(bytes) : (aBytes < bBytes ? -1 : 1);
}

} // namespace eo
