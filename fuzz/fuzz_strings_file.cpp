// Feeds arbitrary bytes to the reader of configuration files. Beyond the sanitizers it checks that a refused
// text names a line of the text, and that what is read back from a rewrite of the entries is the same.

#include "StringsFileParser.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdlib>

namespace
{

QString quoted(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\')
            out += u'\\';
        out += c;
    }
    return out + u'"';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using platform::StringsFileParser;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = StringsFileParser::decode(bytes);

    platform::StringsFileError error;
    const auto parsed = StringsFileParser::parse(text, &error);
    if (!parsed) {
        if (error.line < 1 || error.line > text.count(u'\n') + 1 || error.message.isEmpty())
            std::abort();
        return 0;
    }

    QString rewritten;
    for (auto it = parsed->constBegin(); it != parsed->constEnd(); ++it)
        rewritten += quoted(it.key()) + QStringLiteral(" = ") + quoted(it.value()) + QStringLiteral(";\n");
    const auto again = StringsFileParser::parse(rewritten);
    if (!again || *again != *parsed)
        std::abort();
    return 0;
}
