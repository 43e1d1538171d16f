#include "FileDialogSavePanelPresenter.h"

#include "BugFixApplication.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>

namespace widgets
{

void FileDialogSavePanelPresenter::install()
{
    platform::SavePanel::setPresenter(&FileDialogSavePanelPresenter::present);
}

std::optional<QString> FileDialogSavePanelPresenter::present(const platform::SavePanelRequest &request)
{
    QWidget *parent = QApplication::activeWindow();
    QFileDialog dialog(parent, request.title, request.directory);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!request.requiredExtension.isEmpty()) {
        dialog.setDefaultSuffix(request.requiredExtension);
        dialog.setNameFilter(QStringLiteral("*.%1").arg(request.requiredExtension));
    }
    if (!request.fileName.isEmpty())
        dialog.selectFile(QDir(request.directory).filePath(request.fileName));
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
    if (resultat != QDialog::Accepted)
        return std::nullopt;
    const QStringList choisis = dialog.selectedFiles();
    return choisis.isEmpty() ? QString() : choisis.first();
}

} // namespace widgets
