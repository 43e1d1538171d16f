#include "CalendarMatrix.h"

#include "CalendarDates.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace widgets
{

namespace
{

// The day cells use the system font at 12 points, whatever the rest of the window uses.
constexpr int dayPointSize = 12;

} // namespace

CalendarMatrix::CalendarMatrix(QWidget *parent)
    : QWidget(parent), m_clock([] { return QDateTime::currentDateTime(); })
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    const QDate today = now().date();
    setSelectedDay(CalendarDates::endOfDay(today.year(), today.month(), today.day()));
}

CalendarMatrix::~CalendarMatrix() = default;

void CalendarMatrix::setMonthName(QLabel *label)
{
    m_monthName = label;
    refreshCalendar();
}

void CalendarMatrix::setDayLabel(QLabel *label)
{
    m_dayLabel = label;
    refreshCalendar();
}

void CalendarMatrix::setLeftButton(QAbstractButton *button)
{
    connectButton(m_leftButton, m_leftConnection, button);
}

void CalendarMatrix::setRightButton(QAbstractButton *button)
{
    connectButton(m_rightButton, m_rightConnection, button);
}

void CalendarMatrix::connectButton(QPointer<QAbstractButton> &outlet, QMetaObject::Connection &connection,
                                   QAbstractButton *button)
{
    disconnect(connection);
    outlet = button;
    if (button)
        connection =
            connect(button, &QAbstractButton::clicked, this, [this, button] { monthChanged(button); });
}

void CalendarMatrix::setClock(Clock clock)
{
    if (clock)
        m_clock = std::move(clock);
    update();
}

QDateTime CalendarMatrix::now() const
{
    return m_clock();
}

void CalendarMatrix::awakeFromNib()
{
    if (m_monthName)
        m_monthName->setAlignment(Qt::AlignCenter);
    setSelectedDay(now());
}

void CalendarMatrix::initDate()
{
    setSelectedDay(now());
}

void CalendarMatrix::setSelectedDay(const QDateTime &day)
{
    m_selectedDay = day.isValid() ? day : QDateTime();
    refreshCalendar();
    emit selectedDayChanged(m_selectedDay);
}

void CalendarMatrix::refreshCalendar()
{
    // Without a chosen day the calendar still shows a month: the current one.
    const QDate shown = m_selectedDay.isValid() ? m_selectedDay.date() : now().date();
    m_shownMonth = shown.month();
    m_shownYear = shown.year();
    if (m_monthName)
        m_monthName->setText(CalendarDates::monthTitle(m_shownMonth, m_shownYear));

    const int days = CalendarDates::daysInMonth(m_shownMonth, m_shownYear);
    m_startOffset = qint16(CalendarDates::startOffset(m_shownMonth, m_shownYear));
    for (int tag = 0; tag < cellCount; ++tag) {
        const int day = tag - m_startOffset + 1;
        Cell &cell = m_cells[std::size_t(tag)];
        const bool live = day >= 1 && day <= days;
        cell.title = live ? QString::number(day) : QString();
        cell.enabled = live;
        cell.bordered = live;
        cell.highlighted = false;
    }

    if (m_dayLabel)
        m_dayLabel->setText(CalendarDates::dayTitle(m_selectedDay.toLocalTime().date()));

    m_selectedTag = -1;
    if (m_selectedDay.isValid()) {
        m_selectedTag = m_startOffset + shown.day() - 1;
        m_cells[std::size_t(m_selectedTag)].highlighted = true;
    }
    m_pressedTag = -1;
    update();
}

void CalendarMatrix::monthChanged(QObject *sender)
{
    stepMonth(sender && sender == m_rightButton.data() ? +1 : -1);
}

void CalendarMatrix::stepMonth(int step)
{
    const QDate from = m_selectedDay.isValid() ? m_selectedDay.date() : QDate(m_shownYear, m_shownMonth, 1);
    const QDate to = CalendarDates::steppedMonth(from, step);
    if (to == from)
        return; // the first or last month a calendar can show
    setSelectedDay(CalendarDates::endOfDay(to.year(), to.month(), to.day()));
    if (m_delegate)
        m_delegate->calendarMatrixDidChangeToMonth(this, to.month(), to.year());
}

