#include "EOEditingContext.h"

#include "EODatabaseChannel.h"
#include "EODatabaseContext.h"
#include "EOEntity.h"
#include "EOException.h"
#include "EOModelGroup.h"
#include "EOValues.h"

namespace eo
{

EOEditingContext::EOEditingContext(EOModelGroup &modelGroup, QObject *parent)
    : QObject(parent), m_modelGroup(modelGroup)
{
}

EOEditingContext::~EOEditingContext() = default;

const EOModel &EOEditingContext::modelForEntity(const QString &entityName) const
{
    return m_modelGroup.modelForEntityNamed(entityName);
}

EODatabaseContext &EOEditingContext::databaseContextForModel(const EOModel &model)
{
    auto &slot = m_databaseContexts[&model];
    if (!slot)
        slot = std::make_unique<EODatabaseContext>(model, *this);
    return *slot;
}

QList<EORecord> EOEditingContext::objectsWithFetchRequest(const EOFetchRequest &fetchSpec)
{
    const EOModel &model = modelForEntity(fetchSpec.entityName);
    return databaseContextForModel(model).availableChannel().selectObjectsWithFetchRequest(fetchSpec);
}

QList<QVariantMap> EOEditingContext::rawRowsWithSQL(const QString &sql, const QString &modelName,
                                                    const QVariantList &bindings)
{
    const EOModel *model = m_modelGroup.modelNamed(modelName);
    if (!model) {
        throw EOException(EOException::Kind::Model,
                          QStringLiteral("Le modèle « %1 » n'est pas chargé.").arg(modelName));
    }
    return databaseContextForModel(*model).adaptor().rawRows(sql, bindings);
}

QString EOEditingContext::keyForValues(const EOEntity &entity, const QList<QVariant> &values)
{
    const QList<int> &indexes = entity.primaryKeyIndexes();
    if (indexes.size() == 1)
        return EOValues::displayText(values.at(indexes.first()));
    QString key;
    for (int index : indexes) {
        key += EOValues::displayText(values.at(index));
        key += QChar(0x1f);
    }
    return key;
}

template <typename Key>
EORecord EOEditingContext::uniqueRecord(QHash<Key, std::weak_ptr<EOGenericRecord>> &records, const Key &key,
                                        const EOEntity &entity, QList<QVariant> &&values, bool refresh)
{
    std::weak_ptr<EOGenericRecord> &slot = records[key];
    if (EORecord held = slot.lock()) {
        if (refresh)
            held->refreshValues(std::move(values));
        return held;
    }
    EORecord record = std::make_shared<EOGenericRecord>(&entity, this, std::move(values));
    slot = record;
    // Forget the rows nobody holds any more, now and then, so the table does not grow without end.
    if (records.size() > 1024 && (records.size() & (records.size() - 1)) == 0) {
        for (auto it = records.begin(); it != records.end();) {
            if (it.value().expired())
                it = records.erase(it);
            else
                ++it;
        }
    }
    return record;
}

EORecord EOEditingContext::recordForRow(const EOEntity &entity, QList<QVariant> &&values, bool refresh)
{
    const QList<int> &keys = entity.primaryKeyIndexes();
    if (keys.isEmpty())
        return std::make_shared<EOGenericRecord>(&entity, this, std::move(values));
    if (keys.size() == 1) {
        const QVariant &key = values.at(keys.first());
        if (key.metaType().id() == QMetaType::LongLong) {
            const qint64 number = key.toLongLong();
            return uniqueRecord(m_recordsByNumber[&entity], number, entity, std::move(values), refresh);
        }
    }
    const QString key = keyForValues(entity, values);
    return uniqueRecord(m_records[&entity], key, entity, std::move(values), refresh);
}

QList<EORecord> EOEditingContext::objectsForRelationship(const EORelationship &relationship,
                                                         const EOQualifierPtr &qualifier)
{
    EOFetchRequest fetchSpec;
    fetchSpec.entityName = relationship.destinationEntityName;
    fetchSpec.qualifier = qualifier;
    fetchSpec.refreshesRefetchedObjects = false;
    return objectsWithFetchRequest(fetchSpec);
}

void EOEditingContext::insertObject(const EORecord &record)
{
    if (!record)
        return;
    record->setEditingContext(this);
    if (!m_inserted.contains(record))
        m_inserted.append(record);
}

qsizetype EOEditingContext::registeredObjectCount(const QString &entityName) const
{
    const EOEntity *entity = m_modelGroup.entityNamed(entityName);
    if (!entity)
        return 0;
    qsizetype count = 0;
    for (const auto &slot : m_recordsByNumber.value(entity)) {
        if (!slot.expired())
            ++count;
    }
    for (const auto &slot : m_records.value(entity)) {
        if (!slot.expired())
            ++count;
    }
    return count;
}

} // namespace eo
