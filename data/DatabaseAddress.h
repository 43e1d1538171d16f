#pragma once

#include <QString>
#include <QVariantMap>

namespace data
{

// A database named on a command line instead of the model's: the folder of an embedded database (or its
// locavia.db file), or an address such as postgresql://compte@serveur:port/base. Whether it can be opened is
// learnt when it is opened, with the messages of the adaptors.
class DatabaseAddress
{
public:
    DatabaseAddress() = delete;

    // The connection entries the argument stands for (URL and serverId); empty for an empty argument.
    // A relative folder is taken from the current directory.
    static QVariantMap fromArgument(const QString &argument);
    // The model's connection with the named database in place of its own. A database named this way brings
    // its own account (in its address, its own username and password entries, or libpq's PGUSER,
    // PGPASSWORD and ~/.pgpass), not the model's.
    static QVariantMap applied(const QVariantMap &connection, const QVariantMap &address);
    // The database of a connection as a user reads it, without its password: « /dossier/locavia.db » for an
    // embedded database, « postgresql://compte@serveur:port/base » for a server.
    static QString describe(const QVariantMap &connection);
};

} // namespace data
