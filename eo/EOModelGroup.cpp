#include "EOModelGroup.h"

#include "EOException.h"

namespace eo
{

EOModelGroup &EOModelGroup::defaultGroup()
{
    static EOModelGroup group;
    return group;
}

EOModel &EOModelGroup::addModel(std::unique_ptr<EOModel> model)
{
    if (modelNamed(model->name())) {
        throw EOException(EOException::Kind::Model,
                          QStringLiteral("Le modèle « %1 » est déjà chargé.").arg(model->name()));
    }
    m_models.push_back(std::move(model));
    return *m_models.back();
}

EOModel &EOModelGroup::addModelWithFile(const QString &path)
{
    return addModel(EOModel::modelWithContentsOfFile(path));
}

EOModel *EOModelGroup::modelNamed(const QString &name) const
{
    for (const auto &model : m_models) {
        if (model->name() == name)
            return model.get();
    }
    return nullptr;
}

QStringList EOModelGroup::modelNames() const
{
    QStringList names;
    for (const auto &model : m_models)
        names.append(model->name());
    return names;
}

const EOEntity *EOModelGroup::entityNamed(const QString &entityName) const
{
    for (const auto &model : m_models) {
        if (const EOEntity *entity = model->entityNamed(entityName))
            return entity;
    }
    return nullptr;
}

const EOModel &EOModelGroup::modelForEntityNamed(const QString &entityName) const
{
    const EOEntity *entity = entityNamed(entityName);
    if (!entity) {
        throw EOException(
            EOException::Kind::Model,
            QStringLiteral("L'entité « %1 » n'existe dans aucun modèle chargé.").arg(entityName));
    }
    return *entity->model();
}

int EOModelGroup::widthOf(const QString &entityName, const QString &attributeName) const
{
    const EOEntity *entity = entityNamed(entityName);
    const EOAttribute *attribute = entity ? entity->attributeNamed(attributeName) : nullptr;
    return attribute ? attribute->width : 0;
}

} // namespace eo
