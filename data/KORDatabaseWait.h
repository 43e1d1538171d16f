#pragma once

#include "EOWaitObserver.h"
#include "NSCursorExtensions.h"

#include <QObject>
#include <functional>
#include <optional>

namespace data
{

// What the program shows while the database makes it wait (another user's lock, a long statement): past
// ShownAfter, the wait cursor and a wait message in the main window's title. Meanwhile the windows are
// drawn again but take no input, so that no other action starts on the busy connection; Escape gives the
// call up.
class KORDatabaseWait : public QObject, public eo::EOWaitObserver
{
    Q_OBJECT
public:
    static constexpr qint64 ShownAfter = 1000; // milliseconds

    // setTitle writes the main window's title, applicationTitle answers the title to give back.
    KORDatabaseWait(std::function<void(const QString &)> setTitle, std::function<QString()> applicationTitle);
    ~KORDatabaseWait() override;

    bool databaseIsWaiting(const QString &activity, qint64 elapsedMilliseconds) override;
    void databaseWaitEnded() override;
    bool isShown() const { return m_shown; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void(const QString &)> m_setTitle;
    std::function<QString()> m_applicationTitle;
    std::optional<WaitCursorScope> m_cursor;
    bool m_shown = false;
    bool m_cancelled = false;
};

} // namespace data
