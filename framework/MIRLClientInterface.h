#pragma once

#include "ComponentRegistry.h"

#include <QString>
#include <QVariant>

namespace framework
{

// What the component registered as "MIRLClient" offers: the directory service that completes database
// connection information and checks passwords.
class MIRLClientInterface : public ComponentRegistry::Component
{
public:
    // Points the client at the service's address (MIRL_URL).
    virtual void initClient(const QString &address) = 0;
    // The service's answer for a model identifier, or none when it gives none. A null alias is not sent.
    virtual QVariant requestDecryptedConnectionInfo(const QString &modelId, const QString &alias) = 0;
    // The service's verdict on a login and password: a dictionary with "errno" (greater than 0: refused)
    // and "msg".
    virtual QVariant requestDecryptedUserInfo(const QString &login, const QString &password,
                                              const QString &alias) = 0;
    // Turns an answer into a dictionary (QVariantMap), or the null marker when it holds none. It uses no
    // state of the client: it stands for an operation of the class.
    virtual QVariant toDictionary(const QVariant &answer) const = 0;
};

} // namespace framework
