#pragma once

#include "EOPostgreSQLConnection.h"

#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace data
{

// Creates or upgrades the server database of a department (PostgreSQL), from the SQL under
// <resources>/sql/postgresql/: the schemas "locavia" (the room inventory) and "solma" (the shared reference
// tables), their views, to_number, the change history with its triggers, the stored procedures as
// functions, and the rights of the clients' group role.
//
// - The database itself is created when the server does not have it yet (UTF-8, a locale whose UPPER
//   knows accented letters), provided the account may create databases.
// - Installing again upgrades in place: missing tables and indexes are created, views and procedures are
//   made again, data is kept. Two installations at once on one database take turns.
// - Everything runs in one transaction: a failing script leaves the database as it was.
// - Before committing, every stored procedure of the model must exist on the server with the model's
//   argument names, so that a mismatch is found at install time rather than when a user saves a room.
// Every failure throws eo::EOException with a French message.
class PostgreSQLDatabaseInstaller
{
public:
    struct Report {
        bool databaseCreated = false;
        int procedures = 0;
        QString database; // « host:port/database »
    };

    static Report install(const QVariantMap &connectionDictionary, const QString &resourcesDir);

    // The scripts, in the order they run, relative to <resources>/sql/postgresql/.
    static QStringList scripts(const QString &resourcesDir);
    // Creates the database the parameters name when the server lacks it; true when it was created.
    static bool createDatabase(const eo::EOPostgreSQLConnection::Parameters &parameters);
    // Drops a database of the server the parameters name (the tests' throwaway databases), ending the
    // sessions still connected to it.
    static void dropDatabase(const eo::EOPostgreSQLConnection::Parameters &parameters,
                             const QString &database);
    // The group role whose members use the application.
    static QString clientsRole() { return QStringLiteral("locavia_utilisateurs"); }
};

} // namespace data
