#include "Calendrier.h"

#include "KORAction.h"
#include "NotificationCenter.h"
#include "ui_Calendrier.h"

#include <QDialog>
#include <QPushButton>
#include <QVariantMap>

namespace widgets
{

const QString Calendrier::dateCalendrierNotification = QStringLiteral("dateCalendrier");
const QString Calendrier::dateKey = QStringLiteral("date");

Calendrier::Calendrier(QObject *parent)
    : QObject(parent), m_calendarPanel(std::make_unique<QDialog>()), ui(std::make_unique<Ui::Calendrier>())
{
    ui->setupUi(m_calendarPanel.get());
    CalendarMatrix *matrix = ui->calendar;
    matrix->setMonthName(ui->monthName);
    matrix->setDayLabel(ui->dayLabel);
    matrix->setLeftButton(ui->leftButton);
    matrix->setRightButton(ui->rightButton);
    matrix->awakeFromNib();

    // The chosen date goes to the observers of the notification, whose work must not throw into Qt.
    using framework::connectAction;
    connectAction(ui->boutonValider, &QPushButton::clicked, this, [this] { valider(ui->boutonValider); });
    connectAction(ui->boutonAnnuler, &QPushButton::clicked, this, [this] { annuler(ui->boutonAnnuler); });
    // Escape and the window's close box.
    connectAction(m_calendarPanel.get(), &QDialog::rejected, this,
                  [this] { annuler(m_calendarPanel.get()); });
    connectAction(matrix, &CalendarMatrix::dayActivated, this, [this] { valider(ui->calendar); });
    // Validating needs a chosen day.
    connect(matrix, &CalendarMatrix::selectedDayChanged, this,
            [this](const QDateTime &day) { ui->boutonValider->setEnabled(day.isValid()); });
}

Calendrier::~Calendrier() = default;

CalendarMatrix *Calendrier::calendar() const
{
    return ui->calendar;
}

void Calendrier::afficherPanel(QObject *sender)
{
    ui->calendar->initDate();
    QDialog *panel = m_calendarPanel.get();
    if (!panel->isVisible()) {
        if (auto *widget = qobject_cast<QWidget *>(sender); widget && widget->window() != panel) {
            const QWidget *window = widget->window();
            QRect frame = panel->frameGeometry();
            frame.moveCenter(window->frameGeometry().center());
            panel->move(frame.topLeft());
        }
    }
    panel->show();
    panel->raise();
    panel->activateWindow();
    ui->calendar->setFocus(Qt::OtherFocusReason);
}

void Calendrier::valider(QObject *)
{
    const QDateTime date = ladate();
    if (!date.isValid())
        return;
    platform::NotificationCenter::defaultCenter().postNotificationName(dateCalendrierNotification, this,
                                                                       QVariantMap{{dateKey, date}});
    if (m_calendarPanel->isVisible())
        m_calendarPanel->hide();
}

void Calendrier::annuler(QObject *)
{
    m_calendarPanel->hide();
}

QDateTime Calendrier::ladate() const
{
    return dateAZeroHeure(ui->calendar->selectedDay());
}

void Calendrier::setDate(const QDateTime &date)
{
    ui->calendar->setSelectedDay(date);
}

QDateTime Calendrier::dateAZeroHeure(const QDateTime &date)
{
    if (!date.isValid())
        return {};
    return date.date().startOfDay();
}

} // namespace widgets
