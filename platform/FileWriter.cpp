#include "FileWriter.h"

#include <QSaveFile>
#include <QStringEncoder>

namespace platform
{

QByteArray FileWriter::windows1252(const QString &text)
{
    QStringEncoder encoder("windows-1252", QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    if (!encoder.hasError())
        return bytes;
    // Some character has no place in the encoding: each one is encoded alone, so that only it is replaced.
    bytes.clear();
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QStringEncoder single("windows-1252", QStringConverter::Flag::Stateless);
        const QByteArray piece = single.encode(QStringView(text).mid(i, length));
        bytes.append(single.hasError() || piece.isEmpty() ? QByteArray("?") : piece);
        i += length;
    }
    return bytes;
}

bool FileWriter::writeAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace platform
