#pragma once

#include "EOGenericRecord.h"
#include "EOQualifier.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

namespace data
{
class KORDataBusOC;
}

namespace framework
{

// The application's tunable values, kept in database tables of key/value rows: the entity Parametres, with
// a fallback to the rows "<prefix>_DEFAULT_STRING" and "<prefix>_DEFAULT_NUMBER" when a key has no row, and
// any table with the columns param_key and param_value, read by a raw query with the entity as fallback.
// Keys are bound values: a quote in a key is part of the key, never SQL or qualifier syntax.
class KORParameters
{
public:
    // What the last lookup used and found, which the application keeps.
    struct LastLookup {
        QString qualifierText;
        eo::EOQualifierPtr qualifier;
        QVariantList result; // records (eo::EORecord) or raw rows (QVariantMap)
    };

    // prefix: the configured DEFAULT_PREFIXE; when it is absent or empty the fallback keys match no row.
    KORParameters(data::KORDataBusOC &dataBus, QString prefix, LastLookup *last = nullptr);
    KORParameters(const KORParameters &) = delete;
    KORParameters &operator=(const KORParameters &) = delete;

    // The Parametres rows of the key, else those of the fallback key of the type ("STRING" or "NUMBER"; any
    // other type reads the same key again); possibly none.
    QList<eo::EORecord> getValues(const QString &key, const QString &type);
    // The paramValue of the first row of getValues with "STRING" / "NUMBER", as stored; none without a row.
    QVariant getStringValue(const QString &key);
    QVariant getNumberValue(const QString &key);

    // The param_value rows of a table (a name such as "SOLMA.SOLMA_PARAMETRES") for the key, each read
    // under "Attribute0". The type takes no part. A table name that is not a plain, possibly
    // schema-qualified, identifier is refused with an EOException before anything reaches the database.
    QList<QVariantMap> getValues(const QString &key, const QString &table, const QString &type);
    // The value of the table's first row for the key, else the entity's value with its fallback.
    QVariant getStringValue(const QString &key, const QString &table);
    QVariant getNumberValue(const QString &key, const QString &table);

    static bool isTableName(const QString &table);

private:
    QList<eo::EORecord> fetchKey(const QString &key);
    QVariant firstValue(const QList<eo::EORecord> &rows) const;
    QVariant valueFromTable(const QString &key, const QString &table, const QString &type);

    data::KORDataBusOC &m_dataBus;
    QString m_prefix;
    LastLookup m_ownLast;
    LastLookup &m_last;
};

} // namespace framework
