#include "VirtualDisplay.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QStandardPaths>
#include <QThread>

namespace
{

QString tool(const char *name)
{
    return QStandardPaths::findExecutable(QLatin1String(name));
}

} // namespace

ProcessStopper::~ProcessStopper()
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

VirtualDisplay::VirtualDisplay(const QString &screen) : m_screen(screen) {}

VirtualDisplay::~VirtualDisplay()
{
    ProcessStopper{m_server};
}

QString VirtualDisplay::unavailableReason()
{
    if (tool("Xvfb").isEmpty())
        return QStringLiteral("Xvfb is not installed (scripts/install-deps installs it)");
    if (tool("xwininfo").isEmpty() || tool("import").isEmpty())
        return QStringLiteral("xwininfo (x11-utils) and import (imagemagick) are needed beside Xvfb");
    return {};
}

bool VirtualDisplay::start(QString *error)
{
    // Xvfb picks a free number and writes it on the descriptor given.
    m_server.start(tool("Xvfb"),
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                    QStringLiteral("0"), m_screen, QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!m_server.waitForStarted(5000)) {
        *error = QStringLiteral("Xvfb does not start: %1").arg(m_server.errorString());
        return false;
    }
    QByteArray number;
    QElapsedTimer clock;
    clock.start();
    while (!number.contains('\n') && clock.elapsed() < 15000 && m_server.state() == QProcess::Running) {
        m_server.waitForReadyRead(200);
        number += m_server.readAllStandardOutput();
    }
    if (!number.contains('\n')) {
        *error = QString::fromLocal8Bit(m_server.readAllStandardError());
        return false;
    }
    m_name = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
    return true;
}

QProcessEnvironment VirtualDisplay::environment(QProcessEnvironment base) const
{
    base.insert(QStringLiteral("DISPLAY"), m_name);
    base.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    base.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return base;
}

bool VirtualDisplay::showsWindowTitled(const QString &title) const
{
    QProcess info;
    info.start(tool("xwininfo"),
               {QStringLiteral("-display"), m_name, QStringLiteral("-root"), QStringLiteral("-tree")});
    info.waitForFinished(5000);
    return QString::fromUtf8(info.readAllStandardOutput()).contains(u'"' + title + u'"');
}

bool VirtualDisplay::showsSomething(const QImage &image)
{
    if (image.isNull())
        return false;
    const QRect area = image.rect().adjusted(200, 200, -200, -200);
    QSet<QRgb> colours;
    for (int y = area.top(); y <= area.bottom(); y += 3) {
        for (int x = area.left(); x <= area.right(); x += 3)
            colours.insert(image.pixel(x, y));
    }
    return colours.size() >= 16;
}

QImage VirtualDisplay::screenshot(const QString &path) const
{
    QFile::remove(path);
    QImage image;
    QElapsedTimer clock;
    clock.start();
    do {
        QThread::msleep(300);
        QProcess grab;
        grab.start(tool("import"), {QStringLiteral("-display"), m_name, QStringLiteral("-window"),
                                    QStringLiteral("root"), path});
        grab.waitForFinished(15000);
        image.load(path);
    } while (!showsSomething(image) && clock.elapsed() < 10000);
    return image;
}
