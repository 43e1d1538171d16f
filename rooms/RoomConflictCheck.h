#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

namespace data
{
class KORDataBusOC;
}

namespace rooms
{

// Keeps a modification from silently undoing what someone else stored meanwhile. When the modification
// begins, the room as stored is kept (its record, department complement, custodian, outlets, equipment and
// occupation lines) with the mark of its history. Inside the save's transaction, which is the whole save,
// the room is held and the room as stored is compared with it: on the server the room's row is locked by
// the function tenir_salle, which only a room manager may call, until the commit; on the embedded database
// the transaction holds the whole file from its beginning. Who changed what and when comes from the history.
class RoomConflictCheck
{
public:
    enum class Etat { inchangee, modifiee, supprimee };

    explicit RoomConflictCheck(data::KORDataBusOC &dataBus);
    RoomConflictCheck(const RoomConflictCheck &) = delete;
    RoomConflictCheck &operator=(const RoomConflictCheck &) = delete;

    // The room as stored now, for the modification that begins; false when it no longer exists.
    bool prendre(const QVariant &numero);
    void oublier();
    const QVariant &numero() const { return m_numero; }

    // Inside the save's transaction: holds the room until the transaction ends and compares it with what
    // prendre() kept (compare false: the user chose to write anyway, only the hold is taken).
    Etat verifier(bool comparer = true);

    // The alert's message after a conflict: who changed what and when, from the history.
    QString messageModifiee() const;
    // What the user was doing when the room turned out to be deleted.
    enum class Action { modification, debutDeModification, suppression };
    QString messageSupprimee(Action action) const;

    // Off, the check neither holds nor compares anything: for the benchmark that measures a save without it.
    static void setActive(bool active);

private:
    // tenir: the room held first, in the same round trip.
    QStringList etatStocke(bool tenir) const;

    data::KORDataBusOC &m_dataBus;
    QVariant m_numero;
    QStringList m_photo;
    qint64 m_repere = 0; // the room's latest history row when the photo was taken
};

} // namespace rooms
