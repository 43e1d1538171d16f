#pragma once

#include <QObject>

namespace widgets
{

// Takes the vertical wheel events of the whole application before any widget sees them and turns them into
// steps of the scroll view that holds the keyboard focus (not the one under the mouse): one step as each
// notch begins, the small deltas of touchpads and high-resolution wheels added up per view by notches.
// Installed on the application object; horizontal wheel events go on as Qt delivers them.
class WheelEventHandler : public QObject
{
    Q_OBJECT
public:
    explicit WheelEventHandler(QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace widgets
