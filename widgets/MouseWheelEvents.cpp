#include "MouseWheelEvents.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QScrollBar>
#include <QVariant>
#include <cmath>
#include <cstdlib>

namespace widgets
{

namespace
{

const char *const pageScrollProperty = "locaviaPageScroll";
// Kept on the view itself, so that each view adds up its own fractions and they go with it.
const char *const wheelRemainderProperty = "locaviaWheelRemainder";

bool hasVerticalScroller(const QAbstractScrollArea *view)
{
    return view && view->verticalScrollBar() && view->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
}

void scrollBy(QAbstractScrollArea *view, int sign)
{
    if (!hasVerticalScroller(view))
        return;
    QScrollBar *bar = view->verticalScrollBar();
    // Qt's coordinates grow downwards: towards the top is towards the bar's minimum. setValue keeps the
    // value inside the document.
    const int distance = int(std::lround(MouseWheelEvents::mouseWheelDistance(view)));
    bar->setValue(bar->value() + sign * distance);
}

} // namespace

float MouseWheelEvents::mouseWheelDistance(float line, float height, float page)
{
    if (!(line > 0.0f))
        return 0.0f; // a view without a line step does not scroll
    const float d = (height - page) / 10.0f;
    if (d < line)
        return line;
    return line * std::trunc(d / line);
}

float MouseWheelEvents::mouseWheelDistance(const QAbstractScrollArea *view)
{
    if (!view || !view->verticalScrollBar())
        return 0.0f;
    const QScrollBar *bar = view->verticalScrollBar();
    // Every Qt scroll view keeps its bar's page step equal to the visible extent.
    return mouseWheelDistance(float(bar->singleStep()), float(bar->pageStep()), float(pageScroll(view)));
}

int MouseWheelEvents::pageScroll(const QAbstractScrollArea *view)
{
    return view ? view->property(pageScrollProperty).toInt() : 0;
}

void MouseWheelEvents::setPageScroll(QAbstractScrollArea *view, int overlap)
{
    if (view)
        view->setProperty(pageScrollProperty, overlap);
}

void MouseWheelEvents::mouseWheeledUp(QAbstractScrollArea *view)
{
    scrollBy(view, -1);
}

void MouseWheelEvents::mouseWheeledDown(QAbstractScrollArea *view)
{
    scrollBy(view, +1);
}

int MouseWheelEvents::wheelSteps(int delta)
{
    int steps = 0;
    if (delta > 0) {
        do {
            ++steps;
            delta -= notch;
        } while (delta > 0);
    } else if (delta < 0) {
        do {
            --steps;
            delta += notch;
        } while (delta < 0);
    }
    return steps;
}

QAbstractScrollArea *MouseWheelEvents::scrollViewFor(QWidget *focus)
{
    for (QWidget *widget = focus; widget; widget = widget->parentWidget()) {
        if (auto *view = qobject_cast<QAbstractScrollArea *>(widget))
            return view;
        if (widget->isWindow())
            break;
    }
    return nullptr;
}

QAbstractScrollArea *MouseWheelEvents::focusedScrollView()
{
    return scrollViewFor(QApplication::focusWidget());
}

int MouseWheelEvents::notchSteps(int &remainder, int delta)
{
    if (delta == 0)
        return 0;
    // The remainder is what is left of the notch already begun, signed by its direction.
    if ((remainder > 0 && delta < 0) || (remainder < 0 && delta > 0))
        remainder = 0;
    if (std::abs(delta) <= std::abs(remainder)) {
        remainder -= delta;
        return 0;
    }
    // Past the notch begun: one step for each notch the rest of the delta begins.
    const int excess = delta - remainder;
    const int steps = wheelSteps(excess);
    remainder = steps * notch - excess;
    return steps;
}

int MouseWheelEvents::wheelRemainder(const QAbstractScrollArea *view)
{
    return view ? view->property(wheelRemainderProperty).toInt() : 0;
}

void MouseWheelEvents::scrollFocusedView(int delta)
{
    scrollView(focusedScrollView(), delta);
}

void MouseWheelEvents::scrollView(QAbstractScrollArea *view, int delta)
{
    if (!view)
        return;
    int remainder = wheelRemainder(view);
    const int steps = notchSteps(remainder, delta);
    view->setProperty(wheelRemainderProperty, remainder);
    for (int i = 0; i < steps; ++i)
        mouseWheeledUp(view);
    for (int i = 0; i > steps; --i)
        mouseWheeledDown(view);
}

} // namespace widgets
