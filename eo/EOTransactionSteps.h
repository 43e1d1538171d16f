#pragma once

#include "EOException.h"
#include "EOStoredProcedure.h"

#include <QString>
#include <QVariantMap>
#include <functional>
#include <vector>

namespace eo
{

// The writes of one action handed to the adaptor at once: one database transaction, committed once after
// its last step, in which each step is a savepoint. A step is stored wholly or not at all: its calls stop at
// the first one the database refuses, the transaction goes back to where the step began, and the next step
// runs. A refused step that is essential rolls the whole transaction back instead, and no later step runs.
// A server far away gets every step and the commit in one round trip when nothing is refused.
struct EOTransactionSteps {
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

    struct Step {
        std::vector<Call> calls;
        bool essential = false; // refused, it takes the whole transaction with it
    };

    // What became of the transaction.
    enum class State {
        Committed,
        RolledBack, // nothing of it is stored
        Unknown,    // the link broke before the database confirmed the commit, and it could not be asked
    };

    // What became of one step.
    struct StepOutcome {
        bool refused = false; // rolled back (to its savepoint, or with the whole transaction when essential)
        int refusedCall = -1; // the call the database refused
        QString message;      // the database's reason, for the user
        QVariantMap outputs;  // the output values of its last call that ran
    };

    struct Result {
        State state = State::RolledBack;
        // Why the transaction is not committed when no essential step says it (a refused commit, a lost
        // link); "" otherwise.
        QString message;
        // Committed after the link broke: the database, asked again on a new connection, confirmed it.
        bool confirmedAfterLoss = false;
        std::vector<StepOutcome> steps; // one per step; a step after an essential refusal did not run

        bool committed() const { return state == State::Committed; }
        // Whether that step's writes are stored.
        bool stored(size_t step) const { return committed() && !steps.at(step).refused; }
    };

    std::vector<Step> steps;
    // The transaction open on the connection is this one's beginning: the steps join it.
    bool continuesOpenTransaction = false;
    // Told "begin", each procedure's name and "commit" as they go to the database (for the tests and the
    // benchmarks), and "rollback" when the transaction or a step goes back.
    std::function<void(const QString &event)> sent;

    void note(const QString &event) const
    {
        if (sent)
            sent(event);
    }
};

} // namespace eo
