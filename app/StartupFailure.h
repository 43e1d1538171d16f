#pragma once

#include <QString>
#include <QVariantMap>
#include <exception>

namespace app
{

// The one alert shown when the application cannot start: what failed, and what to do about it.
class StartupFailure
{
public:
    StartupFailure() = delete;

    static QString title() { return QStringLiteral("ERREUR"); }
    // The message for an error raised during start-up; connection is the connection dictionary of the
    // model the application opens (its URL names the kind of database).
    static QString message(const std::exception &error, const QVariantMap &connection);
};

} // namespace app
