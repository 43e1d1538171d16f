#include "AboutLocavia.h"

namespace app
{

QString AboutLocavia::text(const QString &version, const QString &database, const QString &logPath)
{
    return QStringLiteral("Locavia %1\n"
                          "L'inventaire des locaux de l'université : bâtiments, salles, équipements et "
                          "usages.\n\n"
                          "Base de données : %2\n"
                          "Journal : %3\n\n"
                          "Qt %4")
        .arg(version, database.isEmpty() ? QStringLiteral("aucune n'est encore ouverte") : database,
             logPath.isEmpty() ? QStringLiteral("non enregistré dans un fichier") : logPath,
             QString::fromLatin1(qVersion()));
}

} // namespace app
