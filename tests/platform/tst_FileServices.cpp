// The file services of the platform: the answers of save panels and the 8-bit text of exported files.
// Writing a file whole or not at all and opening it are exercised by the exports and prints that use them.

#include "FileWriter.h"
#include "SavePanel.h"

#include <QGuiApplication>
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
};

QTEST_MAIN(TestFileServices)
#include "tst_FileServices.moc"
