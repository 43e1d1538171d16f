#include "UserDefaults.h"

namespace platform
{

namespace
{

bool isKey(const QString &word)
{
    return word.size() > 1 && word.front() == u'-' && word.at(1).isLetter();
}

} // namespace

UserDefaults::UserDefaults(const QStringList &arguments)
    : UserDefaults(arguments,
                   std::make_unique<QSettings>(QStringLiteral("Locavia"), QStringLiteral("Locavia")))
{
}

UserDefaults::UserDefaults(const QStringList &arguments, std::unique_ptr<QSettings> settings)
    : m_arguments(argumentDomain(arguments)), m_settings(std::move(settings))
{
}

QVariantMap UserDefaults::argumentDomain(const QStringList &arguments)
{
    QVariantMap domain;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &word = arguments.at(i);
        if (!isKey(word))
            continue;
        if (i + 1 >= arguments.size() || isKey(arguments.at(i + 1)))
            continue;
        domain.insert(word.mid(1), arguments.at(i + 1));
        ++i;
    }
    return domain;
}

QVariant UserDefaults::objectForKey(const QString &key) const
{
    const auto found = m_arguments.constFind(key);
    if (found != m_arguments.constEnd())
        return *found;
    if (m_settings && m_settings->contains(key))
        return m_settings->value(key);
    return {};
}

QString UserDefaults::stringForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    if (!value.isValid())
        return {};
    return value.toString();
}

void UserDefaults::setObject(const QVariant &value, const QString &key)
{
    if (m_settings)
        m_settings->setValue(key, value);
}

void UserDefaults::removeObjectForKey(const QString &key)
{
    if (m_settings)
        m_settings->remove(key);
}

} // namespace platform
