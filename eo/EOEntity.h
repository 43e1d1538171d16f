#pragma once

#include "EOAttribute.h"
#include "EORelationship.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace eo
{

class EOModel;

// An entity of the model: a table or view, its attributes (in a fixed order, which is also the order of the
// values held by its records), its primary key and its relationships.
class EOEntity
{
public:
    QString name;
    QString externalName;
    QStringList primaryKeyAttributeNames;

    const EOModel *model() const { return m_model; }
    const QList<EOAttribute> &attributes() const { return m_attributes; }
    const QList<EORelationship> &relationships() const { return m_relationships; }

    // -1 when the entity has no attribute of that name.
    int attributeIndex(const QString &attributeName) const
    {
        return m_attributeIndex.value(attributeName, -1);
    }
    const EOAttribute *attributeNamed(const QString &attributeName) const;
    const EORelationship *relationshipNamed(const QString &relationshipName) const;
    // Indexes of the primary key attributes, in key order.
    const QList<int> &primaryKeyIndexes() const { return m_primaryKeyIndexes; }

    void addAttribute(const EOAttribute &attribute);
    void addRelationship(const EORelationship &relationship);

private:
    friend class EOModel;
    const EOModel *m_model = nullptr;
    QList<EOAttribute> m_attributes;
    QHash<QString, int> m_attributeIndex;
    QList<EORelationship> m_relationships;
    QList<int> m_primaryKeyIndexes;
};

} // namespace eo
