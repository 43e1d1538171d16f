#include "EOSQLExpression.h"

#include "EOEntity.h"
#include "EOException.h"
#include "EONull.h"
#include "EOSQLDialect.h"
#include "EOValues.h"

namespace eo
{

EOSQLExpression::EOSQLExpression(const EOEntity &entity, const EOSQLDialect &dialect)
    : m_entity(entity), m_dialect(dialect)
{
    m_joins.insert(QString(), Join{QStringLiteral("t0"), &entity});
}

const EOSQLExpression::Join &EOSQLExpression::joinForPath(const QString &relationshipPath)
{
    const auto found = m_joins.constFind(relationshipPath);
    if (found != m_joins.constEnd())
        return found.value();
    const qsizetype dot = relationshipPath.lastIndexOf(QLatin1Char('.'));
    const QString parentPath = dot < 0 ? QString() : relationshipPath.left(dot);
    const QString name = dot < 0 ? relationshipPath : relationshipPath.mid(dot + 1);
    const Join parent = joinForPath(parentPath);
    const EORelationship *relationship = parent.entity->relationshipNamed(name);
    if (!relationship || relationship->toMany) {
        throw EOException(
            EOException::Kind::Model,
            QStringLiteral("« %1 » n'est pas une relation vers un seul enregistrement de l'entité %2.")
                .arg(name, parent.entity->name));
    }
    Join join{QStringLiteral("t%1").arg(m_joins.size()), relationship->destination};
    QStringList conditions;
    for (const EORelationship::Join &pair : relationship->joins) {
        const EOAttribute *source = parent.entity->attributeNamed(pair.sourceAttribute);
        const EOAttribute *destination = join.entity->attributeNamed(pair.destinationAttribute);
        conditions.append(QStringLiteral("%1.%2 = %3.%4")
                              .arg(parent.alias, source->columnName, join.alias, destination->columnName));
    }
    m_joinClauses.append(
        QStringLiteral(" LEFT JOIN %1 %2 ON %3")
            .arg(join.entity->externalName, join.alias, conditions.join(QLatin1String(" AND "))));
    return m_joins.insert(relationshipPath, join).value();
}

QString EOSQLExpression::sqlForKeyPath(const QString &keyPath, const EOAttribute **attribute)
{
    const qsizetype dot = keyPath.lastIndexOf(QLatin1Char('.'));
    const Join join = joinForPath(dot < 0 ? QString() : keyPath.left(dot));
    const QString attributeName = dot < 0 ? keyPath : keyPath.mid(dot + 1);
    const EOAttribute *found = join.entity->attributeNamed(attributeName);
    if (!found) {
        throw EOException(EOException::Kind::Model,
                          QStringLiteral("La clé « %1 » n'existe pas pour l'entité %2.")
                              .arg(attributeName, join.entity->name));
    }
    if (attribute)
        *attribute = found;
    if (found->isFlattened()) {
        const QString prefix = dot < 0 ? QString() : keyPath.left(dot) + QLatin1Char('.');
        return sqlForKeyPath(prefix + found->definition, nullptr);
    }
    return join.alias + QLatin1Char('.') + found->columnName;
}

QString EOSQLExpression::sqlForColumn(const QString &columnName) const
{
    return QStringLiteral("t0.") + columnName;
}

QString EOSQLExpression::bindValue(const QVariant &value)
{
    const QString placeholder = m_dialect.placeholder(int(m_bindings.size()));
    m_bindings.append(value);
    return placeholder;
}

QVariant EOSQLExpression::coerce(const QVariant &value, const EOAttribute *attribute)
{
    if (!attribute || isNullOrNone(value))
        return value;
    if (attribute->isNumeric() && !EOValues::isNumeric(value)) {
        double number = 0;
        if (EOValues::toNumber(value, &number)) {
            qint64 integer = 0;
            if (attribute->type == EOAttribute::Type::Number && EOValues::toInteger(value, &integer))
                return QVariant(integer);
            return QVariant(number);
        }
        return value;
    }
    if (!attribute->isNumeric() && EOValues::isNumeric(value))
        return EOValues::displayText(value);
    return value;
}

QString EOSQLExpression::selectStatement(const EOFetchRequest &fetchSpec)
{
    QStringList columns;
    columns.reserve(m_entity.attributes().size());
    for (const EOAttribute &attribute : m_entity.attributes())
        columns.append(sqlForKeyPath(attribute.name));

    QString where;
    if (fetchSpec.qualifier)
        fetchSpec.qualifier->appendSql(*this, where);

    QStringList order;
    QStringList tieBreaks;
    for (const EOSortOrdering &ordering : fetchSpec.sortOrderings) {
        const EOAttribute *attribute = nullptr;
        QString term = sqlForKeyPath(ordering.key(), &attribute);
        const QString direction = (ordering.ascending() ? QStringLiteral(" ASC") : QStringLiteral(" DESC")) +
                                  m_dialect.nullOrdering(ordering.ascending());
        // Case only exists for texts: a number keeps its numeric order (and the server has no LOWER() for
        // it), as a list sorted by a number column in memory does. A text key looks at its letters first;
        // its accents and case come after every key, so that "RDC A12" comes before "Rdc A12B".
        if (ordering.caseInsensitive() && attribute && !attribute->isNumeric()) {
            tieBreaks.append(m_dialect.caseTieBreakOrderTerm(term) + direction);
            term = m_dialect.caseInsensitiveOrderTerm(term);
        }
        order.append(term + direction);
    }
    order += tieBreaks;

    // Rows are made unique by their primary key in memory; DISTINCT is only needed without one.
    const bool distinct = fetchSpec.usesDistinct && m_entity.primaryKeyIndexes().isEmpty();
    QString sql = QStringLiteral("SELECT ");
    if (distinct)
        sql += QStringLiteral("DISTINCT ");
    sql += columns.join(QLatin1String(", "));
    sql += QStringLiteral(" FROM ") + m_entity.externalName + QStringLiteral(" t0");
    sql += m_joinClauses.join(QString());
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where;
    if (!order.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + order.join(QLatin1String(", "));
    return sql;
}

} // namespace eo
