#pragma once

#include "SavePanel.h"

namespace widgets
{

// The save panels of the desktop application: the toolkit's file dialog, in French, run modally through
// the application object like every other modal window.
class FileDialogSavePanelPresenter
{
public:
    FileDialogSavePanelPresenter() = delete;

    // Makes the file dialog the presenter of every save panel (platform::SavePanel).
    static void install();
    static std::optional<QString> present(const platform::SavePanelRequest &request);
};

} // namespace widgets
