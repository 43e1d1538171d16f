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

    // The steps of one wheel event, given what is left of the previous events of the same view. A classic
    // wheel sends a notch (120) or more at a time: such a delta keeps the started-notch rule of wheelSteps
    // and clears the remainder. Touchpads and high-resolution wheels send fractions of a notch (eight
    // events of 15 for one notch): these add up, and each full notch gives one step, its excess kept for
    // the next events. Turning the other way drops what was left.
    static int notchSteps(int &remainder, int delta);
    // The fraction of a notch a view has received and not yet turned into a step.
    static int wheelRemainder(const QAbstractScrollArea *view);

    // The scroll view that takes the wheel: the first on the way up from the widget that holds the keyboard
    // focus; null when there is none.
    static QAbstractScrollArea *scrollViewFor(QWidget *focus);
    static QAbstractScrollArea *focusedScrollView();

    // Scrolls the focused scroll view by the steps of a delta, fractions of a notch added up per view.
    static void scrollFocusedView(int delta);
    static void scrollView(QAbstractScrollArea *view, int delta);
};

} // namespace widgets
