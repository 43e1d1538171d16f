#include "FirstDatabase.h"

#include "DatabaseAddress.h"
#include "DemoDataGenerator.h"
#include "EOAdaptor.h"
#include "EOException.h"
#include "Resources.h"
#include "SqliteDatabaseInstaller.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace app
{

namespace
{

[[noreturn]] void refuse(const QString &message)
{
    throw eo::EOException(eo::EOException::Kind::Database, message);
}

QString inventoryOf(const QString &folder)
{
    return QDir(folder).absoluteFilePath(data::SqliteDatabaseInstaller::inventoryFileName());
}

// Installs the database in a folder that has none yet, then lets the user in (and fills it on demand).
QVariantMap create(const QString &folder, const QString &login, bool demo)
{
    const QString inventory = inventoryOf(folder);
    if (QFileInfo::exists(inventory)) {
        refuse(QStringLiteral("Le dossier « %1 » contient déjà une base Locavia : ouvrez-la avec « Ouvrir "
                              "une base… », ou déplacez-la pour en créer une nouvelle.")
                   .arg(QDir::toNativeSeparators(folder)));
    }
    if (!QDir().mkpath(folder)) {
        refuse(QStringLiteral("Le dossier « %1 » ne peut pas être créé : vérifiez que vous pouvez écrire "
                              "dans le dossier qui le contient.")
                   .arg(QDir::toNativeSeparators(folder)));
    }
    const QString solma = QDir(folder).absoluteFilePath(data::SqliteDatabaseInstaller::solmaFileName());
    const bool solmaWasThere = QFileInfo::exists(solma);
    data::SqliteDatabaseInstaller::install(folder, platform::resourcesDirectory());
    try {
        if (demo)
            admin::DemoDataGenerator::fill(folder, FirstDatabase::demoRooms, login, nullptr);
        else
            admin::DemoDataGenerator::grantAccess(folder, login);
    } catch (const eo::EOException &) {
        // A database nobody may enter is no database: the files just made go, and the choice can be made
        // again once the cause is mended.
        QFile::remove(inventory);
        if (!solmaWasThere)
            QFile::remove(solma);
        throw;
    }
    return data::DatabaseAddress::fromArgument(inventory);
}

} // namespace

QVariantMap FirstDatabase::createEmpty(const QString &folder, const QString &login)
{
    return create(folder, login, false);
}

QVariantMap FirstDatabase::createDemo(const QString &folder, const QString &login)
{
    return create(folder, login, true);
}

QVariantMap FirstDatabase::openExisting(const QString &path)
{
    const QFileInfo place(path);
    const QString inventory = place.isDir() ? inventoryOf(path) : place.absoluteFilePath();
    const QString folder = QFileInfo(inventory).absolutePath();
    if (!QFileInfo(inventory).isFile() ||
        QFileInfo(inventory).fileName() != data::SqliteDatabaseInstaller::inventoryFileName()) {
        refuse(QStringLiteral("« %1 » ne contient pas de base Locavia : une base est un dossier qui contient "
                              "les fichiers locavia.db et solma.db.")
                   .arg(QDir::toNativeSeparators(path)));
    }
    const QString solma = QDir(folder).absoluteFilePath(data::SqliteDatabaseInstaller::solmaFileName());
    if (!QFileInfo(solma).isFile()) {
        refuse(QStringLiteral("Le dossier « %1 » contient locavia.db mais pas solma.db, qui l'accompagne : "
                              "remettez solma.db à côté de locavia.db (depuis sa sauvegarde).")
                   .arg(QDir::toNativeSeparators(folder)));
    }
    return data::DatabaseAddress::fromArgument(inventory);
}

QVariantMap FirstDatabase::connect(const QVariantMap &modelConnection, const QString &url,
                                   const QString &login, const QString &password)
{
    const QString text = url.trimmed();
    if (!text.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) &&
        !text.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive)) {
        refuse(QStringLiteral("L'adresse d'un serveur commence par postgresql:// : par exemple "
                              "postgresql://serveur.universite.fr:5432/locavia."));
    }
    // A password written in the address is taken out of it: the address is remembered, a password never.
    QString address = text;
    QString secret = password;
    const QUrl parsed(text);
    if (parsed.isValid() && !parsed.password().isEmpty()) {
        if (secret.isEmpty())
            secret = parsed.password();
        address = parsed.toString(QUrl::RemovePassword);
    }
    QVariantMap result = data::DatabaseAddress::fromArgument(address);
    if (!login.trimmed().isEmpty())
        result.insert(QStringLiteral("username"), login.trimmed());
    if (!secret.isEmpty())
        result.insert(QStringLiteral("password"), secret);
    check(modelConnection, result);
    return result;
}

void FirstDatabase::check(const QVariantMap &modelConnection, const QVariantMap &address)
{
    std::unique_ptr<eo::EOAdaptor> adaptor = eo::EOAdaptor::adaptorWithConnectionDictionary(
        data::DatabaseAddress::applied(modelConnection, address));
    // The reference schema's parameters are what the start-up reads first.
    adaptor->rawRows(QStringLiteral("SELECT COUNT(*) FROM SOLMA.SOLMA_PARAMETRES"), {});
    adaptor->close();
}

} // namespace app
