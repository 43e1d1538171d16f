#include "WheelEventHandler.h"

#include "MouseWheelEvents.h"

#include <QWheelEvent>

namespace widgets
{

WheelEventHandler::WheelEventHandler(QObject *parent) : QObject(parent) {}

bool WheelEventHandler::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Wheel)
        return QObject::eventFilter(watched, event);
    const int delta = static_cast<QWheelEvent *>(event)->angleDelta().y();
    if (delta == 0)
        return false;
    MouseWheelEvents::scrollFocusedView(delta);
    // The event is used up whether or not a view took it: nothing else scrolls on the wheel.
    return true;
}

} // namespace widgets
