#include "ComponentRegistry.h"

#include "HalvaneClient.h"
#include "MIRLClient.h"

#include <QHash>

namespace framework
{

namespace
{

QHash<QString, ComponentRegistry::Factory> &factories()
{
    static QHash<QString, ComponentRegistry::Factory> table;
    static bool builtInsRegistered = false;
    if (!builtInsRegistered) {
        builtInsRegistered = true;
        MIRLClient::registerComponent();
        HalvaneClient::registerComponent();
    }
    return table;
}

} // namespace

void ComponentRegistry::registerComponent(const QString &className, Factory factory)
{
    if (factory)
        factories().insert(className, std::move(factory));
}

void ComponentRegistry::unregisterComponent(const QString &className)
{
    factories().remove(className);
}

bool ComponentRegistry::isRegistered(const QString &className)
{
    return factories().contains(className);
}

void ComponentRegistry::registerBuiltInComponents()
{
    MIRLClient::registerComponent();
    HalvaneClient::registerComponent();
}

std::unique_ptr<ComponentRegistry::Component> ComponentRegistry::create(const QString &className)
{
    const auto found = factories().constFind(className);
    if (found == factories().constEnd())
        return nullptr;
    return (*found)();
}

} // namespace framework
