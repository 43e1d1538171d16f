#pragma once

#include "EOModelGroup.h"

#include <QMap>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <functional>

namespace framework
{

// Completes the connection dictionaries of the data models with what the directory service (MIRL) answers
// for the application. A model that already names its database user is left as it is; the others take the
// service's user, password, server and URL over their stored entries, keeping the stored keys the service
// does not send.
class KORConnectionDictionaries
{
public:
    // Asks the service at url for the connection information of a model identifier, sending the
    // application's alias (none when not configured). Answers a dictionary, or the null marker or none when
    // the service has nothing.
    using ConnectionInfoSource =
        std::function<QVariant(const QString &url, const QString &modelId, const QVariant &alias)>;

    // configuration: the application's configuration (APP_ID, APP_ALIAS, MIRL_URL), empty when absent.
    KORConnectionDictionaries(QMap<QString, QString> configuration, ConnectionInfoSource source);

    // The service's entries for a model identifier; empty for an empty identifier, without a service
    // address, or when the service has nothing. Only username, userName, password, serverId and URL are kept.
    QVariantMap connectionDictionaryForID(const QString &modelId) const;
    // connectionDictionaryForID with the configured APP_ID.
    QVariantMap defaultConnectionDictionary() const;
    // Completes the connection dictionary of every model of the group, in the group's order.
    void resetAllModels(eo::EOModelGroup &group) const;
    void resetModel(eo::EOModel &model) const;

    // Copies properties[sourceKey] into dico[targetKey] when properties holds the key.
    static void addKey(const QString &sourceKey, const QVariantMap &properties, const QString &targetKey,
                       QVariantMap &dico);
    // The entries of a, then those of b: b's value wins on a key both hold.
    static QVariantMap resetDictionary(const QVariantMap &a, const QVariantMap &b);

private:
    QMap<QString, QString> m_configuration;
    ConnectionInfoSource m_source;
};

} // namespace framework
