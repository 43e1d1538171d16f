#include "ModalPanel.h"

#include "BugFixApplication.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QWidget>

namespace reference
{

namespace
{

void centre(QWidget *panel)
{
    QScreen *screen = panel->screen() ? panel->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = panel->size().expandedTo(panel->minimumSizeHint()).boundedTo(area.size());
    panel->resize(size);
    panel->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

} // namespace

void ModalPanel::run(QWidget *panel, QLineEdit *focus)
{
    centre(panel);
    if (focus) {
        // Given now, the focus goes to the field as soon as the panel becomes the active window.
        focus->setFocus(Qt::OtherFocusReason);
        focus->selectAll();
    }
    if (auto *application = widgets::BugFixApplication::instance()) {
        application->runModalForWindow(panel);
        return;
    }
    panel->setWindowModality(Qt::ApplicationModal);
    panel->show();
    panel->raise();
    panel->activateWindow();
}

void ModalPanel::close(QWidget *panel)
{
    // A shown panel is the innermost modal run (it blocks every other window); a hidden one has none to end.
    auto *application = widgets::BugFixApplication::instance();
    if (application && panel->isVisible())
        application->stopModal();
    panel->hide();
}

} // namespace reference
