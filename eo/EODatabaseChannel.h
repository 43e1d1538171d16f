#pragma once

#include "EOAdaptorChannel.h"
#include "EOAttribute.h"
#include "EOFetchRequest.h"
#include "EOGenericRecord.h"

#include <QList>
#include <QVariantList>

namespace eo
{

class EODatabaseContext;

// Fetches records of an entity: writes the SELECT, reads the rows through the adaptor and makes one record
// per row through the editing context.
class EODatabaseChannel
{
public:
    explicit EODatabaseChannel(EODatabaseContext &databaseContext);

    EODatabaseContext &databaseContext() const { return m_databaseContext; }
    EOAdaptorChannel &adaptorChannel() { return m_adaptorChannel; }

    QList<EORecord> selectObjectsWithFetchRequest(const EOFetchRequest &fetchSpec);

    // The SELECT of a fetch with its bound values, and how each column is read: what a fetch sends, and
    // therefore what a prefetch must declare to be taken for it.
    struct Select {
        QString sql;
        QVariantList bindings;
        QList<EOAttribute::Type> types;
    };
    Select selectForFetchRequest(const EOFetchRequest &fetchSpec) const;

private:
    EODatabaseContext &m_databaseContext;
    EOAdaptorChannel m_adaptorChannel;
};

} // namespace eo
