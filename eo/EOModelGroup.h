#pragma once

#include "EOModel.h"

#include <QStringList>
#include <memory>
#include <vector>

namespace eo
{

// The models the application works with, in the order they were added.
class EOModelGroup
{
public:
    // The group of the application (empty until models are added to it).
    static EOModelGroup &defaultGroup();

    // Takes the model; throws EOException when a model of the same name is there already.
    EOModel &addModel(std::unique_ptr<EOModel> model);
    EOModel &addModelWithFile(const QString &path);
    void removeAllModels() { m_models.clear(); }

    const std::vector<std::unique_ptr<EOModel>> &models() const { return m_models; }
    EOModel *modelNamed(const QString &name) const;
    QStringList modelNames() const;
    // The model that declares the entity; throws EOException (Kind::Model) when none does.
    const EOModel &modelForEntityNamed(const QString &entityName) const;
    const EOEntity *entityNamed(const QString &entityName) const;
    // The width the model declares for an attribute's texts; 0 when it declares none, or has no such
    // attribute.
    int widthOf(const QString &entityName, const QString &attributeName) const;

private:
    std::vector<std::unique_ptr<EOModel>> m_models;
};

} // namespace eo
