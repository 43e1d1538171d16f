#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace platform
{

// What an open panel is opened with: it chooses an existing folder (the files in it are shown, so that the
// user recognises the one to open).
struct OpenPanelRequest {
    QString title;
    QString directory; // the folder it opens in
};

// The panel in which the user chooses an existing folder. The desktop application sets a presenter that
// shows the toolkit's file dialog; tests give the answer of the next panel in advance instead.
class OpenPanel
{
public:
    // The folder chosen, or nothing when the panel is cancelled.
    using Presenter = std::function<std::optional<QString>(const OpenPanelRequest &)>;

    OpenPanel() = delete;

    // Shows the panel (or takes the answer given in advance). Without presenter nor answer the panel counts
    // as cancelled.
    static std::optional<QString> runModal(const OpenPanelRequest &request);
    // Replaces the presenter; answers the previous one.
    static Presenter setPresenter(Presenter presenter);

    // Answers given in advance, used in turn by the next panels without showing them.
    static void setNextAnswer(const QString &path);
    static void setNextCancelled();
    static void clearAnswers();
    // The request of the last panel run, shown or answered in advance.
    static std::optional<OpenPanelRequest> lastRequest();
};

} // namespace platform
