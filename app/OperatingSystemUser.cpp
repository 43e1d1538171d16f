#include "OperatingSystemUser.h"

#include <pwd.h>
#include <unistd.h>

namespace app
{

QString operatingSystemUserName()
{
    // From the system's account database, as the tool that creates the demo account reads it: the
    // environment (USER, LOGNAME) is the user's to set, and would let anyone pass for a room manager.
    if (const passwd *entry = getpwuid(geteuid()))
        return QString::fromLocal8Bit(entry->pw_name);
    return QString();
}

} // namespace app
