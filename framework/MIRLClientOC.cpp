#include "MIRLClientOC.h"

#include "ComponentRegistry.h"
#include "MIRLClientInterface.h"

namespace framework
{

MIRLClientOC::MIRLClientOC() = default;
MIRLClientOC::~MIRLClientOC() = default;

void MIRLClientOC::initClient(const QString &address)
{
    client = ComponentRegistry::create<MIRLClientInterface>(componentName());
    if (client)
        client->initClient(address);
}

QVariant MIRLClientOC::requestDecryptedConnectionInfo(const QString &modelId, const QString &alias)
{
    return client ? client->requestDecryptedConnectionInfo(modelId, alias) : QVariant();
}

QVariant MIRLClientOC::requestDecryptedUserInfo(const QString &login, const QString &password,
                                                const QString &alias)
{
    return client ? client->requestDecryptedUserInfo(login, password, alias) : QVariant();
}

QVariant MIRLClientOC::toDictionary(const QVariant &answer)
{
    const std::unique_ptr<MIRLClientInterface> component =
        ComponentRegistry::create<MIRLClientInterface>(componentName());
    return component ? component->toDictionary(answer) : QVariant();
}

} // namespace framework
