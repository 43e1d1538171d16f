#include "MouseWheelEvents.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QScrollBar>
#include <QVariant>
#include <cmath>

namespace widgets
{

namespace
{

const char *const pageScrollProperty = "locaviaPageScroll";

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

void MouseWheelEvents::scrollFocusedView(int delta)
{
    QAbstractScrollArea *view = focusedScrollView();
    if (!view)
        return;
    const int steps = wheelSteps(delta);
    for (int i = 0; i < steps; ++i)
        mouseWheeledUp(view);
    for (int i = 0; i > steps; --i)
        mouseWheeledDown(view);
}

} // namespace widgets
