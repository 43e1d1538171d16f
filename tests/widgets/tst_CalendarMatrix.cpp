// The month calendar: the cells of a month, moving the chosen day with the buttons and the keyboard, the
// mouse, what its delegate is told, and its French texts on a system that speaks another language.

#include "CalendarDates.h"
#include "CalendarMatrix.h"
#include "TestFont.h"

#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

using widgets::CalendarDates;
using widgets::CalendarMatrix;

namespace
{

// Records what the calendar tells its delegate, as "month 2/2024" and "date 2024-02-14 23:59:59".
class RecordingDelegate : public widgets::CalendarMatrixDelegate
{
public:
    QStringList told;
    void calendarMatrixDidChangeToMonth(CalendarMatrix *, int month, int year) override
    {
        told << QStringLiteral("month %1/%2").arg(month).arg(year);
    }
    void calendarMatrixDidChangeToDate(CalendarMatrix *, const QDateTime &date) override
    {
        told << QStringLiteral("date ") + date.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
};

// A calendar with its outlets in a window, on a clock fixed at 14 March 2024.
struct Fixture {
    QWidget window;
    QVBoxLayout *layout = new QVBoxLayout(&window);
    QToolButton *left = new QToolButton;
    QToolButton *right = new QToolButton;
    QLabel *title = new QLabel;
    QLabel *day = new QLabel;
    CalendarMatrix *matrix = new CalendarMatrix;
    RecordingDelegate delegate;

    Fixture()
    {
        for (QWidget *widget : std::initializer_list<QWidget *>{left, title, right, matrix, day})
            layout->addWidget(widget);
        matrix->setClock([] { return QDateTime(QDate(2024, 3, 14), QTime(10, 30)); });
        matrix->setMonthName(title);
        matrix->setDayLabel(day);
        matrix->setLeftButton(left);
        matrix->setRightButton(right);
        matrix->awakeFromNib();
        matrix->setDelegate(&delegate);
        window.resize(320, 320);
        window.show();
    }

    QPoint centreOfDay(int number) const
    {
        return matrix->cellRect(matrix->startOffset() + number - 1).center();
    }
};

QDateTime endOfDay(const QDate &date)
{
    return QDateTime(date, QTime(23, 59, 59));
}

// What moves the chosen day in a row of movingTheChosenDay: a key, or one of the two buttons.
constexpr int leftButton = -1;
constexpr int rightButton = -2;

} // namespace

class TestCalendarMatrix : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cellsOfAMonth_data();
    void cellsOfAMonth();
    void movingTheChosenDay_data();
    void movingTheChosenDay();
    void theMouseChoosesOnlyDays();
    void withoutAChosenDayTheCurrentMonthShows();
};

void TestCalendarMatrix::initTestCase()
{
    PIN_TEST_FONT();
    // The names must stay French on a system set to another language.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(CalendarDates::weekdayName(0), QStringLiteral("dim."));
    QCOMPARE(CalendarDates::weekdayName(6), QStringLiteral("sam."));
}

void TestCalendarMatrix::cellsOfAMonth_data()
{
    QTest::addColumn<QDate>("day");
    QTest::addColumn<int>("startOffset");
    QTest::addColumn<int>("days");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("dayLabel");
    QTest::newRow("February 2000, leap by 400") << QDate(2000, 2, 5) << 2 << 29 << "février 2000"
                                                << "05 février 2000";
    QTest::newRow("February 2024, leap by 4") << QDate(2024, 2, 29) << 4 << 29 << "février 2024"
                                              << "29 février 2024";
    QTest::newRow("February 1900, not leap by 100") << QDate(1900, 2, 28) << 4 << 28 << "février 1900"
                                                    << "28 février 1900";
    QTest::newRow("February 2100, not leap by 100") << QDate(2100, 2, 1) << 1 << 28 << "février 2100"
                                                    << "01 février 2100";
    QTest::newRow("February 2015, four rows from a Sunday") << QDate(2015, 2, 14) << 0 << 28 << "février 2015"
                                                            << "14 février 2015";
    QTest::newRow("September 2024 starts on a Sunday") << QDate(2024, 9, 30) << 0 << 30 << "septembre 2024"
                                                       << "30 septembre 2024";
    QTest::newRow("December 2023 reaches the sixth row") << QDate(2023, 12, 31) << 5 << 31 << "décembre 2023"
                                                         << "31 décembre 2023";
}

