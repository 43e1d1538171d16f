// The desktop's save panel: the kinds of file a request offers are the dialog's filters, choosing another
// one changes the extension typed, the options are check boxes, and the answer carries all of it.

#include "FileDialogSavePanelPresenter.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using widgets::FileDialogSavePanelPresenter;

class TestFileDialogSavePanelPresenter : public QObject
{
    Q_OBJECT

private slots:
    void typesAndOptionsOfTheRequest()
    {
        QTemporaryDir dossier;
        platform::SavePanelRequest demande{QStringLiteral("Exporter la liste des salles"),
                                           dossier.path(),
                                           QStringLiteral("Toutes les salles.xlsx"),
                                           {}};
        demande.fileTypes = {{QStringLiteral("Classeur Excel"), QStringLiteral("xlsx")},
                             {QStringLiteral("Texte CSV"), QStringLiteral("csv")}};
        demande.options = {{QStringLiteral("Toutes les colonnes"), false}};
        QFileDialog dialogue;
        FileDialogSavePanelPresenter::prepare(dialogue, demande);

        QCOMPARE(dialogue.windowTitle(), demande.title);
        QCOMPARE(dialogue.nameFilters(), (QStringList{"Classeur Excel (*.xlsx)", "Texte CSV (*.csv)"}));
        const QList<QCheckBox *> cases = dialogue.findChildren<QCheckBox *>();
        QCOMPARE(cases.size(), 1);
        QCOMPARE(cases.first()->text(), QStringLiteral("Toutes les colonnes"));
        QVERIFY(!cases.first()->isChecked());
        auto *nom = dialogue.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QVERIFY(nom);
        QCOMPARE(nom->text(), QStringLiteral("Toutes les salles.xlsx"));

        // The user picks CSV: the name follows; then ticks the option.
        auto *types = dialogue.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        QVERIFY(types);
        types->setCurrentIndex(1);
        types->activated(1);
        QCOMPARE(nom->text(), QStringLiteral("Toutes les salles.csv"));
        cases.first()->setChecked(true);

        const platform::SavePanelAnswer reponse = FileDialogSavePanelPresenter::answerOf(dialogue, demande);
        QCOMPARE(reponse.fileType, 1);
        QCOMPARE(reponse.options, QList<bool>{true});
        QCOMPARE(QFileInfo(reponse.path).fileName(), QStringLiteral("Toutes les salles.csv"));
    }
};

QTEST_MAIN(TestFileDialogSavePanelPresenter)
#include "tst_FileDialogSavePanelPresenter.moc"
