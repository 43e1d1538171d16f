#pragma once

class QAbstractScrollArea;
class QWidget;

namespace widgets
{

// Mouse-wheel scrolling of a scroll view: one step moves about a tenth of the visible height, less the page
// overlap, in whole lines and at least one line. Distances are in the units of the view's vertical scroll
// bar (pixels for most views, items or lines for views that scroll by item).
class MouseWheelEvents
{
public:
    MouseWheelEvents() = delete;

    // One wheel notch, as the wheel reports it.
    static constexpr int notch = 120;

    // The distance of one step for a line, a visible height and a page overlap, in single precision:
    // (height - page) / 10 rounded down to whole lines, and one line when that is less than a line.
    static float mouseWheelDistance(float line, float height, float page);
    // The same for a view: its scroll bar's single step, its visible extent and its page overlap.
    static float mouseWheelDistance(const QAbstractScrollArea *view);

    // The page overlap of a view: what stays visible of the previous page when paging. Qt pages without
    // overlap, so it is 0 unless set here.
    static int pageScroll(const QAbstractScrollArea *view);
    static void setPageScroll(QAbstractScrollArea *view, int overlap);

    // One step towards the top or the bottom, kept inside the document. A view without a vertical scroll
    // bar does not move.
    static void mouseWheeledUp(QAbstractScrollArea *view);
    static void mouseWheeledDown(QAbstractScrollArea *view);

    // The steps of a wheel delta: one per started notch, positive towards the top (250 gives 3, -360
    // gives -3, 0 gives 0).
    static int wheelSteps(int delta);

    // The steps of one wheel event, given what is left of the notch the previous events of the same view
    // began. Deltas add up by notches of 120 and each notch steps as soon as it begins: a lone 60 is one
    // step, 250 three, and the eight events of 15 that touchpads and high-resolution wheels send for one
    // notch are one step, not eight. Turning the other way drops the rest of the notch begun.
    static int notchSteps(int &remainder, int delta);
    // What is left of the notch a view has begun (negative towards the bottom), 0 when none is begun.
    static int wheelRemainder(const QAbstractScrollArea *view);

    // The scroll view that takes the wheel: the first on the way up from the widget that holds the keyboard
    // focus; null when there is none.
    static QAbstractScrollArea *scrollViewFor(QWidget *focus);
    static QAbstractScrollArea *focusedScrollView();

    // Scrolls the focused scroll view by the steps of a delta, the notch begun kept per view.
    static void scrollFocusedView(int delta);
    static void scrollView(QAbstractScrollArea *view, int delta);
};

} // namespace widgets
