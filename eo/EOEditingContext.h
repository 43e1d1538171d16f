#pragma once

#include "EOFetchRequest.h"
#include "EOGenericRecord.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantList>
#include <memory>
#include <unordered_map>

namespace eo
{

class EOEntity;
class EOModel;
class EOModelGroup;
class EODatabaseContext;
class EORelationship;

// The records of the application: one record per row of the database for as long as someone holds it.
// A fetch that finds a row already held returns that same record, its values replaced by the database's when
// the fetch refreshes, kept as they are otherwise.
class EOEditingContext : public QObject
{
    Q_OBJECT
public:
    explicit EOEditingContext(EOModelGroup &modelGroup, QObject *parent = nullptr);
    ~EOEditingContext() override;

    EOModelGroup &modelGroup() const { return m_modelGroup; }

    // Throws EOException for an unknown entity and for any failure of the database.
    QList<EORecord> objectsWithFetchRequest(const EOFetchRequest &fetchSpec);
    // Raw rows ("Attribute0", ...) of a query on the named model's database; values are bound.
    QList<QVariantMap> rawRowsWithSQL(const QString &sql, const QString &modelName,
                                      const QVariantList &bindings = {});

    // The record of a row: the one held for its primary key, or a new one.
    EORecord recordForRow(const EOEntity &entity, QList<QVariant> &&values, bool refresh);
    // Records of a relationship's destination matching the qualifier (a held to-one record is reused).
    QList<EORecord> objectsForRelationship(const EORelationship &relationship,
                                           const EOQualifierPtr &qualifier);
    // Reads the to-one relationships along each key path ("local.appellation") for all the records at once,
    // a few hundred keys to a fetch, instead of one fetch per record on first access. Records that hold a
    // relationship already, records of other contexts, attributes and to-many relationships are left alone.
    void prefetchKeyPaths(const QList<EORecord> &records, const QStringList &keyPaths);
    // The fetches prefetchKeyPaths would make first for these records (the first relationship of each key
    // path), without making them: what a prefetch declares once the records are known.
    QList<EOFetchRequest> keyPathFetchRequests(const QList<EORecord> &records,
                                               const QStringList &keyPaths) const;

    void insertObject(const EORecord &record);
    const QList<EORecord> &insertedObjects() const { return m_inserted; }
    // Number of records held for an entity (tests and benchmarks).
    qsizetype registeredObjectCount(const QString &entityName) const;

    EODatabaseContext &databaseContextForModel(const EOModel &model);

private:
    // What reading one to-one relationship of some records of one entity needs: the records still to read
    // by the text of their keys, those whose key is null, and one fetch per batch of keys.
    struct RelationshipFetch {
        const EORelationship *relationship = nullptr;
        QHash<QString, QList<EOGenericRecord *>> waiting;
        QList<EOGenericRecord *> nullKeyed;
        QList<EOFetchRequest> requests;
    };
    static RelationshipFetch relationshipFetch(const EOEntity &entity,
                                               const QList<EOGenericRecord *> &records, const QString &key);
    static EOFetchRequest relationshipFetchRequest(const EORelationship &relationship,
                                                   const EOQualifierPtr &qualifier);
    // The records of this context, by entity.
    QHash<const EOEntity *, QList<EOGenericRecord *>> recordsByEntity(const QList<EORecord> &records) const;
    void prefetchRelationship(const QHash<const EOEntity *, QList<EOGenericRecord *>> &byEntity,
                              const QString &key, const QString &rest);
    static QString keyForValues(const EOEntity &entity, const QList<QVariant> &values);
    template <typename Key>
    EORecord uniqueRecord(QHash<Key, std::weak_ptr<EOGenericRecord>> &records, const Key &key,
                          const EOEntity &entity, QList<QVariant> &&values, bool refresh);
    const EOModel &modelForEntity(const QString &entityName) const;

    EOModelGroup &m_modelGroup;
    // entity -> primary key -> record: by number for the usual one-number keys, by text otherwise
    QHash<const EOEntity *, QHash<qint64, std::weak_ptr<EOGenericRecord>>> m_recordsByNumber;
    QHash<const EOEntity *, QHash<QString, std::weak_ptr<EOGenericRecord>>> m_records;
    QList<EORecord> m_inserted;
    std::unordered_map<const EOModel *, std::unique_ptr<EODatabaseContext>> m_databaseContexts;
};

} // namespace eo
