#include "AlertPanel.h"

#include <QDebug>

namespace platform
{

namespace
{

AlertPresenter &currentPresenter()
{
    static AlertPresenter presenter;
    return presenter;
}

ChoicePresenter &currentChoicePresenter()
{
    static ChoicePresenter presenter;
    return presenter;
}

} // namespace

int NSRunAlertPanel(const QString &title, const QString &message, const QString &button)
{
    const AlertPresenter &presenter = currentPresenter();
    // Errors shown to the user (the database's, an interrupted action's, a failed start-up) go to the log
    // as well, where they can be read again and sent; the other alerts only when nobody shows them.
    if (!presenter || title.startsWith(QLatin1String("ERREUR")))
        qWarning().noquote() << QStringLiteral("[%1] %2").arg(title, message);
    if (presenter)
        return presenter(title, message, button);
    return 1;
}

AlertPresenter setAlertPresenter(AlertPresenter presenter)
{
    AlertPresenter previous = std::move(currentPresenter());
    currentPresenter() = std::move(presenter);
    return previous;
}

int NSRunChoicePanel(const QString &title, const QString &message, const QStringList &buttons,
                     int cancelButton)
{
    const ChoicePresenter &presenter = currentChoicePresenter();
    if (!presenter) {
        qWarning().noquote()
            << QStringLiteral("[%1] %2 (%3)").arg(title, message, buttons.value(cancelButton));
        return cancelButton;
    }
    const int answer = presenter(title, message, buttons, cancelButton);
    return answer >= 0 && answer < buttons.size() ? answer : cancelButton;
}

ChoicePresenter setChoicePresenter(ChoicePresenter presenter)
{
    ChoicePresenter previous = std::move(currentChoicePresenter());
    currentChoicePresenter() = std::move(presenter);
    return previous;
}

} // namespace platform
