#pragma once

#include <QString>
#include <QVariant>

namespace framework
{

// The application's handle on the Halvane launcher. It finds the component "HalvaneClient" by name for
// each lookup; when the component is not installed, the lookup answers none.
class QEBClientOC
{
public:
    static QString componentName() { return QStringLiteral("HalvaneClient"); }

    // The launcher's user for the ticket: a QString ("" when the launcher does not know the ticket), or
    // none when there is no answer or no launcher client.
    QVariant getNetID(const QString &host, const QString &port, const QString &ticket);
};

} // namespace framework
