#pragma once

#include <QImage>
#include <QProcess>
#include <QString>

// A display of a test's own: Xvfb on a number it picks itself, stopped with the object. The programs the test
// starts on it are reached through name() (DISPLAY) and QT_QPA_PLATFORM=xcb.
class VirtualDisplay
{
public:
    explicit VirtualDisplay(const QString &screen = QStringLiteral("1280x1024x24"));
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay &) = delete;
    VirtualDisplay &operator=(const VirtualDisplay &) = delete;

    // Why no display can be made here ("" when it can): Xvfb, xwininfo or import missing.
    static QString unavailableReason();
    // Starts the server; false with the reason in error.
    bool start(QString *error);
    const QString &name() const { return m_name; }
    // The environment of a program that opens its windows on this display.
    QProcessEnvironment
    environment(QProcessEnvironment base = QProcessEnvironment::systemEnvironment()) const;
    // Whether a window of this title is on the screen.
    bool showsWindowTitled(const QString &title) const;
    // The whole screen, also kept in path; waits up to ten seconds for it to show something.
    QImage screenshot(const QString &path) const;
    // Whether an image shows something: enough distinct colours in its middle.
    static bool showsSomething(const QImage &image);

private:
    QString m_screen;
    QProcess m_server;
    QString m_name;
};

// Ends a process that may still run when the test stops, whatever the reason.
struct ProcessStopper {
    QProcess &process;
    ~ProcessStopper();
};
