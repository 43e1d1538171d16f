#pragma once

#include "LogFile.h"

#include <QString>
#include <QtGlobal>

namespace platform
{

// What the program writes to its log (the ">>>>> " lines, the errors shown to the user, Qt's own warnings)
// also goes to a log file, so that a user can send it when something went wrong. Installed once by the
// desktop application; whatever handled the messages before goes on doing so.
class ApplicationLog
{
public:
    ApplicationLog() = delete;

    // Starts writing to the file (LogFile::defaultPath() by default); false when its folder cannot be made,
    // in which case nothing changes. Debug messages stay out of the file.
    static bool install(const QString &path = LogFile::defaultPath(), const QString &programName = {});
    // Stops writing to the file and gives the messages back to the previous handler.
    static void uninstall();
    // The file being written, empty when none.
    static QString path();

    // How one message reads in the file: date and time, program and process, level, text.
    static QString format(QtMsgType type, const QString &message, const QString &programName);
};

} // namespace platform
