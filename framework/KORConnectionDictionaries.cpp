#include "KORConnectionDictionaries.h"

#include "KORConversions.h"

namespace framework
{

namespace
{

bool isEmpty(const QVariant &value)
{
    return KORConversions::recupererChaine(value).isEmpty();
}

} // namespace

KORConnectionDictionaries::KORConnectionDictionaries(QMap<QString, QString> configuration,
                                                     ConnectionInfoSource source)
    : m_configuration(std::move(configuration)), m_source(std::move(source))
{
}

QVariantMap KORConnectionDictionaries::connectionDictionaryForID(const QString &modelId) const
{
    QVariantMap result;
    if (isEmpty(modelId))
        return result;
    const QString url = m_configuration.value(QStringLiteral("MIRL_URL"));
    if (isEmpty(url) || !m_source)
        return result;
    const auto alias = m_configuration.constFind(QStringLiteral("APP_ALIAS"));
    const QVariant answer =
        m_source(url, modelId, alias == m_configuration.constEnd() ? QVariant() : QVariant(*alias));
    QVariantMap dictionary;
    if (answer.typeId() == QMetaType::QVariantMap) {
        dictionary = answer.toMap();
    } else if (answer.typeId() == QMetaType::QVariantHash) {
        const QVariantHash hash = answer.toHash();
        for (auto it = hash.constBegin(); it != hash.constEnd(); ++it)
            dictionary.insert(it.key(), it.value());
    } else {
        return result; // the null marker, none, or anything that is not a dictionary
    }
    for (const char *key : {"username", "userName", "password", "serverId", "URL"})
        addKey(QString::fromLatin1(key), dictionary, QString::fromLatin1(key), result);
    return result;
}

QVariantMap KORConnectionDictionaries::defaultConnectionDictionary() const
{
    return connectionDictionaryForID(m_configuration.value(QStringLiteral("APP_ID")));
}

void KORConnectionDictionaries::resetAllModels(eo::EOModelGroup &group) const
{
    for (const auto &model : group.models())
        resetModel(*model);
}

void KORConnectionDictionaries::resetModel(eo::EOModel &model) const
{
    const QVariantMap stored = model.connectionDictionary();
    const QVariantMap &information = model.userInfo();
    if (!isEmpty(stored.value(QStringLiteral("userName"))) ||
        !isEmpty(stored.value(QStringLiteral("username"))))
        return;

    // The identifier the service is asked for is the model information's, but only a model whose stored
    // dictionary names an identifier too asks for its own; the others take the application's.
    QVariantMap service;
    if (information.isEmpty() || isEmpty(stored.value(QStringLiteral("modelId")))) {
        service = defaultConnectionDictionary();
    } else {
        service = connectionDictionaryForID(
            KORConversions::recupererChaine(information.value(QStringLiteral("modelId"))));
        if (service.isEmpty())
            service = defaultConnectionDictionary();
    }
    model.setConnectionDictionary(resetDictionary(stored, service));
}

void KORConnectionDictionaries::addKey(const QString &sourceKey, const QVariantMap &properties,
                                       const QString &targetKey, QVariantMap &dico)
{
    const auto found = properties.constFind(sourceKey);
    if (found != properties.constEnd())
        dico.insert(targetKey, *found);
}

QVariantMap KORConnectionDictionaries::resetDictionary(const QVariantMap &a, const QVariantMap &b)
{
    QVariantMap result = a;
    for (auto it = b.constBegin(); it != b.constEnd(); ++it)
        result.insert(it.key(), it.value());
    return result;
}

} // namespace framework
