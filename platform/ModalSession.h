#pragma once

#include <QObject>
#include <QPointer>
#include <optional>

class QEventLoop;

namespace platform
{

// What a modal session answers, numbered as the platform always has.
enum ModalResponse : int {
    NSModalResponseStop = -1000,     // stopped by stopModal
    NSModalResponseAbort = -1001,    // aborted, or its window went away
    NSModalResponseContinue = -1002, // still running (runModalSession)
};

// One modal session on a window: a nested event loop that runs until the session is stopped. The
// application object begins and ends sessions (it shows the window and blocks the others); this class only
// keeps the loop and the answer, so it needs no widgets. A session outlives its own run().
class ModalSession
{
public:
    explicit ModalSession(QObject *window);
    ModalSession(const ModalSession &) = delete;
    ModalSession &operator=(const ModalSession &) = delete;

    QObject *window() const { return m_window.data(); }

    // Runs the events until stop(); answers the response given to stop. Returns at once when the session
    // was stopped before.
    int run();
    // Handles the events waiting now, once; answers NSModalResponseContinue while the session goes on.
    int runOnce();
    // Ends the session with a response; the first stop wins. A running loop returns once the event being
    // handled is done.
    void stop(int response);

    bool isStopped() const { return m_response.has_value(); }
    bool isRunning() const { return m_loop != nullptr; }
    int response() const { return m_response.value_or(NSModalResponseContinue); }

private:
    QPointer<QObject> m_window;
    QEventLoop *m_loop = nullptr; // the loop of run(), on its stack
    std::optional<int> m_response;
};

} // namespace platform
