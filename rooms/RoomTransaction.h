#pragma once

#include <QString>
#include <QVariantMap>
#include <functional>
#include <memory>

namespace data
{
class KORDataBusOC;
}

namespace rooms
{

class RoomTransactionBatch;

// One transaction of stored-procedure calls through the data bus, as every write of the room tab is made:
// the calls stop at the first one the database refuses; the transaction is then rolled back and the
// step's own alert (title "ATTENTION") follows the data bus's "ERREUR..." alert. Otherwise it is
// committed, and a commit the database refuses counts as a refusal, with its message. A transaction that
// an exception leaves open is rolled back when the object goes.
// A call whose answer the save needs at once runs when it is made (appeler); the others (ajouter) go with
// the commit, so that a server far away answers them and the commit in one round trip.
class RoomTransaction
{
public:
    // alerteValidation follows the database's message when the commit is refused.
    RoomTransaction(data::KORDataBusOC &dataBus, const QString &alerteValidation);
    ~RoomTransaction();
    RoomTransaction(const RoomTransaction &) = delete;
    RoomTransaction &operator=(const RoomTransaction &) = delete;

    // False once a call was refused (this one or an earlier one, which this one then does not run).
    // alerte is shown after the rollback when this call is the refused one ("" for none).
    bool appeler(const QString &procedure, const QVariantMap &arguments, const QString &alerte);
    // A call sent with the commit, after the calls made before it; its refusal is reported by terminer().
    void ajouter(const QString &procedure, const QVariantMap &arguments, const QString &alerte);
    // The output values of the last call that ran.
    QVariantMap sorties() const;
    // Commits, or rolls back and shows the alert of the refused call; true when everything is stored.
    bool terminer();
    // Rolls back without an alert: the save stops before writing (someone else changed the room).
    void abandonner();

    // Follows the writes as they go to the database, for the tests and the save benchmarks: "begin", each
    // procedure's name, then "commit" or "rollback". Transactions sent together to a server are told whole,
    // commit included, before any answer comes (RoomTransactionBatch). None by default.
    using Journal = std::function<void(const QString &evenement)>;
    static void setJournal(Journal journal);
    static void noter(const QString &evenement);

private:
    bool envoyerAvecLaValidation();

    data::KORDataBusOC &m_dataBus;
    std::unique_ptr<RoomTransactionBatch> m_suite; // the calls sent with the commit
    QVariantMap m_sorties;
    bool m_ouverte = true;
    bool m_refusee = false;
    QString m_alerte;
    QString m_alerteValidation;
};

} // namespace rooms
