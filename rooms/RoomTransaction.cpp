#include "RoomTransaction.h"

#include "AlertPanel.h"
#include "EOException.h"
#include "KORDataBusOC.h"

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

void noter(const QString &evenement)
{
    if (journal())
        journal()(evenement);
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

bool RoomTransaction::appeler(const QString &procedure, const QVariantMap &arguments, const QString &alerte)
{
    if (m_refusee)
        return false;
    noter(procedure);
    if (m_dataBus.executeProcedureSansTransaction(procedure, arguments))
        return true;
    m_refusee = true;
    m_alerte = alerte;
    return false;
}

QVariantMap RoomTransaction::sorties() const
{
    return m_dataBus.dataBusAdaptorChannel()->returnValuesForLastStoredProcedureInvocation();
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

} // namespace rooms
