#include "RememberedDatabase.h"

#include "DataFolder.h"
#include "DatabaseAddress.h"
#include "EOSQLiteAdaptor.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace app
{

namespace
{

const QString url = QStringLiteral("URL");
const QString username = QStringLiteral("username");

bool isEmbedded(const QString &address)
{
    return address.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive);
}

} // namespace

const QString RememberedDatabase::urlKey = QStringLiteral("DatabaseURL");
const QString RememberedDatabase::loginKey = QStringLiteral("DatabaseLogin");

bool RememberedDatabase::opensTheDataFolder(const QVariantMap &connection)
{
    return connection.value(url).toString().contains(QLatin1String("${LOCAVIA_DATA}"));
}

bool RememberedDatabase::dataFolderIsEmpty()
{
    return !QFileInfo::exists(QDir(data::DataFolder::path()).filePath(QStringLiteral("locavia.db")));
}

QVariantMap RememberedDatabase::recall()
{
    const QSettings stored(QStringLiteral("Locavia"), QStringLiteral("Locavia"));
    QVariantMap address = data::DatabaseAddress::fromArgument(stored.value(urlKey).toString());
    const QString login = stored.value(loginKey).toString().trimmed();
    if (!address.isEmpty() && !login.isEmpty())
        address.insert(username, login);
    return address;
}

bool RememberedDatabase::remember(const QVariantMap &address)
{
    QSettings stored(QStringLiteral("Locavia"), QStringLiteral("Locavia"));
    stored.setValue(urlKey, address.value(url).toString());
    const QString login = address.value(username).toString();
    if (login.isEmpty())
        stored.remove(loginKey);
    else
        stored.setValue(loginKey, login);
    stored.sync();
    return stored.status() == QSettings::NoError;
}

QString RememberedDatabase::whyGone(const QVariantMap &address)
{
    const QString where = address.value(url).toString();
    if (!isEmbedded(where))
        return {};
    const QString inventory = eo::EOSQLiteAdaptor::pathForURL(where);
    if (QFileInfo(inventory).isFile())
        return {};
    return QStringLiteral("La base de données choisie au démarrage précédent, « %1 », n'existe plus : le "
                          "fichier a été déplacé ou supprimé. Choisissez la base à ouvrir.")
        .arg(QDir::toNativeSeparators(inventory));
}

} // namespace app
