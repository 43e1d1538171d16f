#pragma once

#include <QString>
#include <QVariantMap>

namespace data
{
class KORDataBusOC;
}

namespace reference
{

// One write of the reference windows: a transaction of its own around one stored procedure, committed when
// the procedure succeeded and rolled back when it failed. A refusal has already been shown to the user in
// the data bus's "ERREUR..." alert; a commit that fails is shown the same way and counts as a failure, so a
// caller never takes a lost write for a stored one.
class ProcedureTransaction
{
public:
    ProcedureTransaction() = delete;

    static bool executer(data::KORDataBusOC &dataBus, const QString &procedure, const QVariantMap &arguments);
};

} // namespace reference
