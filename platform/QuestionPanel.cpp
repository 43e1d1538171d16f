#include "QuestionPanel.h"

#include <QDebug>

namespace platform
{

namespace
{

QuestionPresenter &currentPresenter()
{
    static QuestionPresenter presenter;
    return presenter;
}

} // namespace

int NSRunQuestionPanel(const QString &title, const QString &message, const QString &defaultButton,
                       const QString &alternateButton)
{
    const QuestionPresenter &presenter = currentPresenter();
    if (presenter)
        return presenter(title, message, defaultButton, alternateButton) == 1 ? 1 : 0;
    qWarning().noquote() << QStringLiteral("[%1] %2 (%3)").arg(title, message, defaultButton);
    return 1;
}

QuestionPresenter setQuestionPresenter(QuestionPresenter presenter)
{
    QuestionPresenter previous = std::move(currentPresenter());
    currentPresenter() = std::move(presenter);
    return previous;
}

} // namespace platform
