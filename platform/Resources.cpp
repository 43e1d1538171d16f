#include "Resources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform
{

QString resourcesDirectory()
{
    const QString fromEnv = qEnvironmentVariable("LOCAVIA_RESOURCES");
    if (!fromEnv.isEmpty())
        return QDir(fromEnv).absolutePath();
    if (QCoreApplication::instance()) {
        const QString installed = QCoreApplication::applicationDirPath() + "/../share/locavia/resources";
        if (QFileInfo(installed + "/models").isDir())
            return QDir(installed).absolutePath();
    }
    return QStringLiteral(LOCAVIA_RESOURCES_DIR);
}

QString resourcePath(const QString &relative)
{
    return resourcesDirectory() + QLatin1Char('/') + relative;
}

} // namespace platform
