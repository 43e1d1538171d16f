#pragma once

class QLineEdit;
class QWidget;

namespace reference
{

// How the reference panels are opened and closed: an opened panel is centred, brought to the front with the
// cursor in its first field, and runs application-modal until its closing action; closing it ends that
// modal run and hides it, which returns to the panel under it.
class ModalPanel
{
public:
    ModalPanel() = delete;

    // Returns once the panel is closed. A program without the application class (a tool, a test that drives
    // the panel itself) gets the panel shown without waiting.
    static void run(QWidget *panel, QLineEdit *focus = nullptr);
    static void close(QWidget *panel);
};

} // namespace reference
