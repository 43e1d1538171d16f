#pragma once

#include "EOQualifier.h"

#include <QList>
#include <QVariant>

namespace eo
{

// A raw SQL condition on the column names of an entity, written in the database's own SQL
// ("SAL_CAPACITE %s %@", "to_number(SAL_TABLEAU) %s %@", "UPPER(SAL_DESCRIPTIF) like '%%%@%%'").
// %s takes a comparison operator (checked against the known ones), %@ and %d a value that is bound, never
// spliced; a %@ inside a quoted literal makes the whole literal one bound text. After like, the argument's %
// and _ are wild cards of the pattern, as in the database's own SQL (a quote stays a quote: the value is
// bound). Bare column names are taken on the entity's own table.
class EOSQLQualifier : public EOQualifier
{
public:
    // Throws EOException (Kind::Qualifier) when the format does not parse or an argument is refused.
    EOSQLQualifier(QString entityName, const QString &format, const QVariantList &arguments = {});

    const QString &entityName() const { return m_entityName; }

    bool evaluateWithObject(const EOGenericRecord &record) const override;
    QString description() const override;
    void appendSql(EOSQLExpression &expression, QString &out) const override;

private:
    struct Piece {
        enum class Kind { Text, Column, Value, LikeValue } kind = Kind::Text;
        QString text;   // SQL text, or the column name
        QVariant value; // for values
    };

    void parse(const QString &format, const QVariantList &arguments);

    QString m_entityName;
    QList<Piece> m_pieces;
    QString m_description;
};

} // namespace eo
