#include "LogFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

namespace platform
{

LogFile::LogFile(QString path, qint64 maximumSize, int fileCount)
    : m_path(std::move(path)), m_maximumSize(qMax<qint64>(1, maximumSize)), m_fileCount(qMax(1, fileCount))
{
}

QString LogFile::defaultPath()
{
    // The XDG state folder: what a program keeps between runs that is neither data nor settings.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return QDir::cleanPath(state + QStringLiteral("/Locavia/locavia.log"));
}

QString LogFile::generation(int generation) const
{
    return generation == 0 ? m_path : QStringLiteral("%1.%2").arg(m_path).arg(generation);
}

bool LogFile::append(const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    const QFileInfo info(m_path);
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    QLockFile lock(m_path + QStringLiteral(".lock"));
    // Another program holding the lock for long is stuck: write without rotating rather than lose the line.
    const bool locked = lock.tryLock(500);
    const qint64 size = QFileInfo(m_path).size();
    if (locked && size > 0 && size + bytes.size() > m_maximumSize)
        rotate();
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    return file.write(bytes) == bytes.size();
}

void LogFile::rotate()
{
    QFile::remove(generation(m_fileCount - 1));
    for (int older = m_fileCount - 2; older >= 0; --older) {
        if (QFileInfo::exists(generation(older)))
            QFile::rename(generation(older), generation(older + 1));
    }
}

} // namespace platform
