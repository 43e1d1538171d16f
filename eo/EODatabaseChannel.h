#pragma once

#include "EOAdaptorChannel.h"
#include "EOFetchRequest.h"
#include "EOGenericRecord.h"

#include <QList>

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

private:
    EODatabaseContext &m_databaseContext;
    EOAdaptorChannel m_adaptorChannel;
};

} // namespace eo
