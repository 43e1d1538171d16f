#include "ProcedureTransaction.h"

#include "AlertPanel.h"
#include "EOException.h"
#include "KORDataBusOC.h"

namespace reference
{

namespace
{

void annuler(data::KORDataBusOC &dataBus)
{
    try {
        dataBus.rollbackTransaction();
    } catch (const eo::EOException &) {
        // The connection that refused the commit may refuse the rollback too; the write is lost either way
        // and the user has been told.
    }
}

} // namespace

bool ProcedureTransaction::executer(data::KORDataBusOC &dataBus, const QString &procedure,
                                    const QVariantMap &arguments)
{
    try {
        dataBus.beginTransaction();
        if (!dataBus.executeProcedureSansTransaction(procedure, arguments)) {
            dataBus.rollbackTransaction();
            return false;
        }
        dataBus.commitTransaction();
        return true;
    } catch (const eo::EOException &error) {
        // Rolled back before the user is told: no lock is held while the alert waits for an answer.
        annuler(dataBus);
        platform::NSRunAlertPanel(QStringLiteral("ERREUR..."), error.message(), QStringLiteral("OK"));
        return false;
    }
}

} // namespace reference
