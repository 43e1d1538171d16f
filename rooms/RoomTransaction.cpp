#include "RoomTransaction.h"

#include "AlertPanel.h"
#include "EOException.h"
#include "KORDataBusOC.h"
#include "RoomTransactionBatch.h"

#include <QDebug>

namespace rooms
{

namespace
{

RoomTransaction::Journal &journal()
{
    static RoomTransaction::Journal suivi;
    return suivi;
}

void alerte(const QString &titre, const QString &message)
{
    if (!message.isEmpty())
        platform::NSRunAlertPanel(titre, message, QStringLiteral("OK"));
}

} // namespace

RoomTransaction::RoomTransaction(data::KORDataBusOC &dataBus, const QString &alerteValidation)
    : m_dataBus(dataBus), m_alerteValidation(alerteValidation)
{
    noter(QStringLiteral("begin"));
    m_dataBus.beginTransaction();
}

RoomTransaction::~RoomTransaction()
{
    if (!m_ouverte)
        return;
    // An exception left the action between two calls: nothing of this transaction may stay.
    try {
        noter(QStringLiteral("rollback"));
        m_dataBus.rollbackTransaction();
    } catch (const std::exception &error) {
        qWarning().noquote() << QStringLiteral(">>>>> Annulation de la transaction impossible : %1")
                                    .arg(QString::fromUtf8(error.what()));
    }
}

void RoomTransaction::setJournal(Journal suivi)
{
    journal() = std::move(suivi);
}

void RoomTransaction::noter(const QString &evenement)
{
    if (journal())
        journal()(evenement);
}

bool RoomTransaction::appeler(const QString &procedure, const QVariantMap &arguments, const QString &alerte)
{
    if (m_refusee)
        return false;
    noter(procedure);
    if (m_dataBus.executeProcedureSansTransaction(procedure, arguments)) {
        m_sorties = m_dataBus.dataBusAdaptorChannel()->returnValuesForLastStoredProcedureInvocation();
        return true;
    }
    m_refusee = true;
    m_alerte = alerte;
    return false;
}

void RoomTransaction::ajouter(const QString &procedure, const QVariantMap &arguments, const QString &alerte)
{
    if (m_refusee)
        return;
    if (!m_suite) {
        m_suite = std::make_unique<RoomTransactionBatch>(m_dataBus);
        m_suite->commencer(m_alerteValidation);
    }
    m_suite->appeler(procedure, arguments, alerte);
}

QVariantMap RoomTransaction::sorties() const
{
    return m_sorties;
}

void RoomTransaction::abandonner()
{
    if (!m_ouverte)
        return;
    m_ouverte = false;
    m_refusee = true;
    noter(QStringLiteral("rollback"));
    m_dataBus.rollbackTransaction();
}

bool RoomTransaction::terminer()
{
    if (!m_ouverte)
        return !m_refusee;
    m_ouverte = false;
    if (m_refusee) {
        noter(QStringLiteral("rollback"));
        m_dataBus.rollbackTransaction();
        alerte(QStringLiteral("ATTENTION"), m_alerte);
        return false;
    }
    if (m_suite)
        return envoyerAvecLaValidation();
    try {
        noter(QStringLiteral("commit"));
        m_dataBus.commitTransaction();
    } catch (const eo::EOException &error) {
        // What the calls wrote is lost with the commit: the user learns that it was not stored.
        m_refusee = true;
        alerte(QStringLiteral("ERREUR..."), error.message());
        alerte(QStringLiteral("ATTENTION"), m_alerteValidation);
        return false;
    }
    return true;
}

bool RoomTransaction::envoyerAvecLaValidation()
{
    // The transaction is over once the calls and the commit are sent, whatever the answer.
    const std::unique_ptr<RoomTransactionBatch> suite = std::move(m_suite);
    const bool enregistree = suite->envoyer().value(0, false);
    if (enregistree) {
        const QVariantMap sorties = suite->sorties(0);
        if (!sorties.isEmpty())
            m_sorties = sorties;
    }
    m_refusee = !enregistree;
    return enregistree;
}

} // namespace rooms
