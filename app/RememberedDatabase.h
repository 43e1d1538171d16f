#pragma once

#include <QString>
#include <QVariantMap>

namespace app
{

// The database the user chose at the first start, kept in the user's settings
// (~/.config/Locavia/Locavia.conf: DatabaseURL, and DatabaseLogin for a server's account; never a password)
// so that the next starts open it directly. It stands in for the model's default database, the one of the
// user's data folder; a database named on the command line, or by a model or directory service that names
// another, wins over it.
class RememberedDatabase
{
public:
    RememberedDatabase() = delete;

    static const QString urlKey;
    static const QString loginKey;

    // Whether a model's connection opens the user's data folder (its URL names ${LOCAVIA_DATA}): the only
    // database the welcome and the remembered choice replace.
    static bool opensTheDataFolder(const QVariantMap &connection);
    // Whether the data folder holds no database yet (no locavia.db): the first start.
    static bool dataFolderIsEmpty();

    // The database remembered, as data::DatabaseAddress entries (URL, serverId, username); empty when none.
    static QVariantMap recall();
    // Keeps the address's URL and account, without its password. False when the settings file could not be
    // written (a full disk, a folder the user may not write): the choice then holds for this run only.
    static bool remember(const QVariantMap &address);

    // Why a remembered embedded database cannot be opened any more (its locavia.db is gone), in French; ""
    // when it is there, and for a server (FirstDatabase::connect tells).
    static QString whyGone(const QVariantMap &address);
};

} // namespace app
