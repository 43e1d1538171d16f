#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace platform
{

// The application's modal message box: a title, a message and one button. Every alert of the program goes
// through NSRunAlertPanel, whose presenter the desktop application sets to a real message box and tests
// replace to record what would have been shown.
using AlertPresenter =
    std::function<int(const QString &title, const QString &message, const QString &button)>;

// Shows the alert through the current presenter; answers the button pressed (1 for the default button).
int NSRunAlertPanel(const QString &title, const QString &message,
                    const QString &button = QStringLiteral("OK"));
// Replaces the presenter and answers the previous one. Without one, alerts are written to the log; errors
// (titles beginning with "ERREUR") are written to the log in any case.
AlertPresenter setAlertPresenter(AlertPresenter presenter);

// An alert that asks the user to choose among buttons, shown in the order given: answers the index of the
// button pressed. The cancel button (the one that changes nothing) is also the default one and the answer
// of Escape, of closing the alert, and of a session where nobody can answer (no presenter; the alert then
// goes to the log).
using ChoicePresenter = std::function<int(const QString &title, const QString &message,
                                          const QStringList &buttons, int cancelButton)>;
int NSRunChoicePanel(const QString &title, const QString &message, const QStringList &buttons,
                     int cancelButton);
ChoicePresenter setChoicePresenter(ChoicePresenter presenter);

} // namespace platform
