#pragma once

#include <QString>

namespace platform
{

// Where a program of Locavia may find its resources (model files, SQL of the databases, configuration).
struct ResourceLocations {
    // The LOCAVIA_RESOURCES environment variable: wins over everything when set.
    QString override;
    // The folder of the running program.
    QString executableDirectory;
    // The build folder the program was compiled in, and the resources of the source tree it came from:
    // used only by a program that still runs from that build folder.
    QString buildDirectory;
    QString sourceResources;

    // The locations of the running program.
    static ResourceLocations current();
};

// The resources directory, in this order: the override; an installation around the program
// (<program folder>/../share/locavia, wherever the installation was moved); the source tree, for a program
// run from its build folder. Otherwise the installation's place, so that what cannot be found is looked
// for, and named in messages, where an installation keeps it.
QString resourcesDirectory(const ResourceLocations &locations);
QString resourcesDirectory();

// A file under the resources directory, e.g. resourcePath("models/Locavia.json").
QString resourcePath(const QString &relative);

} // namespace platform
