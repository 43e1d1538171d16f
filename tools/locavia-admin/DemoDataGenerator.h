#pragma once

#include <QString>

namespace admin
{

// Fills an installed embedded database with demo data: buildings with addresses and sites, room types,
// groups and departments, equipment and units, kinds of use, rooms with every attribute and their
// sub-lists, option rooms, the parameters of the rights test and an account allowed to use the
// application. Deterministic: the same number of rooms gives the same data. One transaction, prepared
// statements: 100,000 rooms take a few seconds.
class DemoDataGenerator
{
public:
    struct Summary {
        int buildings = 0;
        int rooms = 0;
        int optionRooms = 0;
        int outlets = 0;
        int equipmentLines = 0;
        int occupationLines = 0;
        QString login;
    };

    // Writes nothing and answers false when the database already holds rooms. Reference rows that exist
    // already (a building code, a unit abbreviation, a group...) are kept and reused. Throws
    // eo::EOException with a French message on failure (nothing is written then).
    static bool fill(const QString &directory, int rooms, const QString &login, Summary *summary);
    // Lets the user in a database that stays without demo data: the groups allowed to manage rooms, the
    // user's account, the parameters of the rights test; rows that exist already are kept. Throws
    // eo::EOException with a French message on failure (nothing is written then).
    static void grantAccess(const QString &directory, const QString &login);

    // The login of the user running the command, in lower case ("" when the system does not tell).
    static QString currentLogin();
};

} // namespace admin
