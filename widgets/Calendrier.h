#pragma once

#include "CalendarMatrix.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <memory>

class QDialog;

namespace Ui
{
class Calendrier;
}

namespace widgets
{

// The date panel: a month calendar in a small window (Calendrier.ui) that hands the chosen day, at
// midnight, to whoever observes the notification "dateCalendrier". A window that wants a date opens the
// panel with afficherPanel and listens for that notification; the panel knows nothing of its callers.
//
// Keyboard: the calendar takes the arrows and Page Up / Page Down; Enter validates, Escape cancels.
class Calendrier : public QObject
{
    Q_OBJECT
public:
    // The notification posted by valider, with the Calendrier as its object and the day under dateKey.
    static const QString dateCalendrierNotification;
    static const QString dateKey;

    explicit Calendrier(QObject *parent = nullptr);
    ~Calendrier() override;

    CalendarMatrix *calendar() const;
    QDialog *calendarPanel() const { return m_calendarPanel.get(); }

    // Chooses the current date and time, then shows the panel in front, ready for the keyboard. A widget
    // sender places the panel over its window.
    void afficherPanel(QObject *sender);
    // Posts the chosen day at midnight and hides the panel. Without a chosen day nothing is posted and the
    // panel stays open.
    void valider(QObject *sender);
    // Hides the panel; nothing is posted.
    void annuler(QObject *sender);

    // The chosen day at midnight; none when no day is chosen.
    QDateTime ladate() const;
    // Chooses the day of a date, kept as given.
    void setDate(const QDateTime &date);
    // The same calendar day at 00:00 local time (the first moment of the day where a change of time skips
    // midnight); none for none.
    static QDateTime dateAZeroHeure(const QDateTime &date);

private:
    std::unique_ptr<QDialog> m_calendarPanel;
    std::unique_ptr<Ui::Calendrier> ui;
};

} // namespace widgets
