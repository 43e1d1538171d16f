#pragma once

#include "EOFetchRequest.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QVariantList>

namespace eo
{

class EOAttribute;
class EOEntity;
class EOSQLDialect;

// Builds one SELECT on an entity: the select list (every attribute, flattened ones through joins), the joins
// that key paths need (LEFT JOIN, so that a row without its related row stays), the condition with its bound
// values, and the order.
class EOSQLExpression
{
public:
    EOSQLExpression(const EOEntity &entity, const EOSQLDialect &dialect);

    const EOEntity &entity() const { return m_entity; }
    const EOSQLDialect &dialect() const { return m_dialect; }

    // The SQL of the attribute reached by a key path; throws EOException (Kind::Model) for an unknown key.
    QString sqlForKeyPath(const QString &keyPath, const EOAttribute **attribute = nullptr);
    // A bare column of the entity's own table (raw SQL conditions).
    QString sqlForColumn(const QString &columnName) const;
    // Adds a bound value and answers its placeholder.
    QString bindValue(const QVariant &value);
    // A value coerced to the attribute's type (a text "12" for a number column is bound as 12).
    static QVariant coerce(const QVariant &value, const EOAttribute *attribute);

    const QVariantList &bindings() const { return m_bindings; }

    // The whole SELECT of a fetch. The select list follows the entity's attribute order.
    QString selectStatement(const EOFetchRequest &fetchSpec);

private:
    struct Join {
        QString alias;
        const EOEntity *entity = nullptr;
    };
    const Join &joinForPath(const QString &relationshipPath);

    const EOEntity &m_entity;
    const EOSQLDialect &m_dialect;
    QVariantList m_bindings;
    QHash<QString, Join> m_joins; // relationship path -> join
    QStringList m_joinClauses;    // in creation order
};

} // namespace eo
