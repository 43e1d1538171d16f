#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace platform
{

// A kind of file a save panel offers.
struct SavePanelFileType {
    QString label;     // what the user reads ("Classeur Excel")
    QString extension; // without the dot
};

// A check box shown with a save panel ("Toutes les colonnes").
struct SavePanelOption {
    QString label;
    bool checked = false; // as the panel opens
};

// What a save panel is opened with.
struct SavePanelRequest {
    QString title;
    QString directory;         // the folder it opens in
    QString fileName;          // the name it proposes ("" for none)
    QString requiredExtension; // without the dot; a chosen name without it gets it ("" for none)
    // The kinds of file offered, the first proposed; the one chosen gives the extension (in place of
    // requiredExtension). A name that ends with the extension of an offered kind chooses that kind.
    QList<SavePanelFileType> fileTypes{};
    QList<SavePanelOption> options{};
};

// The user's answer: the path, the kind of file chosen (an index of fileTypes) and the state of each option.
struct SavePanelAnswer {
    SavePanelAnswer() = default;
    // A path alone: the first kind of file, the options as they opened.
    SavePanelAnswer(const QString &chosenPath) : path(chosenPath) {}
    SavePanelAnswer(const QString &chosenPath, int chosenType, const QList<bool> &chosenOptions = {})
        : path(chosenPath), fileType(chosenType), options(chosenOptions)
    {
    }

    QString path;
    int fileType = 0;
    QList<bool> options;
};

// The panel in which the user chooses where a file goes. The desktop application sets a presenter that
// shows the toolkit's file dialog; tests give the answer of the next panel in advance instead.
class SavePanel
{
public:
    // The answer, or nothing when the panel is cancelled. An empty path means confirmed without a name.
    using Presenter = std::function<std::optional<SavePanelAnswer>(const SavePanelRequest &)>;

    SavePanel() = delete;

    // Shows the panel (or takes the answer given in advance). A chosen path without the extension of its
    // kind of file gets it. Without presenter nor answer the panel counts as cancelled.
    static std::optional<QString> runModal(const SavePanelRequest &request);
    // The same, with the kind of file chosen and one state per option of the request.
    static std::optional<SavePanelAnswer> runModalWithChoices(const SavePanelRequest &request);
    // Replaces the presenter; answers the previous one.
    static Presenter setPresenter(Presenter presenter);

    // Answers given in advance, used in turn by the next panels without showing them.
    static void setNextAnswer(const SavePanelAnswer &answer);
    static void setNextCancelled();
    static void clearAnswers();
    // The request of the last panel run, shown or answered in advance.
    static std::optional<SavePanelRequest> lastRequest();
};

} // namespace platform
