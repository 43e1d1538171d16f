#pragma once

#include "AdminArguments.h"

class QTextStream;

namespace admin
{

// The commands backup and restore of locavia-admin, on the embedded database of --dir (the user's data folder
// by default): what they print, and their exit status (0 done, 1 failed).
class BackupCommand
{
public:
    BackupCommand() = delete;

    static int run(const AdminArguments &options, QTextStream &out, QTextStream &err);
};

} // namespace admin
