#pragma once

#include "ComponentRegistry.h"

#include <QString>
#include <QVariant>

namespace framework
{

// What the component registered as "HalvaneClient" offers: the login of the user who started the
// application through the launcher.
class HalvaneClientInterface : public ComponentRegistry::Component
{
public:
    // The launcher's user for a ticket: a QString (empty when the launcher does not know the ticket), or
    // none when the launcher gives no answer.
    virtual QVariant getNetID(const QString &host, const QString &port, const QString &ticket) = 0;
};

} // namespace framework