void CalendarMatrix::choseDay(QObject *)
{
    if (m_selectedTag < 0 || m_selectedTag >= cellCount || !m_cells[std::size_t(m_selectedTag)].enabled)
        return;
    const int day = m_selectedTag - m_startOffset + 1;
    const QDateTime chosen = CalendarDates::endOfDay(m_shownYear, m_shownMonth, day);
    setSelectedDay(chosen);
    if (m_delegate)
        m_delegate->calendarMatrixDidChangeToDate(this, chosen);
}

void CalendarMatrix::moveDay(qint64 days)
{
    const QDate from = m_selectedDay.isValid() ? m_selectedDay.date() : QDate(m_shownYear, m_shownMonth, 1);
    goToDay(from.addDays(days));
}

void CalendarMatrix::goToDay(const QDate &date)
{
    if (!date.isValid() || date.year() < CalendarDates::firstYear || date.year() > CalendarDates::lastYear)
        return;
    const bool otherMonth = date.month() != m_shownMonth || date.year() != m_shownYear;
    const QDateTime chosen = CalendarDates::endOfDay(date.year(), date.month(), date.day());
    setSelectedDay(chosen);
    if (!m_delegate)
        return;
    if (otherMonth)
        m_delegate->calendarMatrixDidChangeToMonth(this, date.month(), date.year());
    m_delegate->calendarMatrixDidChangeToDate(this, chosen);
}

const CalendarMatrix::Cell &CalendarMatrix::cellWithTag(int tag) const
{
    static const Cell none;
    return tag >= 0 && tag < cellCount ? m_cells[std::size_t(tag)] : none;
}

QFont CalendarMatrix::dayFont() const
{
    QFont font = QApplication::font();
    font.setPointSize(dayPointSize);
    return font;
}

int CalendarMatrix::headerHeight() const
{
    return fontMetrics().height() + 8;
}

QRect CalendarMatrix::gridRect() const
{
    return rect().adjusted(0, headerHeight(), 0, 0);
}

QRect CalendarMatrix::cellRect(int tag) const
{
    if (tag < 0 || tag >= cellCount)
        return {};
    const QRect grid = gridRect();
    const int row = tag / columns;
    const int column = tag % columns;
    // Spread the pixels that do not divide evenly over the cells, so the grid fills the control.
    const int left = grid.left() + column * grid.width() / columns;
    const int right = grid.left() + (column + 1) * grid.width() / columns;
    const int top = grid.top() + row * grid.height() / rows;
    const int bottom = grid.top() + (row + 1) * grid.height() / rows;
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

int CalendarMatrix::tagAt(const QPoint &point) const
{
    const QRect grid = gridRect();
    if (!grid.contains(point) || grid.width() <= 0 || grid.height() <= 0)
        return -1;
    const int column = std::min(columns - 1, (point.x() - grid.left()) * columns / grid.width());
    const int row = std::min(rows - 1, (point.y() - grid.top()) * rows / grid.height());
    return row * columns + column;
}

QSize CalendarMatrix::minimumSizeHint() const
{
    const QFontMetrics metrics(dayFont());
    const int cellWidth = std::max(metrics.horizontalAdvance(QStringLiteral("00")),
                                   fontMetrics().horizontalAdvance(QStringLiteral("mer."))) +
                          8;
    const int cellHeight = metrics.height() + 6;
    return QSize(columns * cellWidth, headerHeight() + rows * cellHeight);
}

QSize CalendarMatrix::sizeHint() const
{
    const QSize minimum = minimumSizeHint();
    return QSize(minimum.width() * 3 / 2, headerHeight() + (minimum.height() - headerHeight()) * 3 / 2);
}

void CalendarMatrix::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());

    // Weekday names, Sunday first like the cells.
    painter.setPen(palette().color(QPalette::PlaceholderText));
    const QRect grid = gridRect();
    for (int column = 0; column < columns; ++column) {
        const QRect cell = cellRect(column);
        const QRect header(cell.left(), 0, cell.width(), grid.top());
        painter.drawText(header, Qt::AlignCenter, CalendarDates::weekdayName(column));
    }

    painter.setFont(dayFont());
    const QDate today = now().date();
    for (int tag = 0; tag < cellCount; ++tag)
        paintCell(painter, tag, today);
}

