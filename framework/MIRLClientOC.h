#pragma once

#include <QString>
#include <QVariant>
#include <memory>

namespace framework
{

class MIRLClientInterface;

// The application's handle on the MIRL directory service. It finds the component "MIRLClient" by name
// when pointed at an address; when the component is not installed, every request answers none.
// Used once per request: construct, initClient, one request, then toDictionary on the answer.
class MIRLClientOC
{
public:
    MIRLClientOC();
    ~MIRLClientOC();
    MIRLClientOC(const MIRLClientOC &) = delete;
    MIRLClientOC &operator=(const MIRLClientOC &) = delete;

    static QString componentName() { return QStringLiteral("MIRLClient"); }

    void initClient(const QString &address);
    // A null alias is not sent.
    QVariant requestDecryptedConnectionInfo(const QString &modelId, const QString &alias);
    QVariant requestDecryptedUserInfo(const QString &login, const QString &password, const QString &alias);
    // A QVariantMap, the null marker when the answer holds nothing, or none when the component is absent.
    static QVariant toDictionary(const QVariant &answer);

private:
    std::unique_ptr<MIRLClientInterface> client;
};

} // namespace framework
