#include "RoomTransactionBatch.h"

#include "AlertPanel.h"
#include "KORDataBusOC.h"
#include "RoomTransaction.h"

namespace rooms
{

RoomTransactionBatch::RoomTransactionBatch(data::KORDataBusOC &dataBus) : m_dataBus(dataBus) {}

void RoomTransactionBatch::commencer(const QString &alerteValidation)
{
    m_transactions.append({alerteValidation, {}, {}});
}

void RoomTransactionBatch::appeler(const QString &procedure, const QVariantMap &arguments,
                                   const QString &alerte)
{
    if (m_transactions.isEmpty())
        commencer(QString());
    Transaction &transaction = m_transactions.last();
    transaction.appels.push_back({procedure, nullptr, arguments});
    transaction.alertes.append(alerte);
}

QList<bool> RoomTransactionBatch::envoyer()
{
    if (estVide())
        return {};
    eo::EOTransactionBatch lot;
    for (const Transaction &transaction : std::as_const(m_transactions))
        lot.transactions.push_back(transaction.appels);
    lot.sent = [](const QString &evenement) { RoomTransaction::noter(evenement); };
    if (!m_fin.first.isEmpty())
        lot.closing = m_fin;
    const std::vector<eo::EOTransactionBatch::Outcome> issues =
        m_dataBus.executeTransactions(std::move(lot), QStringLiteral("l'enregistrement de la salle"));

    QList<bool> enregistrees;
    m_sorties.clear();
    QString dernierMessage;
    for (qsizetype t = 0; t < m_transactions.size(); ++t) {
        const eo::EOTransactionBatch::Outcome &issue = issues.at(size_t(t));
        m_sorties.append(issue.outputs);
        const bool enregistree = issue.state == eo::EOTransactionBatch::Outcome::State::Committed;
        enregistrees.append(enregistree);
        if (enregistree)
            continue;
        // A link lost once leaves every transaction after it unconfirmed: its message is said once.
        if (!issue.message.isEmpty() && issue.message != dernierMessage) {
            platform::NSRunAlertPanel(QStringLiteral("ERREUR..."), issue.message, QStringLiteral("OK"));
            dernierMessage = issue.message;
        }
        const Transaction &transaction = m_transactions.at(t);
        const QString alerte = issue.refusedCall >= 0 ? transaction.alertes.value(issue.refusedCall)
                                                      : transaction.alerteValidation;
        if (!alerte.isEmpty())
            platform::NSRunAlertPanel(QStringLiteral("ATTENTION"), alerte, QStringLiteral("OK"));
    }
    m_transactions.clear();
    m_fin = {};
    return enregistrees;
}

} // namespace rooms
