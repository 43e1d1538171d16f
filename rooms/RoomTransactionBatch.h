#pragma once

#include "EOTransactionBatch.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>
#include <utility>

namespace data
{
class KORDataBusOC;
}

namespace rooms
{

// Transactions of the room tab's writes sent to the database together: a server far away answers them all
// in one round trip. Each one keeps the rules of a single transaction (RoomTransaction): its calls stop at
// the first refused one and it is rolled back, a commit refused counts as a refusal; the next one runs
// whatever became of it. Afterwards, for each transaction not stored and in their order, the database's
// message (title "ERREUR...") and the alert of the refused call or of the commit (title "ATTENTION").
class RoomTransactionBatch
{
public:
    explicit RoomTransactionBatch(data::KORDataBusOC &dataBus);

    // A new transaction; alerteValidation follows the database's message when it is not stored for another
    // reason than a refused call (its commit, a lost connection).
    void commencer(const QString &alerteValidation);
    // A call of the last transaction begun; alerte is shown when this call is the refused one ("" for none).
    void appeler(const QString &procedure, const QVariantMap &arguments, const QString &alerte);
    // Nothing to send: no transaction and no closing query.
    bool estVide() const { return m_transactions.isEmpty() && m_fin.first.isEmpty(); }
    // A query sent after the transactions, outside them (the end of the room's hold).
    void terminerPar(const std::pair<QString, QVariantList> &requete) { m_fin = requete; }

    // Sends every transaction and shows the alerts; answers, in order, which ones are stored (nothing is
    // sent when there is nothing to send). A transaction open on the data bus is the first one's beginning.
    QList<bool> envoyer();
    // The output values of the last call that ran in that transaction.
    QVariantMap sorties(qsizetype transaction) const { return m_sorties.value(transaction); }

private:
    struct Transaction {
        QString alerteValidation;
        QStringList alertes;
        std::vector<eo::EOTransactionBatch::Call> appels;
    };

    data::KORDataBusOC &m_dataBus;
    QList<Transaction> m_transactions;
    QList<QVariantMap> m_sorties;
    std::pair<QString, QVariantList> m_fin;
};

} // namespace rooms
