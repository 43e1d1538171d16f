#pragma once

#include <QMap>
#include <QString>
#include <optional>

namespace framework
{

// The application's configuration file (Application.config in the resources directory), in the
// strings-file format. A file that is missing, unreadable or broken is ignored as a whole, with one line in
// the log naming the file and, for a broken one, the line of the fault: the application then starts on its
// defaults instead of stopping.
class KORConfigurationFile
{
public:
    KORConfigurationFile() = delete;

    static std::optional<QMap<QString, QString>> read(const QString &path);
};

} // namespace framework
