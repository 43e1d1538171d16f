#pragma once

#include <QString>
#include <QStringList>

namespace data
{
class KORDataBusOC;
}

namespace buildings
{

// Keeps a building's modification from silently undoing what someone else stored meanwhile: the building
// and its address as stored when the modification begins, compared inside the save's transaction (the
// building held on the server by the function tenir_batiment until the commit) with the building as stored
// then. Who changed what and when comes
// from the history.
class BuildingConflictCheck
{
public:
    enum class Etat { inchange, modifie, disparu };
    enum class Reponse { recharger, ecraser, annuler };

    explicit BuildingConflictCheck(data::KORDataBusOC &dataBus);

    // The building as stored now; false when no building has that code any more.
    bool prendre(const QString &code);
    void oublier();
    const QString &code() const { return m_code; }

    // Inside the save's transaction (compare false: the user chose to write anyway).
    Etat verifier(bool comparer = true);
    // After a conflict, the alert and the user's answer: "Recharger", "Écraser" or "Annuler".
    Reponse demander() const;
    // The alert's message for a building whose code no longer exists (changed or deleted by someone else).
    QString messageDisparu() const;

private:
    QStringList etatStocke(bool tenir) const;
    QString messageModifie() const;

    data::KORDataBusOC &m_dataBus;
    QString m_code;
    QStringList m_photo;
    qint64 m_repere = 0;
};

} // namespace buildings
