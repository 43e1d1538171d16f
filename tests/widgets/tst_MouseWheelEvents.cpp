// The mouse wheel: steps per delta, the distance of one step, and which view scrolls when the wheel turns.

#include "BugFixApplication.h"
#include "MouseWheelEvents.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>

using widgets::MouseWheelEvents;
using Deltas = QList<int>;

namespace
{

// A scroll area of a fixed visible height over a tall document, with a field inside to hold the focus.
struct Scroller {
    QScrollArea *area = nullptr;
    QLineEdit *field = nullptr;
};

Scroller addScroller(QWidget *parent, QLayout *layout, int visibleHeight)
{
    Scroller scroller;
    scroller.area = new QScrollArea(parent);
    scroller.area->setFrameShape(QFrame::NoFrame);
    scroller.area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller.area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scroller.area->setFixedHeight(visibleHeight);
    auto *document = new QWidget;
    document->setFixedSize(200, 3000);
    scroller.field = new QLineEdit(document);
    scroller.field->move(10, 10);
    scroller.area->setWidget(document);
    layout->addWidget(scroller.area);
    return scroller;
}

// Turns the wheel over a widget, as the window system delivers it.
void turnWheel(QWidget *under, QPoint angleDelta)
{
    const QPointF position(5, 5);
    QWheelEvent event(position, under->mapToGlobal(position), QPoint(), angleDelta, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(under, &event);
}

// Records the wheel events that reach it.
class WheelTarget : public QWidget
{
public:
    int received = 0;

protected:
    void wheelEvent(QWheelEvent *event) override
    {
        ++received;
        event->accept();
    }
};

} // namespace

class TestMouseWheelEvents : public QObject
{
    Q_OBJECT

private slots:
    void stepsOfADelta_data();
    void stepsOfADelta();
    void fractionsOfANotchAddUp_data();
    void fractionsOfANotchAddUp();
    void eachViewAddsUpItsOwnFractions();
    void distanceOfAStep_data();
    void distanceOfAStep();
    void theFocusedViewScrollsNotTheOneUnderTheMouse();
    void aViewThatIsItselfScrollableTakesTheWheel();
    void withoutVerticalScrollerNothingMoves();
    void withoutFocusedViewTheWheelIsUsedUp();
    void horizontalWheelGoesOnToTheWidget();
};

void TestMouseWheelEvents::stepsOfADelta_data()
{
    QTest::addColumn<int>("delta");
    QTest::addColumn<int>("steps");
    QTest::newRow("one notch up") << 120 << 1;
    QTest::newRow("half a notch is a step") << 60 << 1;
    QTest::newRow("two notches") << 240 << 2;
    QTest::newRow("a started third notch") << 250 << 3;
    QTest::newRow("just over one notch") << 121 << 2;
    QTest::newRow("three notches down") << -360 << -3;
    QTest::newRow("a unit down") << -1 << -1;
    QTest::newRow("no delta") << 0 << 0;
}

void TestMouseWheelEvents::stepsOfADelta()
{
    QFETCH(int, delta);
    QFETCH(int, steps);
    QCOMPARE(MouseWheelEvents::wheelSteps(delta), steps);
}

void TestMouseWheelEvents::fractionsOfANotchAddUp_data()
{
    QTest::addColumn<Deltas>("deltas");
    QTest::addColumn<int>("steps");
    QTest::addColumn<int>("remainder");
    QTest::newRow("a lone 60 is a step") << Deltas{60} << 1 << 60;
    QTest::newRow("60 then 60 fill the same notch") << Deltas{60, 60} << 1 << 0;
    QTest::newRow("a third 60 begins the next notch") << Deltas{60, 60, 60} << 2 << 60;
    QTest::newRow("the first -15 steps at once") << Deltas{-15} << -1 << -105;
    QTest::newRow("eight -15 are one notch down") << Deltas(8, -15) << -1 << 0;
    QTest::newRow("the ninth -15 begins a second notch") << Deltas(9, -15) << -2 << -105;
    QTest::newRow("sixteen 15 are two notches up") << Deltas(16, 15) << 2 << 0;
    QTest::newRow("a delta past the notch begun") << Deltas{-100, -100, -40} << -2 << 0;
    QTest::newRow("turning back drops the rest of the notch") << Deltas{-15, 15} << 0 << 105;
    QTest::newRow("turning back twice") << Deltas{-105, 15, 105} << 0 << 0;
    QTest::newRow("a classic notch is one step") << Deltas{120} << 1 << 0;
    QTest::newRow("two classic notches down") << Deltas{-120, -120} << -2 << 0;
    QTest::newRow("250 at once, a started third notch") << Deltas{250} << 3 << 110;
    QTest::newRow("-360 at once") << Deltas{-360} << -3 << 0;
    QTest::newRow("a classic notch after half a notch") << Deltas{-60, -120, -60} << -2 << 0;
    QTest::newRow("no delta") << Deltas{0, 0} << 0 << 0;
}

void TestMouseWheelEvents::fractionsOfANotchAddUp()
{
    QFETCH(Deltas, deltas);
    QFETCH(int, steps);
    QFETCH(int, remainder);
    int left = 0;
    int total = 0;
    for (const int delta : std::as_const(deltas))
        total += MouseWheelEvents::notchSteps(left, delta);
    QCOMPARE(total, steps);
    QCOMPARE(left, remainder);
}

void TestMouseWheelEvents::eachViewAddsUpItsOwnFractions()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    const Scroller first = addScroller(&window, layout, 300);
    const Scroller second = addScroller(&window, layout, 300);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QScrollBar *firstBar = first.area->verticalScrollBar();
    QScrollBar *secondBar = second.area->verticalScrollBar();
    QTRY_COMPARE(firstBar->pageStep(), 300);
    firstBar->setSingleStep(10);
    MouseWheelEvents::setPageScroll(first.area, 20);
    first.field->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), first.field);

    // One notch of a high-resolution wheel, eight events of -15, scrolls one step of 20, not eight, and
    // at its first event.
    turnWheel(first.area->viewport(), QPoint(0, -15));
    QCOMPARE(firstBar->value(), 20);
    for (int i = 0; i < 7; ++i)
        turnWheel(first.area->viewport(), QPoint(0, -15));
    QCOMPARE(firstBar->value(), 20);

    // Half a notch on each view is a step on each; the second half on the first view is none.
    turnWheel(first.area->viewport(), QPoint(0, -60));
    second.field->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), second.field);
    turnWheel(second.area->viewport(), QPoint(0, -60));
    QCOMPARE(firstBar->value(), 40);
    QCOMPARE(secondBar->value(), 20);
    QCOMPARE(MouseWheelEvents::wheelRemainder(second.area), -60);
    first.field->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), first.field);
    turnWheel(first.area->viewport(), QPoint(0, -60));
    QCOMPARE(firstBar->value(), 40);
    QCOMPARE(secondBar->value(), 20);
}

