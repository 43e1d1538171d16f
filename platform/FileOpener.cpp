#include "FileOpener.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QUrl>

namespace platform
{

namespace
{

FileOpener::Opener &currentOpener()
{
    static FileOpener::Opener opener;
    return opener;
}

bool openWithTheDesktop(const QString &path)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()) || !QFileInfo::exists(path))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace

bool FileOpener::openFile(const QString &path)
{
    const Opener &opener = currentOpener();
    return opener ? opener(path) : openWithTheDesktop(path);
}

FileOpener::Opener FileOpener::setOpener(Opener opener)
{
    Opener previous = std::move(currentOpener());
    currentOpener() = std::move(opener);
    return previous;
}

} // namespace platform
