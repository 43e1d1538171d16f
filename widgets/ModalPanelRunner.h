#pragma once

class QWidget;

namespace widgets
{

// Runs the panels of the controllers application-modal: the opening action returns once the panel's validate
// or cancel action has stopped the session, or once the panel was closed or hidden by other means. The
// sessions are the application object's, which always knows the window of the current one; without an
// application object of ours (a bare QApplication), an equivalent session of its own is run.
class ModalPanelRunner
{
public:
    ModalPanelRunner() = delete;

    // Centres the panel over the window it belongs to (the screen when that one is not shown), then runs it.
    static int run(QWidget *panneau);
    // Stops the innermost session; nothing when none runs.
    static void stop();
    static bool isRunning();
};

} // namespace widgets
