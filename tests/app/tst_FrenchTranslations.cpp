// Qt's own texts in French, whatever the language of the session: a save dialog, the context menu of a text
// field and the buttons of a message box show no English once the program has installed Qt's translations.

#include "FrenchTranslations.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <clocale>

namespace
{

// Qt's English words that a French window must not show.
const QStringList english =
    QStringLiteral(
        "Cancel|Save|Open|Look in|File name|Files of type|Back|Forward|Parent Directory|New Folder|"
        "List View|Detail View|Name|Size|Date Modified|Kind|Folder|Directory|All Files|Go back|"
        "Go forward|Recent Places|Computer|Sidebar|Undo|Redo|Cut|Copy|Paste|Delete|Select All|Insert|"
        "Unicode control|Yes|No|Close|Discard|Apply|Help|Show|Rename|Remove|Drive|Shortcut|Unknown|"
        "Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec|AM|PM|plain text|bytes|byte|KiB")
        .split(QLatin1Char('|'));

// A text as it reads on the screen: without its mnemonic marks and its shortcut.
QString shown(QString text)
{
    text = text.section(QLatin1Char('\t'), 0, 0);
    text.remove(QLatin1Char('&'));
    return text.trimmed();
}

void collectMenu(const QMenu *menu, QStringList &texts)
{
    for (const QAction *action : menu->actions()) {
        texts << shown(action->text()) << shown(action->toolTip());
        if (action->menu())
            collectMenu(action->menu(), texts);
    }
}

// Every text a window shows or tells: labels, buttons, tool tips, lists, menus, column headings.
QStringList textsOf(const QWidget *window)
{
    QStringList texts{shown(window->windowTitle())};
    for (const QWidget *widget : window->findChildren<QWidget *>()) {
        texts << shown(widget->toolTip()) << shown(widget->accessibleName());
        if (const auto *label = qobject_cast<const QLabel *>(widget))
            texts << shown(label->text());
        if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
            texts << shown(button->text());
        if (const auto *combo = qobject_cast<const QComboBox *>(widget)) {
            for (int i = 0; i < combo->count(); ++i)
                texts << shown(combo->itemText(i));
        }
        if (const auto *view = qobject_cast<const QAbstractItemView *>(widget); view && view->model()) {
            for (int column = 0; column < view->model()->columnCount(); ++column)
                texts << shown(view->model()->headerData(column, Qt::Horizontal).toString());
        }
        for (const QAction *action : widget->actions())
            texts << shown(action->text()) << shown(action->toolTip());
    }
    texts.removeAll(QString());
    texts.removeDuplicates();
    return texts;
}

// The English words found in texts, with the text they were found in.
QStringList englishIn(const QStringList &texts)
{
    QStringList found;
    for (const QString &word : english) {
        const QRegularExpression whole(QStringLiteral("\\b%1\\b").arg(QRegularExpression::escape(word)));
        for (const QString &text : texts) {
            if (whole.match(text).hasMatch())
                found << QStringLiteral("%1 (« %2 »)").arg(word, text);
        }
    }
    return found;
}

} // namespace

class TestFrenchTranslations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void saveDialog();
    void textFieldContextMenu();
    void messageBoxButtons();
};

void TestFrenchTranslations::initTestCase()
{
    // main() set an English session, then made its dates and sizes French as the program does: the C
    // library keeps the session's other conventions.
    QCOMPARE(QString::fromLatin1(std::localeconv()->decimal_point), QStringLiteral("."));
    QCOMPARE(QLocale::system().toString(QDate(2024, 12, 7), QLocale::ShortFormat),
             QStringLiteral("07/12/2024"));
    const QStringList missing = platform::FrenchTranslations::install();
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1String(", "))));
    QCOMPARE(QLocale().language(), QLocale::French);
}

void TestFrenchTranslations::saveDialog()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("exports")));
    QFile file(dir.filePath(QStringLiteral("export.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("salles\n");
    file.close();

    QFileDialog dialog(nullptr, QString(), dir.path(), QStringLiteral("Texte (*.txt)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *model = dialog.findChild<QFileSystemModel *>();
    QVERIFY(model);
    QTRY_COMPARE(model->rowCount(model->index(dir.path())), 2);

    // What the list shows of the folder and the file: their kinds and dates too.
    QStringList texts = textsOf(&dialog);
    QString folderKind;
    QString folderDate;
    const QModelIndex parent = model->index(dir.path());
    for (int row = 0; row < model->rowCount(parent); ++row) {
        for (int column = 0; column < model->columnCount(parent); ++column)
            texts << model->index(row, column, parent).data().toString();
        if (model->isDir(model->index(row, 0, parent))) {
            folderKind = model->index(row, 2, parent).data().toString();
            folderDate = model->index(row, 3, parent).data().toString();
        }
    }
    QCOMPARE(folderKind, QStringLiteral("Dossier"));
    QVERIFY2(texts.contains(QStringLiteral("7 octets")), qPrintable(texts.join(QLatin1String(" | "))));
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d$"))
                 .match(folderDate)
                 .hasMatch(),
             qPrintable(folderDate));
    for (const QString &expected :
         {QStringLiteral("Enregistrer"), QStringLiteral("Annuler"), QStringLiteral("Nom de fichier :"),
          QStringLiteral("Fichiers de type :"), QStringLiteral("Nom"), QStringLiteral("Taille"),
          QStringLiteral("Dernière modification")}) {
        QVERIFY2(texts.contains(expected),
                 qPrintable(expected + QStringLiteral(" absent de : ") + texts.join(QLatin1String(" | "))));
    }
    const QStringList found = englishIn(texts);
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1String(", "))));
}

void TestFrenchTranslations::textFieldContextMenu()
{
    QLineEdit field;
    field.setText(QStringLiteral("Amphithéâtre A"));
    field.selectAll();
    field.show();
    QVERIFY(QTest::qWaitForWindowExposed(&field));
    const std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    QStringList texts;
    collectMenu(menu.get(), texts);
    texts.removeAll(QString());
    for (const QString &expected :
         {QStringLiteral("Annuler"), QStringLiteral("Rétablir"), QStringLiteral("Couper"),
          QStringLiteral("Copier"), QStringLiteral("Coller"), QStringLiteral("Supprimer"),
          QStringLiteral("Tout sélectionner")}) {
        QVERIFY2(texts.contains(expected), qPrintable(texts.join(QLatin1String(" | "))));
    }
    const QStringList found = englishIn(texts);
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1String(", "))));
}

void TestFrenchTranslations::messageBoxButtons()
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Export"), QStringLiteral("Remplacer le fichier ?"),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel | QMessageBox::Yes |
                        QMessageBox::No);
    QCOMPARE(shown(box.button(QMessageBox::Cancel)->text()), QStringLiteral("Annuler"));
    QCOMPARE(shown(box.button(QMessageBox::Yes)->text()), QStringLiteral("Oui"));
    const QStringList found = englishIn(textsOf(&box));
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1String(", "))));
}

int main(int argc, char *argv[])
{
    // An English session: the French texts must come from the program, not from the user's language.
    qputenv("LC_ALL", "C");
    qputenv("LANG", "C");
    qputenv("LANGUAGE", "en");
    platform::FrenchTranslations::useFrenchConventions();
    QApplication application(argc, argv);
    TestFrenchTranslations test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_FrenchTranslations.moc"
