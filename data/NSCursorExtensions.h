#pragma once

namespace data
{

// The wait cursor shown while the database works, as the application's override cursor. Calls do not nest:
// one StopWaitCursor ends any number of StartWaitCursor calls. Without a graphical application they do
// nothing.
void StartWaitCursor();
void StopWaitCursor();
bool isWaitCursorShown();

} // namespace data
