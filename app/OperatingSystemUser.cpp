#include "OperatingSystemUser.h"

#include <pwd.h>
#include <unistd.h>

namespace app
{

QString operatingSystemUserName()
{
    // The same order as the tool that creates the demo account, so that both name the same user.
    for (const char *variable : {"USER", "LOGNAME", "USERNAME"}) {
        const QString value = qEnvironmentVariable(variable).trimmed();
        if (!value.isEmpty())
            return value;
    }
    if (const passwd *entry = getpwuid(geteuid()))
        return QString::fromLocal8Bit(entry->pw_name);
    return QString();
}

} // namespace app
