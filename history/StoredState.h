#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace data
{
class KORDataBusOC;
}

namespace history
{

// Stored records as comparable text: the rows of a few queries, read through the data bus's connection
// (inside its transaction when one is open) without touching the records the forms are editing. Two reads
// of the same queries are equal exactly when the rows and their values are.
class StoredState
{
public:
    struct Requete {
        QString sql;
        QVariantList valeurs;
    };

    StoredState() = delete;

    // One line per row, "query number: value|value|...", in the order of the queries and of their rows; on
    // the server, where every statement is a round trip, the queries are read in one statement and each
    // query with rows gives one line, "query number: its rows as JSON". The record a query locks (FOR
    // UPDATE) is locked as well either way.
    // avant, when given, runs first in the same round trip (a hold that the reading must come after).
    static QStringList lire(data::KORDataBusOC &dataBus, const QList<Requete> &requetes,
                            const Requete *avant = nullptr);
};

} // namespace history
