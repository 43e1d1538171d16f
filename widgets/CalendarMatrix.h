#pragma once

#include "CalendarMatrixDelegate.h"

#include <QAbstractButton>
#include <QDateTime>
#include <QLabel>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>

namespace widgets
{

// A month calendar: a grid of 6 rows of 7 day cells, Sunday first, under a row of French weekday names.
// The month title, the label of the chosen day and the previous and next month buttons are widgets of the
// window around it, given to it as outlets; it keeps them up to date.
//
// The grid is one widget painted by hand rather than 42 buttons: a single focus stop that the arrow keys
// move through, and cells that stretch with the control. Cells are numbered by their tag in row order
// (row × 7 + column, 0 to 41); day d of the shown month is the cell startOffset + d - 1, the cells before
// and after the month are blank and cannot be chosen.
//
// The chosen day (selectedDay) decides the month shown; every change of it redraws the calendar. Days the
// calendar computes itself are at 23:59:59 local time.
//
// Mouse: a click on a day chooses it, a double click also activates it (dayActivated). Keyboard: the arrows
// move the chosen day by a day or a week, across months; Page Up and Page Down step the month as the
// buttons do; Home and End go to the first and last day of the month.
class CalendarMatrix : public QWidget
{
    Q_OBJECT
public:
    static constexpr int rows = 6;
    static constexpr int columns = 7;
    static constexpr int cellCount = rows * columns;

    // What a cell shows. Blank cells have no title, no border and are disabled.
    struct Cell {
        QString title;
        bool enabled = false;
        bool bordered = false;
        bool highlighted = false; // the chosen day
    };

    // Where the calendar reads the current date and time; tests set a clock of their own.
    using Clock = std::function<QDateTime()>;

    // Builds the grid and chooses today at 23:59:59.
    explicit CalendarMatrix(QWidget *parent = nullptr);
    ~CalendarMatrix() override;

    // Outlets. The buttons step the month when clicked (rightButton forward, leftButton back).
    QLabel *monthName() const { return m_monthName.data(); }
    void setMonthName(QLabel *label);
    QLabel *dayLabel() const { return m_dayLabel.data(); }
    void setDayLabel(QLabel *label);
    QAbstractButton *leftButton() const { return m_leftButton.data(); }
    void setLeftButton(QAbstractButton *button);
    QAbstractButton *rightButton() const { return m_rightButton.data(); }
    void setRightButton(QAbstractButton *button);

    CalendarMatrixDelegate *delegate() const { return m_delegate; }
    void setDelegate(CalendarMatrixDelegate *delegate) { m_delegate = delegate; }

    void setClock(Clock clock);
    QDateTime now() const;

    // Once the outlets are set: centres the month title and chooses the current date and time.
    void awakeFromNib();
    // Chooses the current date and time.
    void initDate();
    // Redraws the month of the chosen day: title, cells, chosen day label.
    void refreshCalendar();
    // Steps the month: forward when the sender is rightButton, back for any other sender.
    void monthChanged(QObject *sender);
    // Takes the selected cell as the new day (the sender is the grid whose cell was clicked).
    void choseDay(QObject *sender);

    // The chosen day, kept as given (none: an invalid date; the current month is shown, no day chosen).
    QDateTime selectedDay() const { return m_selectedDay; }
    void setSelectedDay(const QDateTime &day);

    // The weekday of the first of the shown month, 0 = Sunday: the blank cells before day 1.
    qint16 startOffset() const { return m_startOffset; }
    // The month (1 to 12) and year shown.
    int shownMonth() const { return m_shownMonth; }
    int shownYear() const { return m_shownYear; }

    // The cells, by tag; the tag of the selected cell (-1 when none); where a cell lies in the widget.
    const Cell &cellWithTag(int tag) const;
    int selectedTag() const { return m_selectedTag; }
    QRect cellRect(int tag) const;
    // The tag of the cell at a point of the widget, -1 outside the grid.
    int tagAt(const QPoint &point) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The chosen day changed, whoever changed it.
    void selectedDayChanged(const QDateTime &day);
    // A day was double-clicked: the user wants it.
    void dayActivated();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void connectButton(QPointer<QAbstractButton> &outlet, QMetaObject::Connection &connection,
                       QAbstractButton *button);
    void stepMonth(int step);
    void moveDay(qint64 days);
    void goToDay(const QDate &date);
    int headerHeight() const;
    QRect gridRect() const;
    QFont dayFont() const;
    void paintCell(QPainter &painter, int tag, const QDate &today) const;

    std::array<Cell, cellCount> m_cells;
    QDateTime m_selectedDay;
    qint16 m_startOffset = 0;
    int m_shownMonth = 1;
    int m_shownYear = 1;
    int m_selectedTag = -1;
    int m_pressedTag = -1;
    int m_hoverTag = -1;

    QPointer<QLabel> m_monthName;
    QPointer<QLabel> m_dayLabel;
    QPointer<QAbstractButton> m_leftButton;
    QPointer<QAbstractButton> m_rightButton;
    QMetaObject::Connection m_leftConnection;
    QMetaObject::Connection m_rightConnection;
    CalendarMatrixDelegate *m_delegate = nullptr;
    Clock m_clock;
};

} // namespace widgets
