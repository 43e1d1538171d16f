#pragma once

#include "OpenPanel.h"

namespace widgets
{

// The open panels of the desktop application: the toolkit's file dialog choosing a folder, in French, run
// modally through the application object like every other modal window.
class FileDialogOpenPanelPresenter
{
public:
    FileDialogOpenPanelPresenter() = delete;

    // Makes the file dialog the presenter of every open panel (platform::OpenPanel).
    static void install();
    static std::optional<QString> present(const platform::OpenPanelRequest &request);
};

} // namespace widgets
