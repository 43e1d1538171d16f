#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace platform
{

// What a save panel is opened with.
struct SavePanelRequest {
    QString title;
    QString directory;         // the folder it opens in
    QString fileName;          // the name it proposes ("" for none)
    QString requiredExtension; // without the dot; a chosen name without it gets it ("" for none)
};

// The panel in which the user chooses where a file goes. The desktop application sets a presenter that
// shows the toolkit's file dialog; tests give the answer of the next panel in advance instead.
class SavePanel
{
public:
    // The path chosen, or nothing when the panel is cancelled. "" means confirmed without a name.
    using Presenter = std::function<std::optional<QString>(const SavePanelRequest &)>;

    SavePanel() = delete;

    // Shows the panel (or takes the answer given in advance). A chosen path without the required extension
    // gets it. Without presenter nor answer the panel counts as cancelled.
    static std::optional<QString> runModal(const SavePanelRequest &request);
    // Replaces the presenter; answers the previous one.
    static Presenter setPresenter(Presenter presenter);

    // Answers given in advance, used in turn by the next panels without showing them.
    static void setNextAnswer(const QString &path);
    static void setNextCancelled();
    static void clearAnswers();
    // The request of the last panel run, shown or answered in advance.
    static std::optional<SavePanelRequest> lastRequest();
};

} // namespace platform
