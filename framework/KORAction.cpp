#include "KORAction.h"

#include "AlertPanel.h"
#include "KORApplicationOC.h"
#include "KORDataBusOC.h"
#include "KORFormHelpers.h"

#include <QDebug>

namespace framework
{

QString reasonOf(const std::exception &error)
{
    return KORFormHelpers::traitementException(error);
}

void reportActionFailure(const QString &reason, data::KORDataBusOC *dataBus) noexcept
{
    try {
        qWarning().noquote() << QStringLiteral(">>>>> Action interrompue : %1").arg(reason);
        if (!dataBus) {
            if (KORApplicationOC *application = KORApplicationOC::instance())
                dataBus = application->superDataBus();
        }
        // The action may have stopped between the beginning of a transaction and its end: nothing of it is
        // kept, and the connection is free for the next action.
        if (dataBus && dataBus->hasOpenTransaction()) {
            try {
                dataBus->rollbackTransaction();
            } catch (const std::exception &error) {
                qWarning().noquote() << QStringLiteral(">>>>> Annulation de la transaction impossible : %1")
                                            .arg(reasonOf(error));
            }
        }
        platform::NSRunAlertPanel(QStringLiteral("ERREUR"), reason, QStringLiteral("OK"));
    } catch (...) {
        // Reporting must not fail the boundary; the log line, when it could be written, says enough.
    }
}

} // namespace framework
