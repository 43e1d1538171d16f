#pragma once

#include <QHash>
#include <QList>
#include <QMetaType>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <memory>

namespace eo
{

class EOEntity;
class EOEditingContext;
class EOGenericRecord;
using EORecord = std::shared_ptr<EOGenericRecord>;

// One row of an entity (or, without entity, a dictionary line that the user builds in memory), read and set
// by key. Attribute values are held in the entity's attribute order; other keys (relationship targets set by
// the program, lines' own keys, values set for a report) are kept beside them. A to-one or to-many
// relationship that has not been read yet is fetched through the record's editing context on first access.
class EOGenericRecord
{
public:
    explicit EOGenericRecord(const EOEntity *entity = nullptr, EOEditingContext *context = nullptr);
    EOGenericRecord(const EOEntity *entity, EOEditingContext *context, QList<QVariant> &&values);

    static EORecord create(const EOEntity *entity = nullptr, EOEditingContext *context = nullptr);
    static QVariant toVariant(const EORecord &record) { return QVariant::fromValue(record); }
    static EORecord fromVariant(const QVariant &value);

    const EOEntity *entity() const { return m_entity; }
    QString entityName() const;
    EOEditingContext *editingContext() const;
    void setEditingContext(EOEditingContext *context);

    // Throws EOException (Kind::Model) for a key that is neither an attribute, a relationship nor a key set
    // before on a record of an entity; a dictionary line answers none for keys it does not hold.
    QVariant valueForKey(const QString &key) const;
    // Follows to-one relationships ("local.appellation"); none when a step holds no record.
    QVariant valueForKeyPath(const QString &keyPath) const;
    // The same, as far as the record holds it already: a relationship not read yet answers none instead of
    // being fetched. What a list shows while it is drawn, so that drawing never reaches the database.
    QVariant heldValueForKeyPath(const QString &keyPath) const;
    // Whether the target of a relationship has been read or set.
    bool holdsRelationship(const QString &key) const { return m_extra.contains(key); }
    void takeValueForKey(const QVariant &value, const QString &key);
    QVariant valueAt(int attributeIndex) const { return m_values.value(attributeIndex); }

    QStringList allKeys() const;
    // The attribute values of a fresh fetch replace the held ones. A to-one target read before stays while
    // the keys that lead to it are the same (it is the same row); a to-many list, and a target behind a
    // changed key, are read again on next access.
    void refreshValues(QList<QVariant> &&values);
    const QList<QVariant> &values() const { return m_values; }

private:
    // fetch: whether a relationship not read yet is read now, or answers none.
    QVariant followKeyPath(const QString &keyPath, bool fetch) const;
    QVariant faultRelationship(const QString &key) const;

    const EOEntity *m_entity = nullptr;
    QPointer<QObject> m_context; // the editing context, forgotten when it goes
    QList<QVariant> m_values;
    mutable QHash<QString, QVariant> m_extra;
};

} // namespace eo

Q_DECLARE_METATYPE(eo::EORecord)
