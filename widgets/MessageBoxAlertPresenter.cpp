#include "MessageBoxAlertPresenter.h"

#include "AlertPanel.h"
#include "BugFixApplication.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace widgets
{

void MessageBoxAlertPresenter::install()
{
    platform::setAlertPresenter(&MessageBoxAlertPresenter::present);
}

int MessageBoxAlertPresenter::present(const QString &title, const QString &message, const QString &button)
{
    QWidget *parent = QApplication::activeWindow();
    if (!parent) {
        if (auto *application = BugFixApplication::instance())
            parent = application->superWindow();
    }
    QMessageBox box(QMessageBox::NoIcon, title, message, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    QPushButton *ok =
        box.addButton(button.isEmpty() ? QStringLiteral("OK") : button, QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    if (auto *application = BugFixApplication::instance()) {
        QObject::connect(&box, &QMessageBox::finished, application,
                         [application] { application->stopModal(); });
        application->runModalForWindow(&box);
    } else {
        box.exec();
    }
    return 1;
}

} // namespace widgets
