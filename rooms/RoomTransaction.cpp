#include "RoomTransaction.h"

#include "AlertPanel.h"
#include "EOException.h"
#include "KORDataBusOC.h"

#include <QDebug>
#include <atomic>

namespace rooms
{

namespace
{

std::atomic<qint64> transactions{0};

void alerte(const QString &titre, const QString &message)
{
    if (!message.isEmpty())
        platform::NSRunAlertPanel(titre, message, QStringLiteral("OK"));
}

} // namespace

RoomTransaction::RoomTransaction(data::KORDataBusOC &dataBus, const QString &alerteValidation)
    : m_dataBus(dataBus), m_alerteValidation(alerteValidation)
{
    m_dataBus.beginTransaction();
    ++transactions;
}

RoomTransaction::~RoomTransaction()
{
    if (!m_ouverte)
        return;
    // An exception left the action between two calls: nothing of this transaction may stay.
    try {
        m_dataBus.rollbackTransaction();
    } catch (const std::exception &error) {
        qWarning().noquote() << QStringLiteral(">>>>> Annulation de la transaction impossible : %1")
                                    .arg(QString::fromUtf8(error.what()));
    }
}

qint64 RoomTransaction::compteur()
{
    return transactions.load();
}

bool RoomTransaction::appeler(const QString &procedure, const QVariantMap &arguments, const QString &alerte)
{
    if (m_refusee)
        return false;
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

bool RoomTransaction::terminer()
{
    if (!m_ouverte)
        return !m_refusee;
    m_ouverte = false;
    if (m_refusee) {
        m_dataBus.rollbackTransaction();
        alerte(QStringLiteral("ATTENTION"), m_alerte);
        return false;
    }
    try {
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
