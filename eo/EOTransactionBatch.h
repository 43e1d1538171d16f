#pragma once

#include "EOException.h"
#include "EOStoredProcedure.h"

#include <QString>
#include <QVariantList>
#include <QVariantMap>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace eo
{

// Transactions of stored-procedure calls handed to the adaptor at once, so that a server far away answers
// them all in one round trip. Each transaction is stored wholly or not at all: its calls stop at the first
// one the database refuses, and a transaction runs whatever became of the one before it.
struct EOTransactionBatch {
    struct Call {
        QString name;                                 // as the model names the procedure
        const EOStoredProcedure *procedure = nullptr; // none: the model has no such procedure
        QVariantMap values;

        // The procedure to call; throws EOException (Kind::Model) when the model has none of that name.
        const EOStoredProcedure &requireProcedure() const
        {
            if (!procedure) {
                throw EOException(
                    EOException::Kind::Model,
                    QStringLiteral("La procédure « %1 » n'existe pas dans le modèle.").arg(name));
            }
            return *procedure;
        }
    };

    // What became of one transaction.
    struct Outcome {
        enum class State {
            Committed,
            Refused, // rolled back: nothing of it is stored
            Unknown, // the link broke before the database confirmed it: it may have been stored or not
        };
        State state = State::Refused;
        int refusedCall = -1; // the call the database refused; -1 when it was the commit or the link
        QString message;      // the database's reason, for the user; empty when committed
        QVariantMap outputs;  // the output values of the last call that ran
    };

    std::vector<std::vector<Call>> transactions;
    // The transaction open on the connection is the first one's beginning: its calls join it and it is
    // committed (or rolled back) with them.
    bool continuesOpenTransaction = false;
    // A raw query sent after the transactions, outside them: the end of a hold the writes needed (the
    // room held against other saves). Its failure only goes to the log: the writes are what they are.
    std::optional<std::pair<QString, QVariantList>> closing;
    // Told "begin", each procedure's name and "commit" as they go to the database (for the tests and the
    // benchmarks), and "rollback" when a refused transaction is rolled back on its own.
    std::function<void(const QString &event)> sent;

    void note(const QString &event) const
    {
        if (sent)
            sent(event);
    }
};

} // namespace eo
