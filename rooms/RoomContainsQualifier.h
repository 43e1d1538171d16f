#pragma once

#include "EOQualifier.h"

#include <QString>

namespace rooms
{

// "key contains text", the text taken literally: a * or ? in it is a character to find, not a wildcard.
// The room search uses it for a building name or a door number that holds one of these characters, where
// "key like *text*" would read them as wildcards. Case-sensitive, as like is.
class RoomContainsQualifier : public eo::EOQualifier
{
public:
    RoomContainsQualifier(QString keyPath, QString texte);

    const QString &keyPath() const { return m_keyPath; }
    const QString &texte() const { return m_texte; }

    bool evaluateWithObject(const eo::EOGenericRecord &record) const override;
    QString description() const override;
    void appendSql(eo::EOSQLExpression &expression, QString &out) const override;

private:
    QString m_keyPath;
    QString m_texte;
};

} // namespace rooms
