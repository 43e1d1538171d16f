#pragma once

#include "EOEntity.h"
#include "EOStoredProcedure.h"

#include <QString>
#include <QVariantMap>
#include <map>
#include <memory>
#include <vector>

namespace eo
{

// A data model: entities, stored procedures and the connection dictionary, read from a JSON model file.
// Entities keep their addresses for the model's life, so records and qualifiers may point at them.
class EOModel
{
public:
    // Reads a model file; throws EOException (Kind::Model) with a French message when it cannot.
    static std::unique_ptr<EOModel> modelWithContentsOfFile(const QString &path);
    static std::unique_ptr<EOModel> modelWithJson(const QByteArray &json, const QString &origin);

    const QString &name() const { return m_name; }
    const QString &path() const { return m_path; }

    const QVariantMap &connectionDictionary() const { return m_connectionDictionary; }
    void setConnectionDictionary(const QVariantMap &dictionary) { m_connectionDictionary = dictionary; }
    const QVariantMap &userInfo() const { return m_userInfo; }

    // nullptr when unknown.
    const EOEntity *entityNamed(const QString &entityName) const;
    // Throws EOException (Kind::Model) when unknown.
    const EOEntity &entity(const QString &entityName) const;
    const EOStoredProcedure *storedProcedureNamed(const QString &procedureName) const;
    QStringList entityNames() const;
    QStringList storedProcedureNames() const;

private:
    // origin: the file (or text) the model was read from, named in the messages.
    void resolve(const QString &origin);

    QString m_name;
    QString m_path;
    QVariantMap m_connectionDictionary;
    QVariantMap m_userInfo;
    std::vector<std::unique_ptr<EOEntity>> m_entities;
    std::map<QString, EOEntity *> m_entityByName;
    std::map<QString, EOStoredProcedure> m_procedures;
};

} // namespace eo