void TestMouseWheelEvents::distanceOfAStep_data()
{
    QTest::addColumn<float>("line");
    QTest::addColumn<float>("height");
    QTest::addColumn<float>("page");
    QTest::addColumn<float>("distance");
    QTest::newRow("two whole lines") << 10.0f << 300.0f << 20.0f << 20.0f;
    QTest::newRow("less than a line gives one line") << 10.0f << 100.0f << 20.0f << 10.0f;
    QTest::newRow("rounded down to whole lines") << 7.0f << 300.0f << 0.0f << 28.0f;
    QTest::newRow("a line and a half is one line") << 10.0f << 150.0f << 0.0f << 10.0f;
    QTest::newRow("overlap as large as the view") << 10.0f << 300.0f << 300.0f << 10.0f;
    QTest::newRow("no line step") << 0.0f << 300.0f << 0.0f << 0.0f;
}

void TestMouseWheelEvents::distanceOfAStep()
{
    QFETCH(float, line);
    QFETCH(float, height);
    QFETCH(float, page);
    QFETCH(float, distance);
    QCOMPARE(MouseWheelEvents::mouseWheelDistance(line, height, page), distance);
}

void TestMouseWheelEvents::theFocusedViewScrollsNotTheOneUnderTheMouse()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    const Scroller focused = addScroller(&window, layout, 300);
    const Scroller underMouse = addScroller(&window, layout, 300);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QScrollBar *bar = focused.area->verticalScrollBar();
    QTRY_COMPARE(bar->pageStep(), 300);
    bar->setSingleStep(10);
    MouseWheelEvents::setPageScroll(focused.area, 20);
    focused.field->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), focused.field);

    // One step is (300 - 20) / 10 = 28, that is two lines of 10.
    turnWheel(underMouse.area->viewport(), QPoint(0, -240));
    QCOMPARE(bar->value(), 40);
    QCOMPARE(underMouse.area->verticalScrollBar()->value(), 0);

    turnWheel(underMouse.area->viewport(), QPoint(0, 120));
    QCOMPARE(bar->value(), 20);
    // Towards the top the view stops at the top of the document.
    turnWheel(underMouse.area->viewport(), QPoint(0, 600));
    QCOMPARE(bar->value(), 0);
    // And at its bottom the other way.
    bar->setValue(bar->maximum() - 5);
    turnWheel(focused.area->viewport(), QPoint(0, -120));
    QCOMPARE(bar->value(), bar->maximum());
}

