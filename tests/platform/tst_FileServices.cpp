// The file services of the platform: the answers of save panels (their kinds of file and options) and the
// 8-bit text of exported files.
// Writing a file whole: what a replaced file keeps. Full disks are met by tests/app/tst_FilesOnFullDisk.

#include "FileWriter.h"
#include "SavePanel.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

using platform::FileWriter;
using platform::SavePanel;

class TestFileServices : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        SavePanel::clearAnswers();
        SavePanel::setPresenter({});
    }

    void savePanelAnswers_data()
    {
        QTest::addColumn<QString>("choisi"); // "-" when cancelled
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("attendu"); // "-" when cancelled
        QTest::newRow("extension added") << "/tmp/liste"
                                         << "txt"
                                         << "/tmp/liste.txt";
        QTest::newRow("extension present") << "/tmp/liste.TXT"
                                           << "txt"
                                           << "/tmp/liste.TXT";
        QTest::newRow("other extension kept before it") << "/tmp/liste.csv"
                                                        << "txt"
                                                        << "/tmp/liste.csv.txt";
        QTest::newRow("no extension required") << "/tmp/liste"
                                               << ""
                                               << "/tmp/liste";
        QTest::newRow("confirmed without a name") << ""
                                                  << "txt"
                                                  << "";
        QTest::newRow("cancelled") << "-"
                                   << "txt"
                                   << "-";
    }
    void savePanelAnswers()
    {
        QFETCH(QString, choisi);
        QFETCH(QString, extension);
        QFETCH(QString, attendu);
        // The presenter is asked only when no answer was given in advance.
        int montres = 0;
        SavePanel::setPresenter([&](const platform::SavePanelRequest &) -> std::optional<QString> {
            ++montres;
            return QStringLiteral("/tmp/montre");
        });
        if (choisi == QLatin1String("-"))
            SavePanel::setNextCancelled();
        else
            SavePanel::setNextAnswer(choisi);
        const std::optional<QString> reponse =
            SavePanel::runModal({"Titre", "/tmp", "export.txt", extension});
        QCOMPARE(reponse.has_value(), attendu != QLatin1String("-"));
        if (reponse)
            QCOMPARE(*reponse, attendu);
        QCOMPARE(montres, 0);
        QCOMPARE(SavePanel::lastRequest()->fileName, QStringLiteral("export.txt"));
        // The next panel, without answer in advance, is shown.
        QCOMPARE(SavePanel::runModal({"Titre", "/tmp", "", "txt"}),
                 std::optional<QString>("/tmp/montre.txt"));
        QCOMPARE(montres, 1);
    }

    void savePanelFileTypesAndOptions_data()
    {
        QTest::addColumn<QString>("choisi");
        QTest::addColumn<int>("type");
        QTest::addColumn<QList<bool>>("options");
        QTest::addColumn<QString>("attendu");
        QTest::addColumn<int>("typeAttendu");
        QTest::addColumn<QList<bool>>("optionsAttendues");
        const QList<bool> ouvertes{false, true};
        QTest::newRow("first type") << "/tmp/liste" << 0 << QList<bool>{} << "/tmp/liste.xlsx" << 0
                                    << ouvertes;
        QTest::newRow("second type") << "/tmp/liste" << 1 << QList<bool>{true} << "/tmp/liste.csv" << 1
                                     << QList<bool>{true, true};
        QTest::newRow("the name's extension chooses")
            << "/tmp/liste.CSV" << 0 << QList<bool>{} << "/tmp/liste.CSV" << 1 << ouvertes;
        QTest::newRow("another extension is part of the name")
            << "/tmp/liste.txt" << 1 << QList<bool>{} << "/tmp/liste.txt.csv" << 1 << ouvertes;
        QTest::newRow("a type out of range")
            << "/tmp/liste" << 7 << QList<bool>{} << "/tmp/liste.csv" << 1 << ouvertes;
        QTest::newRow("more states than options") << "/tmp/liste" << 0 << QList<bool>{true, false, true}
                                                  << "/tmp/liste.xlsx" << 0 << QList<bool>{true, false};
        QTest::newRow("confirmed without a name") << "" << 1 << QList<bool>{} << "" << 1 << ouvertes;
    }
    void savePanelFileTypesAndOptions()
    {
        QFETCH(QString, choisi);
        QFETCH(int, type);
        QFETCH(QList<bool>, options);
        QFETCH(QString, attendu);
        QFETCH(int, typeAttendu);
        QFETCH(QList<bool>, optionsAttendues);
        platform::SavePanelRequest demande{"Exporter", "/tmp", "liste.xlsx", "txt"};
        demande.fileTypes = {{"Classeur Excel", "xlsx"}, {"CSV", "csv"}};
        demande.options = {{"Toutes les colonnes", false}, {"Ouvrir ensuite", true}};
        // The presenter answers as the file dialog does.
        SavePanel::setPresenter(
            [&](const platform::SavePanelRequest &montree) -> std::optional<platform::SavePanelAnswer> {
                if (montree.fileTypes.size() != 2 || montree.options.size() != 2)
                    return std::nullopt;
                return platform::SavePanelAnswer(choisi, type, options);
            });
        const std::optional<platform::SavePanelAnswer> reponse = SavePanel::runModalWithChoices(demande);
        QVERIFY(reponse.has_value());
        QCOMPARE(reponse->path, attendu);
        QCOMPARE(reponse->fileType, typeAttendu);
        QCOMPARE(reponse->options, optionsAttendues);
    }

    void withoutPresenterThePanelIsCancelled() { QVERIFY(!SavePanel::runModal({"Titre", "/tmp", "", ""})); }

    void windows1252_data()
    {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QByteArray>("octets");
        QTest::newRow("plain") << "Salle A12|35,5" << QByteArray("Salle A12|35,5");
        QTest::newRow("accents") << "Amphithéâtre Œ" << QByteArray("Amphith\xe9\xe2tre \x8c");
        QTest::newRow("euro and broken bar") << "€ ¦" << QByteArray("\x80 \xa6");
        QTest::newRow("characters it lacks") << "Ā漢😀x" << QByteArray("???x");
        QTest::newRow("line feed kept") << "a\nb" << QByteArray("a\nb");
    }
    void windows1252()
    {
        QFETCH(QString, texte);
        QFETCH(QByteArray, octets);
        QCOMPARE(FileWriter::windows1252(texte), octets);
    }

    // Through a link, the file it leads to is replaced, and it keeps who may read it.
    void aReplacedFileKeepsItsLinkAndPermissions()
    {
        QTemporaryDir dir;
        QFile cible(dir.filePath("cible.txt"));
        const auto droits = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
        QVERIFY(FileWriter::writeAtomically(cible.fileName(), "avant") && cible.setPermissions(droits));
        QVERIFY(cible.link(dir.filePath("lien.txt")) &&
                FileWriter::writeAtomically(dir.filePath("lien.txt"), "après"));
        QVERIFY(QFileInfo(dir.filePath("lien.txt")).isSymLink() && cible.open(QIODevice::ReadOnly) &&
                cible.readAll() == "après");
        QCOMPARE(cible.permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser), droits);
    }
};

QTEST_MAIN(TestFileServices)
#include "tst_FileServices.moc"