void TestCalendarMatrix::cellsOfAMonth()
{
    QFETCH(QDate, day);
    QFETCH(int, startOffset);
    QFETCH(int, days);
    QFETCH(QString, title);
    QFETCH(QString, dayLabel);
    Fixture fixture;
    fixture.matrix->setSelectedDay(QDateTime(day, QTime(12, 0)));

    QCOMPARE(fixture.matrix->startOffset(), startOffset);
    QCOMPARE(fixture.title->text(), title);
    QCOMPARE(fixture.day->text(), dayLabel);
    int live = 0;
    QList<int> highlighted;
    for (int tag = 0; tag < CalendarMatrix::cellCount; ++tag) {
        const CalendarMatrix::Cell &cell = fixture.matrix->cellWithTag(tag);
        const int number = tag - startOffset + 1;
        const bool isDay = number >= 1 && number <= days;
        live += isDay ? 1 : 0;
        QCOMPARE(cell.title, isDay ? QString::number(number) : QString());
        QCOMPARE(cell.enabled && cell.bordered, isDay);
        QCOMPARE(cell.enabled || cell.bordered, isDay);
        if (cell.highlighted)
            highlighted << tag;
    }
    QCOMPARE(live, days);
    QCOMPARE(highlighted, QList<int>{startOffset + day.day() - 1});
    QCOMPARE(fixture.matrix->selectedTag(), highlighted.value(0));
}

void TestCalendarMatrix::movingTheChosenDay_data()
{
    QTest::addColumn<QDate>("from");
    QTest::addColumn<int>("input");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QStringList>("told");
    const QDate first(CalendarDates::firstYear, 1, 3);
    const QDate last(CalendarDates::lastYear, 12, 31);
    // The month buttons and Page Up / Page Down: the day kept or brought back by the non-leap table.
    QTest::newRow("31 January to 28 February")
        << QDate(2023, 1, 31) << rightButton << QDate(2023, 2, 28) << QStringList{"month 2/2023"};
    QTest::newRow("31 January to 28 February of a leap year")
        << QDate(2024, 1, 31) << int(Qt::Key_PageDown) << QDate(2024, 2, 28) << QStringList{"month 2/2024"};
    QTest::newRow("31 March back to 28 February")
        << QDate(2024, 3, 31) << leftButton << QDate(2024, 2, 28) << QStringList{"month 2/2024"};
    QTest::newRow("29 February to 29 March")
        << QDate(2024, 2, 29) << int(Qt::Key_PageDown) << QDate(2024, 3, 29) << QStringList{"month 3/2024"};
    QTest::newRow("31 May to 30 June")
        << QDate(2024, 5, 31) << rightButton << QDate(2024, 6, 30) << QStringList{"month 6/2024"};
    QTest::newRow("December to January of the next year")
        << QDate(2023, 12, 15) << rightButton << QDate(2024, 1, 15) << QStringList{"month 1/2024"};
    QTest::newRow("January back to December of the previous year")
        << QDate(2024, 1, 15) << int(Qt::Key_PageUp) << QDate(2023, 12, 15) << QStringList{"month 12/2023"};
    // The arrows, Home and End choose a day, across months when needed.
    QTest::newRow("right across the end of the month")
        << QDate(2024, 1, 31) << int(Qt::Key_Right) << QDate(2024, 2, 1)
        << QStringList{"month 2/2024", "date 2024-02-01 23:59:59"};
    QTest::newRow("left to 29 February") << QDate(2024, 3, 1) << int(Qt::Key_Left) << QDate(2024, 2, 29)
                                         << QStringList{"month 2/2024", "date 2024-02-29 23:59:59"};
    QTest::newRow("up a week into the previous year")
        << QDate(2024, 1, 3) << int(Qt::Key_Up) << QDate(2023, 12, 27)
        << QStringList{"month 12/2023", "date 2023-12-27 23:59:59"};
    QTest::newRow("down a week") << QDate(2024, 3, 14) << int(Qt::Key_Down) << QDate(2024, 3, 21)
                                 << QStringList{"date 2024-03-21 23:59:59"};
    QTest::newRow("home to the first") << QDate(2024, 3, 14) << int(Qt::Key_Home) << QDate(2024, 3, 1)
                                       << QStringList{"date 2024-03-01 23:59:59"};
    QTest::newRow("end to the last of a leap February")
        << QDate(2024, 2, 3) << int(Qt::Key_End) << QDate(2024, 2, 29)
        << QStringList{"date 2024-02-29 23:59:59"};
    // Nothing moves beyond the years a calendar shows.
    QTest::newRow("no month before the first year") << first << leftButton << first << QStringList();
    QTest::newRow("no week before the first year") << first << int(Qt::Key_Up) << first << QStringList();
    QTest::newRow("no month after the last year") << last << int(Qt::Key_PageDown) << last << QStringList();
    QTest::newRow("no day after the last year") << last << int(Qt::Key_Right) << last << QStringList();
}