void CalendarMatrix::paintCell(QPainter &painter, int tag, const QDate &today) const
{
    const Cell &cell = m_cells[std::size_t(tag)];
    if (cell.title.isEmpty() && !cell.bordered)
        return; // blank
    const QRect area = cellRect(tag).adjusted(1, 1, -1, -1);
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    const int day = tag - m_startOffset + 1;
    const bool isToday = today == QDate(m_shownYear, m_shownMonth, day);

    QColor text = palette().color(group, QPalette::Text);
    if (cell.highlighted || tag == m_pressedTag) {
        painter.fillRect(area, palette().color(group, QPalette::Highlight));
        text = palette().color(group, QPalette::HighlightedText);
    } else if (tag == m_hoverTag && cell.enabled) {
        QColor hover = palette().color(group, QPalette::Highlight);
        hover.setAlpha(40);
        painter.fillRect(area, hover);
    }
    if (cell.bordered) {
        painter.setPen(palette().color(group, QPalette::Mid));
        painter.drawRect(area.adjusted(0, 0, -1, -1));
    }
    if (isToday && !cell.highlighted) {
        // Today stands out without looking chosen: a frame in the highlight colour.
        painter.setPen(QPen(palette().color(group, QPalette::Highlight), 2));
        painter.drawRect(area.adjusted(1, 1, -1, -1));
        text = palette().color(group, QPalette::Highlight);
    }
    QFont font = painter.font();
    font.setBold(isToday);
    painter.setFont(font);
    painter.setPen(cell.enabled ? text : palette().color(QPalette::Disabled, QPalette::Text));
    painter.drawText(area, Qt::AlignCenter, cell.title);
    font.setBold(false);
    painter.setFont(font);

    if (cell.highlighted && hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = area.adjusted(2, 2, -2, -2);
        option.backgroundColor = palette().color(group, QPalette::Highlight);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void CalendarMatrix::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const int tag = tagAt(event->position().toPoint());
    m_pressedTag = cellWithTag(tag).enabled ? tag : -1;
    update();
}

void CalendarMatrix::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    const int pressed = m_pressedTag;
    m_pressedTag = -1;
    // A press dragged off its cell chooses nothing, as with a button.
    if (pressed >= 0 && tagAt(event->position().toPoint()) == pressed) {
        m_selectedTag = pressed;
        choseDay(this);
    }
    update();
}

void CalendarMatrix::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseDoubleClickEvent(event);
    // The first click has already chosen the day.
    const int tag = tagAt(event->position().toPoint());
    if (tag >= 0 && tag == m_selectedTag && cellWithTag(tag).enabled)
        emit dayActivated();
}

void CalendarMatrix::mouseMoveEvent(QMouseEvent *event)
{
    const int tag = tagAt(event->position().toPoint());
    if (tag != m_hoverTag) {
        m_hoverTag = tag;
        update();
    }
    QWidget::mouseMoveEvent(event);
}

void CalendarMatrix::leaveEvent(QEvent *event)
{
    m_hoverTag = -1;
    update();
    QWidget::leaveEvent(event);
}

void CalendarMatrix::keyPressEvent(QKeyEvent *event)
{
    // Arrows of the numeric keypad count; a shortcut with Ctrl or Alt belongs to the window.
    if ((event->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier)) != Qt::NoModifier)
        return QWidget::keyPressEvent(event);
    const QDate shownFirst(m_shownYear, m_shownMonth, 1);
    switch (event->key()) {
    case Qt::Key_Left:
        moveDay(-1);
        break;
    case Qt::Key_Right:
        moveDay(+1);
        break;
    case Qt::Key_Up:
        moveDay(-7);
        break;
    case Qt::Key_Down:
        moveDay(+7);
        break;
    case Qt::Key_PageUp:
        stepMonth(-1);
        break;
    case Qt::Key_PageDown:
        stepMonth(+1);
        break;
    case Qt::Key_Home:
        goToDay(shownFirst);
        break;
    case Qt::Key_End:
        goToDay(shownFirst.addDays(CalendarDates::daysInMonth(m_shownMonth, m_shownYear) - 1));
        break;
    default:
        // Enter, Escape and the others go on to the window.
        return QWidget::keyPressEvent(event);
    }
    event->accept();
}

} // namespace widgets
