#include "MessageBoxAlertPresenter.h"

#include "AlertPanel.h"
#include "BugFixApplication.h"
#include "QuestionPanel.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace widgets
{

void MessageBoxAlertPresenter::install()
{
    platform::setAlertPresenter(&MessageBoxAlertPresenter::present);
    platform::setQuestionPresenter(&MessageBoxAlertPresenter::presentQuestion);
    platform::setChoicePresenter(&MessageBoxAlertPresenter::presentChoice);
}

namespace
{

QWidget *parentWindow()
{
    QWidget *parent = QApplication::activeWindow();
    if (!parent) {
        if (auto *application = BugFixApplication::instance())
            parent = application->superWindow();
    }
    return parent;
}

void runModally(QMessageBox &box)
{
    if (auto *application = BugFixApplication::instance()) {
        QObject::connect(&box, &QMessageBox::finished, application,
                         [application] { application->stopModal(); });
        application->runModalForWindow(&box);
    } else {
        box.exec();
    }
}

} // namespace

int MessageBoxAlertPresenter::present(const QString &title, const QString &message, const QString &button)
{
    QMessageBox box(QMessageBox::NoIcon, title, message, QMessageBox::NoButton, parentWindow());
    box.setTextFormat(Qt::PlainText);
    QPushButton *ok =
        box.addButton(button.isEmpty() ? QStringLiteral("OK") : button, QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    runModally(box);
    return 1;
}

int MessageBoxAlertPresenter::presentQuestion(const QString &title, const QString &message,
                                              const QString &defaultButton, const QString &alternateButton)
{
    QMessageBox box(QMessageBox::Question, title, message, QMessageBox::NoButton, parentWindow());
    box.setTextFormat(Qt::PlainText);
    QPushButton *defaut = box.addButton(defaultButton, QMessageBox::AcceptRole);
    QPushButton *autre = box.addButton(alternateButton, QMessageBox::RejectRole);
    // The safe answer is the one Enter and Escape give: nothing is lost by a key pressed too fast.
    box.setDefaultButton(autre);
    box.setEscapeButton(autre);
    runModally(box);
    return box.clickedButton() == defaut ? 1 : 0;
}

int MessageBoxAlertPresenter::presentChoice(const QString &title, const QString &message,
                                            const QStringList &buttons, int cancelButton)
{
    QMessageBox box(QMessageBox::Warning, title, message, QMessageBox::NoButton, parentWindow());
    box.setTextFormat(Qt::PlainText);
    QList<QPushButton *> pushButtons;
    for (int i = 0; i < buttons.size(); ++i) {
        // One role for all: the box then keeps the buttons in the order given.
        pushButtons.append(box.addButton(buttons.at(i), QMessageBox::ActionRole));
    }
    if (cancelButton >= 0 && cancelButton < pushButtons.size()) {
        box.setDefaultButton(pushButtons.at(cancelButton));
        box.setEscapeButton(pushButtons.at(cancelButton));
    }
    runModally(box);
    const int pressed = int(pushButtons.indexOf(qobject_cast<QPushButton *>(box.clickedButton())));
    return pressed >= 0 ? pressed : cancelButton;
}

} // namespace widgets
