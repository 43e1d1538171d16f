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

} // namespace

int NSRunAlertPanel(const QString &title, const QString &message, const QString &button)
{
    const AlertPresenter &presenter = currentPresenter();
    if (presenter)
        return presenter(title, message, button);
    qWarning().noquote() << QStringLiteral("[%1] %2").arg(title, message);
    return 1;
}

AlertPresenter setAlertPresenter(AlertPresenter presenter)
{
    AlertPresenter previous = std::move(currentPresenter());
    currentPresenter() = std::move(presenter);
    return previous;
}

} // namespace platform
