#include "EOModel.h"

#include "EOException.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace eo
{

namespace
{

[[noreturn]] void modelError(const QString &origin, const QString &what)
{
    throw EOException(EOException::Kind::Model,
                      QStringLiteral("Le fichier de modèle « %1 » est invalide : %2").arg(origin, what));
}

QString requiredString(const QJsonObject &object, const char *key, const QString &origin,
                       const QString &where)
{
    const QString value = object.value(QLatin1String(key)).toString();
    if (value.isEmpty())
        modelError(origin, QStringLiteral("%1 sans « %2 ».").arg(where, QLatin1String(key)));
    return value;
}

EOAttribute::Type requiredType(const QJsonObject &object, const QString &origin, const QString &where)
{
    EOAttribute::Type type;
    const QString name = object.value(QLatin1String("type")).toString(QStringLiteral("text"));
    if (!EOAttribute::typeFromName(name, &type))
        modelError(origin, QStringLiteral("%1 : type « %2 » inconnu.").arg(where, name));
    return type;
}

} // namespace

std::unique_ptr<EOModel> EOModel::modelWithContentsOfFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw EOException(EOException::Kind::Model,
                          QStringLiteral("Le fichier de modèle « %1 » ne peut pas être lu : %2")
                              .arg(path, file.errorString()));
    }
    auto model = modelWithJson(file.readAll(), path);
    model->m_path = path;
    return model;
}

std::unique_ptr<EOModel> EOModel::modelWithJson(const QByteArray &json, const QString &origin)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        modelError(origin, QStringLiteral("JSON illisible à la position %1 (%2).")
                               .arg(parseError.offset)
                               .arg(parseError.errorString()));
    }
    const QJsonObject root = document.object();
    auto model = std::make_unique<EOModel>();
    model->m_name = requiredString(root, "name", origin, QStringLiteral("Modèle"));
    model->m_connectionDictionary =
        root.value(QLatin1String("connectionDictionary")).toObject().toVariantMap();
    model->m_userInfo = root.value(QLatin1String("userInfo")).toObject().toVariantMap();

    for (const QJsonValue &entityValue : root.value(QLatin1String("entities")).toArray()) {
        const QJsonObject object = entityValue.toObject();
        auto entity = std::make_unique<EOEntity>();
        entity->name = requiredString(object, "name", origin, QStringLiteral("Entité"));
        const QString where = QStringLiteral("entité %1").arg(entity->name);
        entity->externalName = requiredString(object, "externalName", origin, where);
        for (const QJsonValue &key : object.value(QLatin1String("primaryKey")).toArray())
            entity->primaryKeyAttributeNames.append(key.toString());
        for (const QJsonValue &attributeValue : object.value(QLatin1String("attributes")).toArray()) {
            const QJsonObject a = attributeValue.toObject();
            EOAttribute attribute;
            attribute.name = requiredString(a, "name", origin, QStringLiteral("Attribut de l'%1").arg(where));
            const QString attributeWhere = QStringLiteral("%1.%2").arg(entity->name, attribute.name);
            attribute.definition = a.value(QLatin1String("definition")).toString();
            if (attribute.definition.isEmpty()) {
                attribute.columnName = requiredString(a, "column", origin, attributeWhere);
                attribute.type = requiredType(a, origin, attributeWhere);
            }
            attribute.width = a.value(QLatin1String("width")).toInt(0);
            if (entity->attributeIndex(attribute.name) >= 0)
                modelError(origin, QStringLiteral("attribut %1 déclaré deux fois.").arg(attributeWhere));
            entity->addAttribute(attribute);
        }
        for (const QJsonValue &relationshipValue : object.value(QLatin1String("relationships")).toArray()) {
            const QJsonObject r = relationshipValue.toObject();
            EORelationship relationship;
            relationship.name =
                requiredString(r, "name", origin, QStringLiteral("Relation de l'%1").arg(where));
            relationship.destinationEntityName = requiredString(r, "destination", origin, relationship.name);
            relationship.toMany = r.value(QLatin1String("toMany")).toBool(false);
            for (const QJsonValue &joinValue : r.value(QLatin1String("joins")).toArray()) {
                const QJsonObject j = joinValue.toObject();
                relationship.joins.append({requiredString(j, "source", origin, relationship.name),
                                           requiredString(j, "destination", origin, relationship.name)});
            }
            if (relationship.joins.isEmpty())
                modelError(origin, QStringLiteral("la relation %1.%2 n'a pas de jointure.")
                                       .arg(entity->name, relationship.name));
            entity->addRelationship(relationship);
        }
        if (model->m_entityByName.count(entity->name))
            modelError(origin, QStringLiteral("entité %1 déclarée deux fois.").arg(entity->name));
        entity->m_model = model.get();
        model->m_entityByName[entity->name] = entity.get();
        model->m_entities.push_back(std::move(entity));
    }

    for (const QJsonValue &procedureValue : root.value(QLatin1String("storedProcedures")).toArray()) {
        const QJsonObject object = procedureValue.toObject();
        EOStoredProcedure procedure;
        procedure.name = requiredString(object, "name", origin, QStringLiteral("Procédure"));
        procedure.externalName = object.value(QLatin1String("externalName")).toString(procedure.name);
        for (const QJsonValue &argumentValue : object.value(QLatin1String("arguments")).toArray()) {
            const QJsonObject a = argumentValue.toObject();
            EOStoredProcedure::Argument argument;
            argument.name =
                requiredString(a, "name", origin, QStringLiteral("Argument de %1").arg(procedure.name));
            argument.type = requiredType(a, origin, procedure.name + QLatin1Char('.') + argument.name);
            argument.width = a.value(QLatin1String("width")).toInt(0);
            argument.output = a.value(QLatin1String("direction")).toString() == u"out";
            procedure.arguments.append(argument);
        }
        model->m_procedures[procedure.name] = procedure;
    }
    model->resolve(origin);
    return model;
}

