#pragma once

#include <QString>
#include <functional>

namespace platform
{

// A modal question with two buttons (the alert panel's default and alternate buttons): "Quitter sans
// enregistrer les modifications ?" with Quitter and Annuler. Like the alerts, it goes through a replaceable
// presenter: the desktop application sets a real message box, tests answer in advance.
using QuestionPresenter = std::function<int(const QString &title, const QString &message,
                                            const QString &defaultButton, const QString &alternateButton)>;

// Answers 1 when the default button was pressed, 0 for the alternate one (or the window closed).
int NSRunQuestionPanel(const QString &title, const QString &message, const QString &defaultButton,
                       const QString &alternateButton);
// Replaces the presenter and answers the previous one. Without one, the question is written to the log
// and answered with the default button.
QuestionPresenter setQuestionPresenter(QuestionPresenter presenter);

} // namespace platform
