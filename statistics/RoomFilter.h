#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

namespace statistics
{

// The rooms behind one line of a table or one bar of a chart: a building's, a room type's, those a
// department occupies, or those with a share no department claims.
struct RoomFilter {
    enum class Kind { Aucun, Batiment, Type, Departements, NonAffecte };

    Kind kind = Kind::Aucun;
    QVariant cle;      // the building's code, the type's number (none: rooms without one)
    QStringList codes; // the departments
    QString libelle;   // what the line shows: "SCIENCES", "UFR SCI", "Autres"

    bool estVide() const { return kind == Kind::Aucun; }
    // How the result window names the list: "Bâtiment SCIENCES", "Département UFR SCI".
    QString description() const;

    static RoomFilter batiment(const QVariant &code, const QString &nom)
    {
        return {Kind::Batiment, code, {}, nom};
    }
    static RoomFilter type(const QVariant &numero, const QString &libelle)
    {
        return {Kind::Type, numero, {}, libelle};
    }
    static RoomFilter departements(const QStringList &codes, const QString &libelle)
    {
        return {Kind::Departements, {}, codes, libelle};
    }
    static RoomFilter nonAffecte(const QString &libelle) { return {Kind::NonAffecte, {}, {}, libelle}; }
};

} // namespace statistics
