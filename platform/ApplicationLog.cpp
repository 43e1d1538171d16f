#include "ApplicationLog.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <memory>

namespace platform
{

namespace
{

struct State {
    QMutex mutex;
    std::unique_ptr<LogFile> file;
    QString programName;
    QtMessageHandler previous = nullptr;
    bool installed = false;
};

State &state()
{
    static State instance;
    return instance;
}

// Writing the file may itself produce a message (a lock file in trouble): that one is not written again.
thread_local bool writing = false;

void handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    State &s = state();
    if (type != QtDebugMsg && !writing) {
        writing = true;
        {
            const QMutexLocker locker(&s.mutex);
            if (s.file)
                s.file->append(ApplicationLog::format(type, message, s.programName));
        }
        writing = false;
    }
    // Qt hands back its own handler when none was installed before, so there always is one.
    if (s.previous)
        s.previous(type, context, message);
}

QString levelName(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return QStringLiteral("débogage");
    case QtInfoMsg:
        return QStringLiteral("info");
    case QtWarningMsg:
        return QStringLiteral("avertissement");
    case QtCriticalMsg:
        return QStringLiteral("erreur");
    case QtFatalMsg:
        return QStringLiteral("fatal");
    }
    return QStringLiteral("info");
}

} // namespace

QString ApplicationLog::format(QtMsgType type, const QString &message, const QString &programName)
{
    return QStringLiteral("%1 %2[%3] %4 : %5")
        .arg(QDateTime::currentDateTime().toString(Qt::ISODateWithMs), programName)
        .arg(QCoreApplication::applicationPid())
        .arg(levelName(type), message);
}

bool ApplicationLog::install(const QString &path, const QString &programName)
{
    if (path.isEmpty() || !QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    State &s = state();
    const QMutexLocker locker(&s.mutex);
    s.file = std::make_unique<LogFile>(QFileInfo(path).absoluteFilePath());
    s.programName = programName.isEmpty() ? QCoreApplication::applicationName() : programName;
    if (!s.installed) {
        s.previous = qInstallMessageHandler(handler);
        s.installed = true;
    }
    return true;
}

void ApplicationLog::uninstall()
{
    State &s = state();
    const QMutexLocker locker(&s.mutex);
    if (!s.installed)
        return;
    qInstallMessageHandler(s.previous);
    s.previous = nullptr;
    s.installed = false;
    s.file.reset();
}

QString ApplicationLog::path()
{
    State &s = state();
    const QMutexLocker locker(&s.mutex);
    return s.file ? s.file->path() : QString();
}

} // namespace platform
