#include "FileDialogOpenPanelPresenter.h"

#include "BugFixApplication.h"

#include <QApplication>
#include <QFileDialog>

namespace widgets
{

void FileDialogOpenPanelPresenter::install()
{
    platform::OpenPanel::setPresenter(&FileDialogOpenPanelPresenter::present);
}

std::optional<QString> FileDialogOpenPanelPresenter::present(const platform::OpenPanelRequest &request)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.directory);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // A folder is chosen, its files shown all the same: the user recognises a database by its locavia.db.
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, false);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    int resultat = QDialog::Rejected;
    if (auto *application = BugFixApplication::instance()) {
        QObject::connect(&dialog, &QDialog::finished, application, [application, &resultat](int code) {
            resultat = code;
            application->stopModal();
        });
        application->runModalForWindow(&dialog);
    } else {
        resultat = dialog.exec();
    }
    const QStringList chosen = dialog.selectedFiles();
    if (resultat != QDialog::Accepted || chosen.isEmpty())
        return std::nullopt;
    return chosen.first();
}

} // namespace widgets
