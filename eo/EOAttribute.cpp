#include "EOAttribute.h"

namespace eo
{

bool EOAttribute::typeFromName(const QString &name, Type *type)
{
    if (name == u"text")
        *type = Type::Text;
    else if (name == u"number")
        *type = Type::Number;
    else if (name == u"decimal")
        *type = Type::Decimal;
    else if (name == u"flag")
        *type = Type::Flag;
    else
        return false;
    return true;
}

QString EOAttribute::typeName(Type type)
{
    switch (type) {
    case Type::Text:
        return QStringLiteral("text");
    case Type::Number:
        return QStringLiteral("number");
    case Type::Decimal:
        return QStringLiteral("decimal");
    case Type::Flag:
        return QStringLiteral("flag");
    }
    return {};
}

} // namespace eo
