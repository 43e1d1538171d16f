#pragma once

#include <QString>

namespace eo
{

// One attribute of an entity: its name in the program, its column in the database, its type and width.
// A flattened attribute has a definition (a key path through to-one relationships) instead of a column.
class EOAttribute
{
public:
    enum class Type { Text, Number, Decimal, Flag };

    QString name;
    QString columnName;
    Type type = Type::Text;
    int width = 0; // 0: no limit declared
    QString definition;

    bool isFlattened() const { return !definition.isEmpty(); }
    bool isNumeric() const { return type == Type::Number || type == Type::Decimal; }

    static bool typeFromName(const QString &name, Type *type);
    static QString typeName(Type type);
};

} // namespace eo
