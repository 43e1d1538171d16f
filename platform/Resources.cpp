#include "Resources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform
{

namespace
{

// The installation keeps the resources in share/locavia beside bin/.
QString installedResources(const QString &executableDirectory)
{
    return QDir::cleanPath(executableDirectory + QStringLiteral("/../share/locavia"));
}

bool isInside(const QString &path, const QString &folder)
{
    if (path.isEmpty() || folder.isEmpty())
        return false;
    const QString canonicalPath = QFileInfo(path).canonicalFilePath();
    const QString canonicalFolder = QFileInfo(folder).canonicalFilePath();
    if (canonicalPath.isEmpty() || canonicalFolder.isEmpty())
        return false;
    return canonicalPath == canonicalFolder || canonicalPath.startsWith(canonicalFolder + QLatin1Char('/'));
}

QString runningProgramDirectory()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    // Before the application object exists (or in a program without one), the kernel knows the program.
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    return QFileInfo(self.canonicalFilePath()).absolutePath();
}

} // namespace

ResourceLocations ResourceLocations::current()
{
    return {qEnvironmentVariable("LOCAVIA_RESOURCES"), runningProgramDirectory(),
            QStringLiteral(LOCAVIA_BUILD_DIR), QStringLiteral(LOCAVIA_RESOURCES_DIR)};
}

QString resourcesDirectory(const ResourceLocations &locations)
{
    if (!locations.override.isEmpty())
        return QDir(locations.override).absolutePath();
    const QString installed = installedResources(locations.executableDirectory);
    if (QFileInfo(installed + QStringLiteral("/models")).isDir())
        return installed;
    if (isInside(locations.executableDirectory, locations.buildDirectory))
        return QDir::cleanPath(locations.sourceResources);
    return installed;
}

QString resourcesDirectory()
{
    return resourcesDirectory(ResourceLocations::current());
}

QString resourcePath(const QString &relative)
{
    return resourcesDirectory() + QLatin1Char('/') + relative;
}

} // namespace platform
