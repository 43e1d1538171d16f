#pragma once

#include <QString>

namespace platform
{

// The directory that holds the model files, the SQL of the databases and the interface files.
// Order: the LOCAVIA_RESOURCES environment variable, an installed copy beside the executable
// (../share/locavia/resources), then the source tree the program was built from.
QString resourcesDirectory();

// A file under the resources directory, e.g. resourcePath("models/Locavia.json").
QString resourcePath(const QString &relative);

} // namespace platform
