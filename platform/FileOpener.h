#pragma once

#include <QString>
#include <functional>

namespace platform
{

// Opens a file with the application the desktop associates with it (the PDF viewer for a printed list).
// Tests replace the opener to record the files instead of launching anything.
class FileOpener
{
public:
    using Opener = std::function<bool(const QString &path)>;

    FileOpener() = delete;

    // False when the file could not be handed to an application.
    static bool openFile(const QString &path);
    // Replaces the opener (none: the desktop's); answers the previous one.
    static Opener setOpener(Opener opener);
};

} // namespace platform