void TestCalendarMatrix::movingTheChosenDay()
{
    QFETCH(QDate, from);
    QFETCH(int, input);
    QFETCH(QDate, to);
    QFETCH(QStringList, told);
    Fixture fixture;
    fixture.matrix->setSelectedDay(QDateTime(from, QTime(9, 0)));

    if (input == leftButton || input == rightButton)
        QTest::mouseClick(input == rightButton ? fixture.right : fixture.left, Qt::LeftButton);
    else
        QTest::keyClick(fixture.matrix, Qt::Key(input));

    QCOMPARE(fixture.matrix->selectedDay(), told.isEmpty() ? QDateTime(from, QTime(9, 0)) : endOfDay(to));
    QCOMPARE(fixture.title->text(), CalendarDates::monthTitle(to.month(), to.year()));
    QCOMPARE(fixture.matrix->selectedTag(), fixture.matrix->startOffset() + to.day() - 1);
    QCOMPARE(fixture.delegate.told, told);
}

void TestCalendarMatrix::theMouseChoosesOnlyDays()
{
    Fixture fixture;
    CalendarMatrix *matrix = fixture.matrix;
    QSignalSpy activated(matrix, &CalendarMatrix::dayActivated);
    // March 2024 starts on a Friday: five blank cells before day 1, six after day 31; a click on one of
    // them, on the weekday names, or a press released on another day chooses nothing.
    QCOMPARE(matrix->startOffset(), 5);
    for (const QPoint &point : {matrix->cellRect(0).center(), matrix->cellRect(41).center(), QPoint(5, 2)})
        QTest::mouseClick(matrix, Qt::LeftButton, {}, point);
    QTest::mousePress(matrix, Qt::LeftButton, {}, fixture.centreOfDay(2));
    QTest::mouseRelease(matrix, Qt::LeftButton, {}, fixture.centreOfDay(20));
    QTest::mouseDClick(matrix, Qt::LeftButton, {}, matrix->cellRect(0).center());
    QCOMPARE(matrix->selectedDay(), QDateTime(QDate(2024, 3, 14), QTime(10, 30)));
    QCOMPARE(fixture.delegate.told, QStringList());
    QCOMPARE(activated.count(), 0);

    QTest::mouseClick(matrix, Qt::LeftButton, {}, fixture.centreOfDay(5));
    QCOMPARE(matrix->selectedDay(), endOfDay(QDate(2024, 3, 5)));
    QCOMPARE(fixture.day->text(), QStringLiteral("05 mars 2024"));
    QCOMPARE(fixture.delegate.told, QStringList{QStringLiteral("date 2024-03-05 23:59:59")});
    QTest::mouseDClick(matrix, Qt::LeftButton, {}, fixture.centreOfDay(5));
    QCOMPARE(activated.count(), 1);
}

void TestCalendarMatrix::withoutAChosenDayTheCurrentMonthShows()
{
    Fixture fixture;
    fixture.matrix->setSelectedDay(QDateTime());
    QCOMPARE(fixture.title->text(), QStringLiteral("mars 2024"));
    QCOMPARE(fixture.day->text(), QString());
    QCOMPARE(fixture.matrix->selectedTag(), -1);
    for (int tag = 0; tag < CalendarMatrix::cellCount; ++tag)
        QVERIFY(!fixture.matrix->cellWithTag(tag).highlighted);

    // The month steps from the one shown.
    QTest::mouseClick(fixture.right, Qt::LeftButton);
    QCOMPARE(fixture.matrix->selectedDay(), endOfDay(QDate(2024, 4, 1)));
}

QTEST_MAIN(TestCalendarMatrix)
#include "tst_CalendarMatrix.moc"
