#include "NSCursorExtensions.h"

#include <QCursor>
#include <QGuiApplication>

namespace data
{

namespace
{

int openScopes = 0; // the main thread's only

} // namespace

void StartWaitCursor()
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return;
    if (QGuiApplication::overrideCursor())
        QGuiApplication::changeOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void StopWaitCursor()
{
    if (openScopes > 0 || !qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return;
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

bool isWaitCursorShown()
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return false;
    const QCursor *cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WaitCursor;
}

WaitCursorScope::WaitCursorScope()
{
    ++openScopes;
    StartWaitCursor();
}

WaitCursorScope::~WaitCursorScope()
{
    if (--openScopes == 0)
        StopWaitCursor();
}

} // namespace data