void EOModel::resolve(const QString &origin)
{
    for (auto &entity : m_entities) {
        for (EORelationship &relationship : entity->m_relationships) {
            relationship.destination = entityNamed(relationship.destinationEntityName);
            if (!relationship.destination)
                modelError(origin,
                           QStringLiteral("la relation %1.%2 mène à l'entité inconnue %3.")
                               .arg(entity->name, relationship.name, relationship.destinationEntityName));
            for (const EORelationship::Join &join : relationship.joins) {
                if (entity->attributeIndex(join.sourceAttribute) < 0 ||
                    relationship.destination->attributeIndex(join.destinationAttribute) < 0)
                    modelError(origin,
                               QStringLiteral("la jointure de la relation %1.%2 nomme un attribut inconnu.")
                                   .arg(entity->name, relationship.name));
            }
        }
        for (const QString &key : entity->primaryKeyAttributeNames) {
            const int index = entity->attributeIndex(key);
            if (index < 0)
                modelError(
                    origin,
                    QStringLiteral("la clé %1 de l'entité %2 n'est pas un attribut.").arg(key, entity->name));
            entity->m_primaryKeyIndexes.append(index);
        }
    }
    // Flattened attributes take the type of the attribute they reach.
    for (auto &entity : m_entities) {
        for (EOAttribute &attribute : entity->m_attributes) {
            if (!attribute.isFlattened())
                continue;
            const QStringList path = attribute.definition.split(QLatin1Char('.'));
            const EOEntity *current = entity.get();
            for (int i = 0; i < path.size() - 1 && current; ++i) {
                const EORelationship *relationship = current->relationshipNamed(path.at(i));
                current = relationship && !relationship->toMany ? relationship->destination : nullptr;
            }
            const EOAttribute *target = current ? current->attributeNamed(path.last()) : nullptr;
            if (!target || target->isFlattened())
                modelError(origin, QStringLiteral("l'attribut %1.%2 a une définition invalide « %3 ».")
                                       .arg(entity->name, attribute.name, attribute.definition));
            attribute.type = target->type;
            attribute.width = target->width;
        }
    }
}

const EOEntity *EOModel::entityNamed(const QString &entityName) const
{
    const auto it = m_entityByName.find(entityName);
    return it == m_entityByName.end() ? nullptr : it->second;
}

const EOEntity &EOModel::entity(const QString &entityName) const
{
    const EOEntity *found = entityNamed(entityName);
    if (!found)
        throw EOException(
            EOException::Kind::Model,
            QStringLiteral("L'entité « %1 » n'existe pas dans le modèle %2.").arg(entityName, m_name));
    return *found;
}

const EOStoredProcedure *EOModel::storedProcedureNamed(const QString &procedureName) const
{
    const auto it = m_procedures.find(procedureName);
    return it == m_procedures.end() ? nullptr : &it->second;
}

QStringList EOModel::entityNames() const
{
    QStringList names;
    for (const auto &entity : m_entities)
        names.append(entity->name);
    return names;
}

QStringList EOModel::storedProcedureNames() const
{
    QStringList names;
    for (const auto &[name, procedure] : m_procedures)
        names.append(name);
    return names;
}

} // namespace eo
