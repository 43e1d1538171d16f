#include "FileDialogSavePanelPresenter.h"

#include "BugFixApplication.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>

namespace widgets
{

namespace
{

QString filterOf(const platform::SavePanelFileType &type)
{
    return QStringLiteral("%1 (*.%2)").arg(type.label, type.extension);
}

// The check box of each option, in the order of the request.
QList<QCheckBox *> optionBoxes(const QFileDialog &dialog)
{
    QList<QCheckBox *> boxes;
    for (QCheckBox *box : dialog.findChildren<QCheckBox *>()) {
        if (box->property("savePanelOption").isValid())
            boxes.append(box);
    }
    std::sort(boxes.begin(), boxes.end(), [](QCheckBox *a, QCheckBox *b) {
        return a->property("savePanelOption").toInt() < b->property("savePanelOption").toInt();
    });
    return boxes;
}

} // namespace

void FileDialogSavePanelPresenter::install()
{
    platform::SavePanel::setPresenter(&FileDialogSavePanelPresenter::present);
}

void FileDialogSavePanelPresenter::prepare(QFileDialog &dialog, const platform::SavePanelRequest &request)
{
    dialog.setWindowTitle(request.title);
    dialog.setDirectory(request.directory);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!request.options.isEmpty()) {
        // Check boxes can only join the toolkit's own dialog.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
    }
    if (!request.fileTypes.isEmpty()) {
        QStringList filters;
        for (const platform::SavePanelFileType &type : request.fileTypes)
            filters.append(filterOf(type));
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.first());
        dialog.setDefaultSuffix(request.fileTypes.first().extension);
        // Choosing another kind of file changes the extension of the name typed, as the user expects.
        const QList<platform::SavePanelFileType> types = request.fileTypes;
        QObject::connect(
            &dialog, &QFileDialog::filterSelected, &dialog, [&dialog, types](const QString &filter) {
                for (const platform::SavePanelFileType &type : types) {
                    if (filterOf(type) != filter)
                        continue;
                    dialog.setDefaultSuffix(type.extension);
                    auto *name = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                    if (!name)
                        return;
                    const QFileInfo typed(name->text());
                    for (const platform::SavePanelFileType &other : types) {
                        if (typed.suffix().compare(other.extension, Qt::CaseInsensitive) == 0) {
                            name->setText(typed.completeBaseName() + QLatin1Char('.') + type.extension);
                            break;
                        }
                    }
                    return;
                }
            });
    } else if (!request.requiredExtension.isEmpty()) {
        dialog.setDefaultSuffix(request.requiredExtension);
        dialog.setNameFilter(QStringLiteral("*.%1").arg(request.requiredExtension));
    }
    if (!request.fileName.isEmpty())
        dialog.selectFile(QDir(request.directory).filePath(request.fileName));
    if (auto *grid = qobject_cast<QGridLayout *>(dialog.layout())) {
        for (qsizetype index = 0; index < request.options.size(); ++index) {
            auto *box = new QCheckBox(request.options.at(index).label, &dialog);
            box->setChecked(request.options.at(index).checked);
            box->setProperty("savePanelOption", int(index));
            grid->addWidget(box, grid->rowCount(), 0, 1, grid->columnCount());
        }
    }
}

platform::SavePanelAnswer FileDialogSavePanelPresenter::answerOf(const QFileDialog &dialog,
                                                                 const platform::SavePanelRequest &request)
{
    const QStringList chosen = dialog.selectedFiles();
    platform::SavePanelAnswer answer(chosen.isEmpty() ? QString() : chosen.first());
    for (qsizetype type = 0; type < request.fileTypes.size(); ++type) {
        if (filterOf(request.fileTypes.at(type)) == dialog.selectedNameFilter())
            answer.fileType = int(type);
    }
    for (QCheckBox *box : optionBoxes(dialog))
        answer.options.append(box->isChecked());
    return answer;
}

std::optional<platform::SavePanelAnswer>
FileDialogSavePanelPresenter::present(const platform::SavePanelRequest &request)
{
    QFileDialog dialog(QApplication::activeWindow());
    prepare(dialog, request);
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
    return answerOf(dialog, request);
}

} // namespace widgets
