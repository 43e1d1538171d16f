#include "EODatabaseChannel.h"

#include "EODatabaseContext.h"
#include "EOEditingContext.h"
#include "EOModel.h"
#include "EOSQLExpression.h"

#include <unordered_set>

namespace eo
{

EODatabaseChannel::EODatabaseChannel(EODatabaseContext &databaseContext)
    : m_databaseContext(databaseContext), m_adaptorChannel(databaseContext.adaptor())
{
}

QList<EORecord> EODatabaseChannel::selectObjectsWithFetchRequest(const EOFetchRequest &fetchSpec)
{
    const EOEntity &entity = m_databaseContext.model().entity(fetchSpec.entityName);
    EOAdaptor &adaptor = m_databaseContext.adaptor();
    EOSQLExpression expression(entity, adaptor.dialect());
    const QString sql = expression.selectStatement(fetchSpec);
    QList<EOAttribute::Type> types;
    types.reserve(entity.attributes().size());
    for (const EOAttribute &attribute : entity.attributes())
        types.append(attribute.type);

    std::vector<QList<QVariant>> rows = adaptor.selectRows(sql, expression.bindings(), types);
    EOEditingContext &context = m_databaseContext.editingContext();
    QList<EORecord> records;
    records.reserve(qsizetype(rows.size()));
    const bool dropDuplicates = fetchSpec.usesDistinct && !entity.primaryKeyIndexes().isEmpty();
    std::unordered_set<const EOGenericRecord *> seen;
    for (QList<QVariant> &row : rows) {
        EORecord record = context.recordForRow(entity, std::move(row), fetchSpec.refreshesRefetchedObjects);
        if (dropDuplicates && !seen.insert(record.get()).second)
            continue;
        records.append(std::move(record));
    }
    return records;
}

} // namespace eo
