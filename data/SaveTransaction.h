#pragma once

#include "EOTransactionSteps.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <functional>

namespace data
{

class KORDataBusOC;

// The writes of one user action (a room's save, a building's, a line of a reference list) through the data
// bus: one database transaction, committed once, in which each described step is a savepoint, so that
// whatever happens to the program or the link, the action is stored wholly as typed, or not at all.
//
// - A call whose answer the action needs at once (a new room's number) runs when it is made (appeler): its
//   refusal shows the data bus's "ERREUR..." alert and, when the transaction ends, its own alert.
// - The other calls are queued as steps (etape, ajouter) and go with the commit, in one round trip on a
//   server far away. A refused step is rolled back to where it began and the next one runs; an essential
//   step refused leaves nothing of the action stored.
// - When the transaction ends (terminer), for each refused step in order, the database's message
//   ("ERREUR...") and the alert of its refused call ("ATTENTION"); a refused commit gives its message and
//   the action's own alert (alerteValidation). A commit whose answer the link lost is asked again on a new
//   connection: the user hears what is stored, and only an answer that cannot be had is told as uncertain.
// - A transaction that an exception leaves open is rolled back when the object goes.
class SaveTransaction
{
public:
    enum class Issue {
        enregistree, // committed (steps refused on the way are not stored, and were told)
        refusee,     // nothing stored
        incertaine,  // the link broke at the commit and the database cannot say yet what became of it
    };

    SaveTransaction(KORDataBusOC &dataBus, const QString &alerteValidation);
    // One procedure as a whole action (a line of a reference list): true when it is stored; a refusal is
    // told by the database's message.
    static bool executer(KORDataBusOC &dataBus, const QString &procedure, const QVariantMap &arguments);
    ~SaveTransaction();
    SaveTransaction(const SaveTransaction &) = delete;
    SaveTransaction &operator=(const SaveTransaction &) = delete;

    // A call run at once; false once a call was refused (this one, or an earlier one, and then this one
    // does not run). alerte is shown when the transaction ends when this call is the refused one.
    bool appeler(const QString &procedure, const QVariantMap &arguments, const QString &alerte);
    // The output values of the last call that ran at once.
    const QVariantMap &sorties() const { return m_sorties; }

    // A new step of the calls queued after it.
    void etape(bool essentielle = false);
    // A call of the last step begun (a step of its own when none is); alerte is shown when it is refused
    // ("" for none).
    void ajouter(const QString &procedure, const QVariantMap &arguments, const QString &alerte);

    // Sends the steps and the commit, or rolls back after a refused call; shows the alerts.
    Issue terminer();
    // Rolls back without an alert: the action stops before writing (someone else changed the record).
    void abandonner();

    // After terminer: whether that step (in the order of etape) is stored, and its calls' output values.
    bool etapeEnregistree(qsizetype etape) const;
    QVariantMap sortiesDeLEtape(qsizetype etape) const;

    // Follows the writes as they go to the database, for the tests and the benchmarks: "begin", each
    // procedure's name, "commit", "rollback" (the whole transaction) or "rollback step". The steps queued
    // are told whole, commit included, before any answer comes. None by default.
    using Journal = std::function<void(const QString &evenement)>;
    static void setJournal(Journal journal);

private:
    static void noter(const QString &evenement);
    Issue envoyerLesEtapes();

    KORDataBusOC &m_dataBus;
    QString m_alerteValidation;
    eo::EOTransactionSteps m_etapes;
    QList<QStringList> m_alertes; // per step, per call
    eo::EOTransactionSteps::Result m_resultat;
    QVariantMap m_sorties;
    QString m_alerte; // of the refused call that ran at once
    bool m_ouverte = true;
    bool m_refusee = false;
};

} // namespace data
