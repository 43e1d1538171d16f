#pragma once

#include <QObject>

namespace app
{

class Superviseur;

// Tells a program that waits for Locavia (the start-up benchmark, a script) that the main window shows the
// room tab ready, once it has drawn it: the line "locavia-ready" on standard output. Asked for by the
// environment variable LOCAVIA_READY_PROBE: "print" writes the line, "quit" writes it and ends the
// application.
class StartupProbe : public QObject
{
    Q_OBJECT
public:
    static const char *readyLine() { return "locavia-ready"; }

    // Installs the probe when the environment asks for it.
    static void installFromEnvironment(Superviseur &application);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    StartupProbe(Superviseur &application, bool quit);
    void report();

    Superviseur &m_application;
    bool m_quit;
    bool m_reported = false;
};

} // namespace app
