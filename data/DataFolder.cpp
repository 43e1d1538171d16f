#include "DataFolder.h"

#include <QStandardPaths>

namespace data
{

QString DataFolder::path()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Locavia");
}

QVariantMap DataFolder::resolved(QVariantMap connectionDictionary)
{
    const QString key = QStringLiteral("URL");
    QString url = connectionDictionary.value(key).toString();
    if (url.contains(QLatin1String("${LOCAVIA_DATA}"))) {
        url.replace(QLatin1String("${LOCAVIA_DATA}"), path());
        connectionDictionary.insert(key, url);
    }
    return connectionDictionary;
}

} // namespace data
