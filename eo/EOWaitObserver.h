#pragma once

#include <QString>

namespace eo
{

// Told by an adaptor while it waits on the database (a row or table that another user holds, a long
// statement), so that the program can show that it is busy and let the user give up. The adaptor calls it
// on the thread that made the call, about every 50 ms of waiting.
class EOWaitObserver
{
public:
    virtual ~EOWaitObserver() = default;
    // activity names what waits ("la recherche SallesVix", "la procédure insSalle"); elapsed is the time
    // waited so far. Answering true asks the adaptor to give up: the call then fails as cancelled.
    virtual bool databaseIsWaiting(const QString &activity, qint64 elapsedMilliseconds) = 0;
    // The wait that databaseIsWaiting was told of is over, however it ended.
    virtual void databaseWaitEnded() = 0;
};

} // namespace eo
