#include "OpenPanel.h"

#include <QDebug>
#include <QList>

namespace platform
{

namespace
{

struct State {
    OpenPanel::Presenter presenter;
    QList<std::optional<QString>> answers;
    std::optional<OpenPanelRequest> last;
};

State &state()
{
    static State s;
    return s;
}

} // namespace

std::optional<QString> OpenPanel::runModal(const OpenPanelRequest &request)
{
    State &s = state();
    s.last = request;
    if (!s.answers.isEmpty())
        return s.answers.takeFirst();
    if (s.presenter)
        return s.presenter(request);
    qWarning().noquote()
        << QStringLiteral("Aucun panneau d'ouverture : « %1 » est abandonné.").arg(request.title);
    return std::nullopt;
}

OpenPanel::Presenter OpenPanel::setPresenter(Presenter presenter)
{
    Presenter previous = std::move(state().presenter);
    state().presenter = std::move(presenter);
    return previous;
}

void OpenPanel::setNextAnswer(const QString &path)
{
    state().answers.append(path);
}

void OpenPanel::setNextCancelled()
{
    state().answers.append(std::nullopt);
}

void OpenPanel::clearAnswers()
{
    state().answers.clear();
    state().last.reset();
}

std::optional<OpenPanelRequest> OpenPanel::lastRequest()
{
    return state().last;
}

} // namespace platform
