#pragma once

#include "EOAttribute.h"

#include <QList>
#include <QString>

namespace eo
{

// A stored procedure of the model: the database's code, called by name with named arguments.
class EOStoredProcedure
{
public:
    struct Argument {
        QString name;
        EOAttribute::Type type = EOAttribute::Type::Text;
        int width = 0;
        bool output = false;
    };

    QString name;
    QString externalName;
    QList<Argument> arguments;

    const Argument *argumentNamed(const QString &argumentName) const;
};

} // namespace eo
