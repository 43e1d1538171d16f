#pragma once

namespace data
{

// The wait cursor shown while the database works, as the application's override cursor. Calls do not nest:
// one StopWaitCursor ends any number of StartWaitCursor calls. Without a graphical application they do
// nothing.
void StartWaitCursor();
void StopWaitCursor();
bool isWaitCursorShown();

// Shows the wait cursor for its life. Scopes nest: the cursor stays until the outermost one ends, whatever
// StopWaitCursor calls happen inside (an inner fetch must not give the arrow back while its caller still
// fills a list with the rows).
class WaitCursorScope
{
public:
    WaitCursorScope();
    ~WaitCursorScope();
    WaitCursorScope(const WaitCursorScope &) = delete;
    WaitCursorScope &operator=(const WaitCursorScope &) = delete;
};

} // namespace data
