#pragma once

#include <QObject>
#include <QString>
#include <exception>
#include <utility>

namespace data
{
class KORDataBusOC;
}

namespace framework
{

// The boundary of a user's action. Qt does not let an exception cross its frames (its event dispatch
// would leak or lose the event), so every action is run through this boundary: an error that escapes the
// action ends that action only. It is logged with ">>>>> ", an open transaction of the data bus is rolled
// back, the "ERREUR" alert shows its message, and the program goes on.
//
// Connect every button, menu item, list or timer of a controller to its action with connectAction:
//
//     connectAction(ui->boutonCreer, &QPushButton::clicked, this, [this] { create(ui->boutonCreer); });
//
// and run any other entry point called by Qt (a display group's delegate, an event filter) with
// performAction. The action takes no argument: it reads what it needs from its controls.

// Ends an action that failed with that reason (the log line, the rollback, the alert). The data bus is the
// application's when none is given. Never throws.
void reportActionFailure(const QString &reason, data::KORDataBusOC *dataBus = nullptr) noexcept;
// The reason shown for an error: the French message of the database layer's errors, the text of others.
QString reasonOf(const std::exception &error);

// Runs an action inside the boundary.
template <typename Action> void performAction(Action &&action) noexcept
{
    try {
        std::forward<Action>(action)();
    } catch (const std::exception &error) {
        reportActionFailure(reasonOf(error));
    } catch (...) {
        reportActionFailure(QStringLiteral("Erreur inconnue."));
    }
}

// QObject::connect for an action: the action runs inside the boundary, in the context object's thread, and
// the connection ends with the context.
template <typename Sender, typename Signal, typename Action>
QMetaObject::Connection connectAction(const Sender *sender, Signal signal, const QObject *context,
                                      Action action)
{
    return QObject::connect(sender, signal, context,
                            [action = std::move(action)]() mutable { performAction(action); });
}

} // namespace framework
