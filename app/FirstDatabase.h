#pragma once

#include <QString>
#include <QVariantMap>

namespace app
{

// What the welcome's four choices do, away from its window: each answers the address of the database to
// open (data::DatabaseAddress entries: URL, serverId, and for a server its account and password) or throws
// eo::EOException with a French message that says what to do; nothing is half done.
class FirstDatabase
{
public:
    FirstDatabase() = delete;

    // The demo database's number of rooms, as locavia-admin makes it.
    static constexpr int demoRooms = 300;

    // "Créer une base vide": locavia.db and solma.db installed in the folder (made if needed), with the
    // user's account allowed to manage rooms and nothing else. A folder that holds a database already is
    // left alone.
    static QVariantMap createEmpty(const QString &folder, const QString &login);
    // "Créer une base de démonstration": the same, filled with demo buildings and rooms.
    static QVariantMap createDemo(const QString &folder, const QString &login);
    // "Ouvrir une base…": a folder that holds locavia.db and solma.db, or its locavia.db file.
    static QVariantMap openExisting(const QString &path);
    // "Se connecter à un serveur…": a postgresql:// address, with an account and a password (either may be
    // empty: libpq's PGUSER, PGPASSWORD and ~/.pgpass then answer), checked by connecting as the program
    // will, with the model's connection (its schemas, its time limits), and reading the reference schema.
    static QVariantMap connect(const QVariantMap &modelConnection, const QString &url, const QString &login,
                               const QString &password);
    // The same check for an address already made (a server remembered, its password typed again).
    static void check(const QVariantMap &modelConnection, const QVariantMap &address);
};

} // namespace app
