#include "QEBClientOC.h"

#include "ComponentRegistry.h"
#include "HalvaneClientInterface.h"

namespace framework
{

QVariant QEBClientOC::getNetID(const QString &host, const QString &port, const QString &ticket)
{
    const std::unique_ptr<HalvaneClientInterface> client =
        ComponentRegistry::create<HalvaneClientInterface>(componentName());
    return client ? client->getNetID(host, port, ticket) : QVariant();
}

} // namespace framework