void TestMouseWheelEvents::aViewThatIsItselfScrollableTakesTheWheel()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    const Scroller outer = addScroller(&window, layout, 300);
    auto *text = new QPlainTextEdit(outer.area->widget());
    text->setGeometry(10, 50, 180, 120);
    QStringList lines;
    for (int i = 0; i < 500; ++i)
        lines << QStringLiteral("ligne %1").arg(i);
    text->setPlainText(lines.join(u'\n'));
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    text->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), text);
    QScrollBar *textBar = text->verticalScrollBar();
    QTRY_VERIFY(textBar->maximum() > 0);
    const float expected =
        MouseWheelEvents::mouseWheelDistance(float(textBar->singleStep()), float(textBar->pageStep()), 0.0f);
    QVERIFY(expected >= 1.0f);

    turnWheel(outer.area->viewport(), QPoint(0, -120));
    QCOMPARE(textBar->value(), int(expected));
    QCOMPARE(outer.area->verticalScrollBar()->value(), 0);
}

void TestMouseWheelEvents::withoutVerticalScrollerNothingMoves()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    const Scroller scroller = addScroller(&window, layout, 300);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    scroller.field->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), scroller.field);
    scroller.area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QScrollBar *bar = scroller.area->verticalScrollBar();
    bar->setValue(100);

    turnWheel(scroller.area->viewport(), QPoint(0, -120));
    QCOMPARE(bar->value(), 100);
    turnWheel(scroller.area->viewport(), QPoint(0, 120));
    QCOMPARE(bar->value(), 100);
}

void TestMouseWheelEvents::withoutFocusedViewTheWheelIsUsedUp()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *plain = new QLineEdit(&window);
    layout->addWidget(plain);
    const Scroller scroller = addScroller(&window, layout, 300);
    auto *target = new WheelTarget;
    layout->addWidget(target);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    plain->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), plain);

    turnWheel(scroller.area->viewport(), QPoint(0, -120));
    turnWheel(target, QPoint(0, -120));
    QCOMPARE(scroller.area->verticalScrollBar()->value(), 0);
    QCOMPARE(target->received, 0);
}

void TestMouseWheelEvents::horizontalWheelGoesOnToTheWidget()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *target = new WheelTarget;
    layout->addWidget(target);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    turnWheel(target, QPoint(120, 0));
    QCOMPARE(target->received, 1);
    turnWheel(target, QPoint(0, 120));
    QCOMPARE(target->received, 1);
}

int main(int argc, char *argv[])
{
    widgets::BugFixApplication application(argc, argv);
    TestMouseWheelEvents test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_MouseWheelEvents.moc"
