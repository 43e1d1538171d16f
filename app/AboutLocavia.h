#pragma once

#include <QString>

namespace app
{

// What "À propos de Locavia" tells: the version, the database in use and where the log is kept, the three
// things a user is asked for when something went wrong.
class AboutLocavia
{
public:
    AboutLocavia() = delete;

    static QString title() { return QStringLiteral("À propos de Locavia"); }
    // database: as data::DatabaseAddress::describe tells it, empty when none is open yet; logPath: empty when
    // the log is not written to a file.
    static QString text(const QString &version, const QString &database, const QString &logPath);
};

} // namespace app
