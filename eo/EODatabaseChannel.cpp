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

EODatabaseChannel::Select EODatabaseChannel::selectForFetchRequest(const EOFetchRequest &fetchSpec) const
{
    const EOEntity &entity = m_databaseContext.model().entity(fetchSpec.entityName);
    EOSQLExpression expression(entity, m_databaseContext.adaptor().dialect());
    Select select;
    select.sql = expression.selectStatement(fetchSpec);
    select.bindings = expression.bindings();
    select.types.reserve(entity.attributes().size());
    for (const EOAttribute &attribute : entity.attributes())
        select.types.append(attribute.type);
    return select;
}

QList<EORecord> EODatabaseChannel::selectObjectsWithFetchRequest(const EOFetchRequest &fetchSpec)
{
    const EOEntity &entity = m_databaseContext.model().entity(fetchSpec.entityName);
    const Select select = selectForFetchRequest(fetchSpec);
    std::vector<QList<QVariant>> rows =
        m_databaseContext.adaptor().selectRows(select.sql, select.bindings, select.types);
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
