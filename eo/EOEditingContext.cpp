#include "EOEditingContext.h"

#include "EOAndQualifier.h"
#include "EODatabaseChannel.h"
#include "EODatabaseContext.h"
#include "EOEntity.h"
#include "EOException.h"
#include "EOKeyValueQualifier.h"
#include "EOModelGroup.h"
#include "EONull.h"
#include "EOOrQualifier.h"
#include "EOValues.h"

#include <algorithm>

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

EOFetchRequest EOEditingContext::relationshipFetchRequest(const EORelationship &relationship,
                                                          const EOQualifierPtr &qualifier)
{
    EOFetchRequest fetchSpec;
    fetchSpec.entityName = relationship.destinationEntityName;
    fetchSpec.qualifier = qualifier;
    fetchSpec.refreshesRefetchedObjects = false;
    return fetchSpec;
}

QList<EORecord> EOEditingContext::objectsForRelationship(const EORelationship &relationship,
                                                         const EOQualifierPtr &qualifier)
{
    return objectsWithFetchRequest(relationshipFetchRequest(relationship, qualifier));
}

QHash<const EOEntity *, QList<EOGenericRecord *>>
EOEditingContext::recordsByEntity(const QList<EORecord> &records) const
{
    QHash<const EOEntity *, QList<EOGenericRecord *>> byEntity;
    for (const EORecord &record : records) {
        if (record && record->entity() && record->editingContext() == this)
            byEntity[record->entity()].append(record.get());
    }
    return byEntity;
}

namespace
{

QString tupleText(const QList<QVariant> &values)
{
    QString text;
    for (const QVariant &value : values)
        text += EOValues::displayText(value) + QChar(0x1f);
    return text;
}

} // namespace

EOEditingContext::RelationshipFetch
EOEditingContext::relationshipFetch(const EOEntity &entity, const QList<EOGenericRecord *> &records,
                                    const QString &key)
{
    // How many keys one fetch asks for: well under what either database binds in one statement.
    constexpr qsizetype batch = 250;
    RelationshipFetch fetch;
    const EORelationship *relationship = entity.relationshipNamed(key);
    if (!relationship || relationship->toMany || relationship->joins.isEmpty())
        return fetch;
    fetch.relationship = relationship;
    // The records still to read, by the values of their keys.
    QHash<QString, QList<QVariant>> keys;
    for (EOGenericRecord *record : records) {
        if (record->holdsRelationship(key))
            continue;
        QList<QVariant> values;
        bool null = false;
        for (const EORelationship::Join &join : relationship->joins) {
            values.append(record->valueForKey(join.sourceAttribute));
            null = null || isNullOrNone(values.last());
        }
        if (null) {
            // No related row can match a null key.
            fetch.nullKeyed.append(record);
            continue;
        }
        const QString text = tupleText(values);
        keys.insert(text, values);
        fetch.waiting[text].append(record);
    }
    // In the order of the keys' texts, so that the same records always give the same statements (a
    // prefetch declares them before they run).
    QStringList pending = keys.keys();
    std::sort(pending.begin(), pending.end());
    for (qsizetype start = 0; start < pending.size(); start += batch) {
        QList<EOQualifierPtr> alternatives;
        for (qsizetype i = start; i < std::min(start + batch, pending.size()); ++i) {
            const QList<QVariant> &values = keys.value(pending.at(i));
            QList<EOQualifierPtr> equalities;
            for (qsizetype j = 0; j < relationship->joins.size(); ++j)
                equalities.append(std::make_shared<EOKeyValueQualifier>(
                    relationship->joins.at(j).destinationAttribute, EOKeyValueQualifier::Operator::Equal,
                    values.at(j)));
            alternatives.append(equalities.size() == 1 ? equalities.first()
                                                       : std::make_shared<EOAndQualifier>(equalities));
        }
        fetch.requests.append(
            relationshipFetchRequest(*relationship, std::make_shared<EOOrQualifier>(alternatives)));
    }
    return fetch;
}

void EOEditingContext::prefetchKeyPaths(const QList<EORecord> &records, const QStringList &keyPaths)
{
    const auto byEntity = recordsByEntity(records);
    if (byEntity.isEmpty())
        return;
    for (const QString &keyPath : keyPaths) {
        const qsizetype dot = keyPath.indexOf(QLatin1Char('.'));
        if (dot > 0)
            prefetchRelationship(byEntity, keyPath.left(dot), keyPath.mid(dot + 1));
    }
}

QList<EOFetchRequest> EOEditingContext::keyPathFetchRequests(const QList<EORecord> &records,
                                                             const QStringList &keyPaths) const
{
    QList<EOFetchRequest> requests;
    const auto byEntity = recordsByEntity(records);
    for (const QString &keyPath : keyPaths) {
        const qsizetype dot = keyPath.indexOf(QLatin1Char('.'));
        if (dot <= 0)
            continue;
        for (auto group = byEntity.constBegin(); group != byEntity.constEnd(); ++group)
            requests += relationshipFetch(*group.key(), group.value(), keyPath.left(dot)).requests;
    }
    return requests;
}

void EOEditingContext::prefetchRelationship(const QHash<const EOEntity *, QList<EOGenericRecord *>> &byEntity,
                                            const QString &key, const QString &rest)
{
    // Each entity has its own relationship of that name.
    QList<EOGenericRecord *> targets;
    for (auto group = byEntity.constBegin(); group != byEntity.constEnd(); ++group) {
        const RelationshipFetch fetch = relationshipFetch(*group.key(), group.value(), key);
        if (!fetch.relationship)
            continue;
        for (EOGenericRecord *record : fetch.nullKeyed)
            record->takeValueForKey(eoNull(), key);
        QHash<QString, EORecord> found;
        for (const EOFetchRequest &request : fetch.requests) {
            for (const EORecord &target : objectsWithFetchRequest(request)) {
                QList<QVariant> values;
                for (const EORelationship::Join &join : fetch.relationship->joins)
                    values.append(target->valueForKey(join.destinationAttribute));
                found.insert(tupleText(values), target); // the last of equal keys, none in practice
            }
        }
        for (auto it = fetch.waiting.constBegin(); it != fetch.waiting.constEnd(); ++it) {
            const EORecord target = found.value(it.key());
            for (EOGenericRecord *record : it.value())
                record->takeValueForKey(target ? EOGenericRecord::toVariant(target) : eoNull(), key);
        }
        if (rest.contains(QLatin1Char('.'))) {
            for (EOGenericRecord *record : group.value()) {
                const EORecord target = EOGenericRecord::fromVariant(record->valueForKey(key));
                if (target && target->editingContext() == this && !targets.contains(target.get()))
                    targets.append(target.get());
            }
        }
    }
    const qsizetype dot = rest.indexOf(QLatin1Char('.'));
    if (dot <= 0 || targets.isEmpty())
        return;
    QHash<const EOEntity *, QList<EOGenericRecord *>> next;
    for (EOGenericRecord *target : std::as_const(targets))
        next[target->entity()].append(target);
    prefetchRelationship(next, rest.left(dot), rest.mid(dot + 1));
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
