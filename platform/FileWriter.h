#pragma once

#include <QByteArray>
#include <QString>

namespace platform
{

// Writing the files the user asks for: either the whole file is in place, or nothing changed at its path.
class FileWriter
{
public:
    FileWriter() = delete;

    // The text in Windows-1252, the 8-bit encoding that the department's spreadsheets and editors read;
    // a character it cannot hold becomes "?".
    static QByteArray windows1252(const QString &text);
    // Writes the bytes to a temporary file beside path, then puts it in place of path. On failure nothing
    // is left behind and error receives the reason.
    static bool writeAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);
};

} // namespace platform
