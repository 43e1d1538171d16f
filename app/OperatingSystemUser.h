#pragma once

#include <QString>

namespace app
{

// The login of the user who runs the program, as the system's account database names the process's
// effective user (never the environment, which the user may set). Case unchanged; empty when the account
// has no entry.
QString operatingSystemUserName();

} // namespace app
