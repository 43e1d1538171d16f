#pragma once

#include <QString>
#include <QStringList>

namespace widgets
{

// The alerts of the desktop application: a message box with the alert's title, its message and its one
// button (or the two buttons of a question), run modally through the application object like every other
// modal window.
class MessageBoxAlertPresenter
{
public:
    MessageBoxAlertPresenter() = delete;

    // Makes the message box the presenter of every alert, question and choice (platform::NSRunAlertPanel,
    // platform::NSRunQuestionPanel, platform::NSRunChoicePanel).
    static void install();
    // Shows one alert and returns once it is closed; answers 1, the default button.
    static int present(const QString &title, const QString &message, const QString &button);
    // Shows a question; answers 1 for the default button, 0 for the alternate one, Escape or the close box.
    static int presentQuestion(const QString &title, const QString &message, const QString &defaultButton,
                               const QString &alternateButton);
    // Shows an alert with several buttons; answers the index of the one pressed (the cancel button for
    // Escape or the close box).
    static int presentChoice(const QString &title, const QString &message, const QStringList &buttons,
                             int cancelButton);
};

} // namespace widgets
