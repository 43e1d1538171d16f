#include "EOEntity.h"

namespace eo
{

const EOAttribute *EOEntity::attributeNamed(const QString &attributeName) const
{
    const int index = attributeIndex(attributeName);
    return index < 0 ? nullptr : &m_attributes.at(index);
}

const EORelationship *EOEntity::relationshipNamed(const QString &relationshipName) const
{
    for (const EORelationship &relationship : m_relationships) {
        if (relationship.name == relationshipName)
            return &relationship;
    }
    return nullptr;
}

void EOEntity::addAttribute(const EOAttribute &attribute)
{
    m_attributeIndex.insert(attribute.name, int(m_attributes.size()));
    m_attributes.append(attribute);
}

void EOEntity::addRelationship(const EORelationship &relationship)
{
    m_relationships.append(relationship);
}

} // namespace eo
