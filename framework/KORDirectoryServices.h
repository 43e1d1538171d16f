#pragma once

#include <QString>
#include <QVariant>
#include <functional>

namespace framework
{

// The three questions the application asks outside itself during start-up, each a function so that the
// application can be run against stand-ins. standard() asks the MIRL service and the Halvane launcher
// through their client wrappers, one client object per request.
struct KORDirectoryServices {
    // The connection information of a model identifier: a dictionary, the null marker or none.
    std::function<QVariant(const QString &url, const QString &modelId, const QVariant &alias)> connectionInfo;
    // The check of a login and password: a dictionary with "errno" and "msg", the null marker or none.
    std::function<QVariant(const QString &url, const QString &login, const QString &password,
                           const QString &alias)>
        userInfo;
    // The launcher's user behind a ticket: a string, or none when nothing answers.
    std::function<QVariant(const QString &host, const QString &port, const QString &ticket)> netId;

    static KORDirectoryServices standard();
};

} // namespace framework
