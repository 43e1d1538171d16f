#pragma once

#include "SavePanel.h"

class QFileDialog;

namespace widgets
{

// The save panels of the desktop application: the toolkit's file dialog, in French, run modally through
// the application object like every other modal window. The kinds of file a panel offers are the dialog's
// filters; its options are check boxes under the dialog's own controls.
class FileDialogSavePanelPresenter
{
public:
    FileDialogSavePanelPresenter() = delete;

    // Makes the file dialog the presenter of every save panel (platform::SavePanel).
    static void install();
    static std::optional<platform::SavePanelAnswer> present(const platform::SavePanelRequest &request);
    // Sets the dialog up for the request (its filters, options and proposed name), without showing it.
    static void prepare(QFileDialog &dialog, const platform::SavePanelRequest &request);
    // The answer the dialog holds, once accepted.
    static platform::SavePanelAnswer answerOf(const QFileDialog &dialog,
                                              const platform::SavePanelRequest &request);
};

} // namespace widgets
