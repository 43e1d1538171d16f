#pragma once

#include "DemoDataGenerator.h"

#include <QString>
#include <QVariantMap>

namespace admin
{

// Fills a department's server with the demo data: the very data the embedded database gets, made by the
// demo generator in a temporary embedded database and copied to the server in one transaction.
//
// The server's own reference rows (buildings, units, groups...) are copied into the temporary database
// first, so that the generator keeps and reuses them as it does on an embedded database; only the rows it
// adds travel back. The rows go through COPY, so 100,000 rooms load in seconds; afterwards the key
// generators move past the keys written. Throws eo::EOException with a French message on failure (nothing
// is written then).
class PostgreSQLDemoLoader
{
public:
    // Writes nothing and answers false when the server already holds rooms.
    static bool fill(const QVariantMap &connectionDictionary, int rooms, const QString &login,
                     DemoDataGenerator::Summary *summary);
};

} // namespace admin
