#include "DatabaseAddress.h"

#include "DataFolder.h"
#include "EOSQLiteAdaptor.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace data
{

namespace
{

const QString urlKey = QStringLiteral("URL");

bool hasScheme(const QString &text)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    return scheme.match(text).hasMatch();
}

bool isServer(const QString &url)
{
    return url.startsWith(QLatin1String("postgresql:"), Qt::CaseInsensitive) ||
           url.startsWith(QLatin1String("postgres:"), Qt::CaseInsensitive);
}

QString withoutPassword(const QString &url)
{
    const QUrl parsed(url);
    if (!parsed.isValid() || parsed.password().isEmpty())
        return url;
    return parsed.toString(QUrl::RemovePassword);
}

} // namespace

QVariantMap DatabaseAddress::fromArgument(const QString &argument)
{
    const QString text = argument.trimmed();
    if (text.isEmpty())
        return {};
    if (hasScheme(text)) {
        // A server's address, or any other: the adaptors judge it when the database is opened.
        const QString shown = text.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive)
                                  ? eo::EOSQLiteAdaptor::pathForURL(text)
                                  : withoutPassword(text);
        return {{urlKey, text}, {QStringLiteral("serverId"), shown}};
    }
    // A folder holds locavia.db and solma.db; a file named like a database is the inventory itself.
    const QFileInfo place(QDir::current(), text);
    const QString path = place.isDir() || !place.fileName().endsWith(QLatin1String(".db"))
                             ? QDir::cleanPath(place.absoluteFilePath() + QStringLiteral("/locavia.db"))
                             : QDir::cleanPath(place.absoluteFilePath());
    return {{urlKey, QStringLiteral("sqlite://") + path}, {QStringLiteral("serverId"), path}};
}

QVariantMap DatabaseAddress::applied(const QVariantMap &connection, const QVariantMap &address)
{
    if (address.value(urlKey).toString().isEmpty())
        return connection;
    QVariantMap result = connection;
    // The model's account goes; an account the address brings (the welcome's login and password) stays.
    for (const char *key : {"username", "userName", "password"})
        result.remove(QLatin1String(key));
    for (auto it = address.constBegin(); it != address.constEnd(); ++it)
        result.insert(it.key(), it.value());
    // The files attached to an embedded database sit beside the inventory named; an account is the named
    // database's own.
    const QString attachedKey = QStringLiteral("attachedDatabases");
    QVariantMap attached = result.value(attachedKey).toMap();
    for (auto it = attached.begin(); it != attached.end(); ++it)
        it.value() = QFileInfo(eo::EOSQLiteAdaptor::pathForURL(it.value().toString())).fileName();
    if (!attached.isEmpty())
        result.insert(attachedKey, attached);
    return result;
}

QString DatabaseAddress::describe(const QVariantMap &connection)
{
    const QString url = DataFolder::resolved(connection).value(urlKey).toString().trimmed();
    if (url.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive))
        return eo::EOSQLiteAdaptor::pathForURL(url);
    if (isServer(url)) {
        QUrl parsed(url);
        QString user = connection.value(QStringLiteral("username")).toString();
        if (user.isEmpty())
            user = connection.value(QStringLiteral("userName")).toString();
        if (parsed.isValid() && parsed.userName().isEmpty() && !user.isEmpty())
            parsed.setUserName(user);
        return parsed.isValid() ? parsed.toString(QUrl::RemovePassword) : url;
    }
    return withoutPassword(url);
}

} // namespace data
