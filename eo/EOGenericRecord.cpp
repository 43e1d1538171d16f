#include "EOGenericRecord.h"

#include "EOAndQualifier.h"
#include "EOEditingContext.h"
#include "EOEntity.h"
#include "EOException.h"
#include "EOKeyValueQualifier.h"
#include "EONull.h"
#include "EOValues.h"

namespace eo
{

namespace
{

// Two values of a key, as the database would compare them.
bool sameValue(const QVariant &a, const QVariant &b)
{
    const bool aNull = isNullOrNone(a);
    const bool bNull = isNullOrNone(b);
    return aNull || bNull ? aNull == bNull : EOValues::displayText(a) == EOValues::displayText(b);
}

} // namespace

EOGenericRecord::EOGenericRecord(const EOEntity *entity, EOEditingContext *context)
    : m_entity(entity), m_context(static_cast<QObject *>(context))
{
    if (m_entity) {
        m_values.reserve(m_entity->attributes().size());
        for (qsizetype i = 0; i < m_entity->attributes().size(); ++i)
            m_values.append(eoNull());
    }
}

EOGenericRecord::EOGenericRecord(const EOEntity *entity, EOEditingContext *context, QList<QVariant> &&values)
    : m_entity(entity), m_context(static_cast<QObject *>(context)), m_values(std::move(values))
{
}

EORecord EOGenericRecord::create(const EOEntity *entity, EOEditingContext *context)
{
    return std::make_shared<EOGenericRecord>(entity, context);
}

EORecord EOGenericRecord::fromVariant(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<EORecord>())
        return value.value<EORecord>();
    return {};
}

EOEditingContext *EOGenericRecord::editingContext() const
{
    return static_cast<EOEditingContext *>(m_context.data());
}

void EOGenericRecord::setEditingContext(EOEditingContext *context)
{
    m_context = static_cast<QObject *>(context);
}

QString EOGenericRecord::entityName() const
{
    return m_entity ? m_entity->name : QString();
}

QVariant EOGenericRecord::valueForKey(const QString &key) const
{
    if (m_entity) {
        const int index = m_entity->attributeIndex(key);
        if (index >= 0)
            return m_values.at(index);
    }
    const auto it = m_extra.constFind(key);
    if (it != m_extra.constEnd())
        return it.value();
    if (!m_entity)
        return {};
    if (m_entity->relationshipNamed(key))
        return faultRelationship(key);
    throw EOException(
        EOException::Kind::Model,
        QStringLiteral("La clé « %1 » n'existe pas pour l'entité %2.").arg(key, m_entity->name));
}

QVariant EOGenericRecord::valueForKeyPath(const QString &keyPath) const
{
    return followKeyPath(keyPath, true);
}

QVariant EOGenericRecord::heldValueForKeyPath(const QString &keyPath) const
{
    return followKeyPath(keyPath, false);
}

QVariant EOGenericRecord::followKeyPath(const QString &keyPath, bool fetch) const
{
    const qsizetype dot = keyPath.indexOf(QLatin1Char('.'));
    const QString key = dot < 0 ? keyPath : keyPath.left(dot);
    if (!fetch && m_entity && m_entity->attributeIndex(key) < 0 && !m_extra.contains(key) &&
        m_entity->relationshipNamed(key))
        return {};
    const QVariant head = valueForKey(key);
    if (dot < 0)
        return head;
    const EORecord next = fromVariant(head);
    if (!next) {
        if (head.metaType().id() == QMetaType::QVariantMap)
            return head.toMap().value(keyPath.mid(dot + 1));
        return {};
    }
    return next->followKeyPath(keyPath.mid(dot + 1), fetch);
}

void EOGenericRecord::takeValueForKey(const QVariant &value, const QString &key)
{
    if (m_entity) {
        const int index = m_entity->attributeIndex(key);
        if (index >= 0) {
            m_values[index] = value.isValid() ? value : eoNull();
            return;
        }
    }
    m_extra.insert(key, value);
}

QStringList EOGenericRecord::allKeys() const
{
    QStringList keys;
    if (m_entity) {
        for (const EOAttribute &attribute : m_entity->attributes())
            keys.append(attribute.name);
    }
    for (auto it = m_extra.constBegin(); it != m_extra.constEnd(); ++it) {
        if (!keys.contains(it.key()))
            keys.append(it.key());
    }
    return keys;
}

void EOGenericRecord::refreshValues(QList<QVariant> &&values)
{
    if (m_entity && !m_extra.isEmpty()) {
        for (const EORelationship &relationship : m_entity->relationships()) {
            if (!m_extra.contains(relationship.name))
                continue;
            bool sameRow = !relationship.toMany;
            for (const EORelationship::Join &join : relationship.joins) {
                const int index = m_entity->attributeIndex(join.sourceAttribute);
                if (index < 0 || index >= values.size() ||
                    !sameValue(m_values.value(index), values.at(index)))
                    sameRow = false;
            }
            if (!sameRow)
                m_extra.remove(relationship.name);
        }
    }
    m_values = std::move(values);
}

QVariant EOGenericRecord::faultRelationship(const QString &key) const
{
    const EORelationship *relationship = m_entity->relationshipNamed(key);
    EOEditingContext *context = editingContext();
    if (!context) {
        throw EOException(EOException::Kind::Model,
                          QStringLiteral("La relation « %1 » de l'entité %2 ne peut pas être lue : "
                                         "l'enregistrement n'a pas de contexte d'édition.")
                              .arg(key, m_entity->name));
    }
    QList<EOQualifierPtr> conditions;
    for (const EORelationship::Join &join : relationship->joins) {
        const QVariant sourceValue = valueForKey(join.sourceAttribute);
        if (isNullOrNone(sourceValue)) {
            // No related row can match a null key.
            const QVariant empty = relationship->toMany ? QVariant(QVariantList()) : QVariant(eoNull());
            m_extra.insert(key, empty);
            return empty;
        }
        conditions.append(std::make_shared<EOKeyValueQualifier>(
            join.destinationAttribute, EOKeyValueQualifier::Operator::Equal, sourceValue));
    }
    const EOQualifierPtr qualifier =
        conditions.size() == 1 ? conditions.first() : std::make_shared<EOAndQualifier>(conditions);
    const QList<EORecord> found = context->objectsForRelationship(*relationship, qualifier);
    QVariant result;
    if (relationship->toMany) {
        QVariantList list;
        list.reserve(found.size());
        for (const EORecord &record : found)
            list.append(toVariant(record));
        result = list;
    } else {
        result = found.isEmpty() ? eoNull() : toVariant(found.first());
    }
    m_extra.insert(key, result);
    return result;
}

} // namespace eo
