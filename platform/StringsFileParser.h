#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringView>
#include <optional>

namespace platform
{

// Where a strings file stops making sense: the line (from 1) and a French message without the line.
struct StringsFileError {
    int line = 0;
    QString message;
};

// Reads the strings-file format of the configuration files: entries `"key" = "value";` (or `"key";`, whose
// value is the key itself), keys and values quoted with " or ', or unquoted when made of letters, digits and
// _ $ / : . -; C escapes in quoted text (\n \t \" \\ \101 \U00E9 ...); comments /* ... */ and // ... to the
// end of the line. A key given twice keeps its last value.
class StringsFileParser
{
public:
    using Dictionary = QMap<QString, QString>;

    // The entries of the text, or nothing (with the fault in error) when the text is not a strings file.
    static std::optional<Dictionary> parse(QStringView text, StringsFileError *error = nullptr);
    // The text of a file's bytes: UTF-16 or UTF-8 by their byte-order mark, otherwise UTF-8, and Latin-1
    // when the bytes are not valid UTF-8 (files written by older Windows editors).
    static QString decode(const QByteArray &bytes);
    // Reads and parses a file; a file that cannot be read is an error on line 0.
    static std::optional<Dictionary> parseFile(const QString &path, StringsFileError *error = nullptr);
};

} // namespace platform
