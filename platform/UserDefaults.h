#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <memory>

namespace platform
{

// The user's defaults: the settings of the organisation "Locavia" (on Linux ~/.config/Locavia/Locavia.conf),
// overridden for one run by `-Key value` pairs of the command line (`-HalvanePort 1234 -HalvaneTicket T`).
class UserDefaults
{
public:
    // arguments is the whole command line, the program first (QCoreApplication::arguments()).
    explicit UserDefaults(const QStringList &arguments);
    // Reads and writes the given settings instead of the organisation's (tests).
    UserDefaults(const QStringList &arguments, std::unique_ptr<QSettings> settings);
    UserDefaults(const UserDefaults &) = delete;
    UserDefaults &operator=(const UserDefaults &) = delete;

    // The command line's value, else the stored one; an invalid QVariant when neither holds the key.
    QVariant objectForKey(const QString &key) const;
    // The value as text; a null QString when the key is absent.
    QString stringForKey(const QString &key) const;
    // Stores a value for the next runs (the command line still wins during this one).
    void setObject(const QVariant &value, const QString &key);
    void removeObjectForKey(const QString &key);

    // The `-Key value` pairs of a command line. The program name is skipped; a key whose next word is
    // another key (a dash then a letter) or the end of the line has no value and is ignored; a value may be
    // a negative number ("-1").
    static QVariantMap argumentDomain(const QStringList &arguments);

private:
    QVariantMap m_arguments;
    std::unique_ptr<QSettings> m_settings;
};

} // namespace platform
