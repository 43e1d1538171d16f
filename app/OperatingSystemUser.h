#pragma once

#include <QString>

namespace app
{

// The login of the user who runs the program, as the system knows it: USER, LOGNAME or USERNAME from the
// environment, else the account of the process. Case unchanged; empty when nothing names the user.
QString operatingSystemUserName();

} // namespace app
