#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <utility>

namespace data
{
class KORDataBusOC;
}

namespace rooms
{

// Keeps a modification from silently undoing what someone else stored meanwhile. When the modification
// begins, the room as stored is kept (its record, department complement, custodian, outlets, equipment and
// occupation lines) with the mark of its history. Inside the save's first transaction, the room as stored
// is compared with it: on the server under a lock of the row, and under a lock of the connection that the
// other saves of the room wait for until the whole save is over (a save is several transactions); on the
// embedded database every transaction holds the whole file. Who changed what and when comes from the
// history.
class RoomConflictCheck
{
public:
    enum class Etat { inchangee, modifiee, supprimee };

    explicit RoomConflictCheck(data::KORDataBusOC &dataBus);
    ~RoomConflictCheck();
    RoomConflictCheck(const RoomConflictCheck &) = delete;
    RoomConflictCheck &operator=(const RoomConflictCheck &) = delete;

    // The room as stored now, for the modification that begins; false when it no longer exists.
    bool prendre(const QVariant &numero);
    void oublier();
    const QVariant &numero() const { return m_numero; }

    // Inside the save's first transaction: holds the room until liberer() and compares it with what prendre()
    // kept (compare false: the user chose to write anyway, only the hold is taken).
    Etat verifier(bool comparer = true);
    // Lets the other saves of the room go on; done by the destructor too.
    void liberer();
    // The statement that lets them go on, for the caller to send with its last writes (none when the room
    // is not held); the room counts as let go.
    std::pair<QString, QVariantList> liberation();

    // The alert's message after a conflict: who changed what and when, from the history.
    QString messageModifiee() const;
    // What the user was doing when the room turned out to be deleted.
    enum class Action { modification, debutDeModification, suppression };
    QString messageSupprimee(Action action) const;

    // Off, the check neither holds nor compares anything: for the benchmark that measures a save without it.
    static void setActive(bool active);

private:
    // tenir: the statement that holds the room, sent first ("" for none).
    QStringList etatStocke(bool verrouiller, const QString &tenir) const;

    data::KORDataBusOC &m_dataBus;
    QVariant m_numero;
    QStringList m_photo;
    qint64 m_repere = 0; // the room's latest history row when the photo was taken
    bool m_tenue = false;
};

} // namespace rooms
