#pragma once

#include <QList>
#include <QString>

namespace eo
{

class EOEntity;

// A relationship from one entity to another, joined on pairs of attributes.
class EORelationship
{
public:
    struct Join {
        QString sourceAttribute;
        QString destinationAttribute;
    };

    QString name;
    QString destinationEntityName;
    bool toMany = false;
    QList<Join> joins;

    // Resolved when the model is loaded.
    const EOEntity *destination = nullptr;
};

} // namespace eo
