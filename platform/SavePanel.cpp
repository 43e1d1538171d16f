#include "SavePanel.h"

#include <QDebug>
#include <QFileInfo>
#include <QList>

namespace platform
{

namespace
{

struct State {
    SavePanel::Presenter presenter;
    QList<std::optional<QString>> answers;
    std::optional<SavePanelRequest> last;
};

State &state()
{
    static State s;
    return s;
}

QString withExtension(const QString &path, const QString &extension)
{
    if (path.isEmpty() || extension.isEmpty())
        return path;
    if (QFileInfo(path).suffix().compare(extension, Qt::CaseInsensitive) == 0)
        return path;
    return path + QLatin1Char('.') + extension;
}

} // namespace

std::optional<QString> SavePanel::runModal(const SavePanelRequest &request)
{
    State &s = state();
    s.last = request;
    std::optional<QString> answer;
    if (!s.answers.isEmpty()) {
        answer = s.answers.takeFirst();
    } else if (s.presenter) {
        answer = s.presenter(request);
    } else {
        qWarning().noquote()
            << QStringLiteral("Aucun panneau d'enregistrement : « %1 » est abandonné.").arg(request.title);
    }
    if (!answer)
        return std::nullopt;
    return withExtension(*answer, request.requiredExtension);
}

SavePanel::Presenter SavePanel::setPresenter(Presenter presenter)
{
    Presenter previous = std::move(state().presenter);
    state().presenter = std::move(presenter);
    return previous;
}

void SavePanel::setNextAnswer(const QString &path)
{
    state().answers.append(path);
}

void SavePanel::setNextCancelled()
{
    state().answers.append(std::nullopt);
}

void SavePanel::clearAnswers()
{
    state().answers.clear();
    state().last.reset();
}

std::optional<SavePanelRequest> SavePanel::lastRequest()
{
    return state().last;
}

} // namespace platform
