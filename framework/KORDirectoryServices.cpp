#include "KORDirectoryServices.h"

#include "MIRLClientOC.h"
#include "QEBClientOC.h"

namespace framework
{

KORDirectoryServices KORDirectoryServices::standard()
{
    KORDirectoryServices services;
    services.connectionInfo = [](const QString &url, const QString &modelId, const QVariant &alias) {
        MIRLClientOC client;
        client.initClient(url);
        const QString aliasText = alias.isValid() ? alias.toString() : QString();
        return MIRLClientOC::toDictionary(client.requestDecryptedConnectionInfo(modelId, aliasText));
    };
    services.userInfo = [](const QString &url, const QString &login, const QString &password,
                           const QString &alias) {
        MIRLClientOC client;
        client.initClient(url);
        return MIRLClientOC::toDictionary(client.requestDecryptedUserInfo(login, password, alias));
    };
    services.netId = [](const QString &host, const QString &port, const QString &ticket) {
        QEBClientOC client;
        return client.getNetID(host, port, ticket);
    };
    return services;
}

} // namespace framework
