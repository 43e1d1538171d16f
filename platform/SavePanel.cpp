#include "SavePanel.h"

#include <QDebug>
#include <QFileInfo>

#include <algorithm>

namespace platform
{

namespace
{

struct State {
    SavePanel::Presenter presenter;
    QList<std::optional<SavePanelAnswer>> answers;
    std::optional<SavePanelRequest> last;
};

State &state()
{
    static State s;
    return s;
}

bool hasExtension(const QString &path, const QString &extension)
{
    return QFileInfo(path).suffix().compare(extension, Qt::CaseInsensitive) == 0;
}

QString withExtension(const QString &path, const QString &extension)
{
    if (path.isEmpty() || extension.isEmpty() || hasExtension(path, extension))
        return path;
    return path + QLatin1Char('.') + extension;
}

// The answer made whole: the kind of file its name or its choice gives, the extension of that kind, an
// option state for each option of the request.
SavePanelAnswer resolved(SavePanelAnswer answer, const SavePanelRequest &request)
{
    const qsizetype types = request.fileTypes.size();
    if (types == 0) {
        answer.fileType = 0;
        answer.path = withExtension(answer.path, request.requiredExtension);
    } else {
        answer.fileType = int(std::clamp<qsizetype>(answer.fileType, 0, types - 1));
        for (qsizetype type = 0; type < types; ++type) {
            if (!answer.path.isEmpty() && hasExtension(answer.path, request.fileTypes.at(type).extension)) {
                answer.fileType = int(type);
                break;
            }
        }
        answer.path = withExtension(answer.path, request.fileTypes.at(answer.fileType).extension);
    }
    const qsizetype given = std::min(answer.options.size(), request.options.size());
    answer.options.resize(request.options.size());
    for (qsizetype option = given; option < request.options.size(); ++option)
        answer.options[option] = request.options.at(option).checked;
    return answer;
}

} // namespace

std::optional<SavePanelAnswer> SavePanel::runModalWithChoices(const SavePanelRequest &request)
{
    State &s = state();
    s.last = request;
    std::optional<SavePanelAnswer> answer;
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
    return resolved(*answer, request);
}

std::optional<QString> SavePanel::runModal(const SavePanelRequest &request)
{
    const std::optional<SavePanelAnswer> answer = runModalWithChoices(request);
    if (!answer)
        return std::nullopt;
    return answer->path;
}

SavePanel::Presenter SavePanel::setPresenter(Presenter presenter)
{
    Presenter previous = std::move(state().presenter);
    state().presenter = std::move(presenter);
    return previous;
}

void SavePanel::setNextAnswer(const SavePanelAnswer &answer)
{
    state().answers.append(answer);
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
