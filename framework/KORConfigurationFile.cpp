#include "KORConfigurationFile.h"

#include "StringsFileParser.h"

#include <QDebug>
#include <QFileInfo>

namespace framework
{

std::optional<QMap<QString, QString>> KORConfigurationFile::read(const QString &path)
{
    const auto ignored = [&path](const QString &why) {
        qWarning().noquote()
            << QStringLiteral(">>>>> Le fichier de configuration %1 est ignoré : %2").arg(path, why);
    };
    if (!QFileInfo::exists(path)) {
        ignored(QStringLiteral("il n'existe pas."));
        return std::nullopt;
    }
    platform::StringsFileError error;
    std::optional<QMap<QString, QString>> parsed = platform::StringsFileParser::parseFile(path, &error);
    if (!parsed) {
        if (error.line > 0)
            ignored(QStringLiteral("ligne %1, %2.").arg(error.line).arg(error.message));
        else
            ignored(error.message + QLatin1Char('.'));
    }
    return parsed;
}

} // namespace framework
