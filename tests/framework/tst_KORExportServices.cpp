// The application's ways of getting data out: files named after the time, the text export through a save
// panel, the spreadsheet template opened with its data, and reports printed to a file shown at once.

#include "AlertPanel.h"
#include "Clock.h"
#include "FileOpener.h"
#include "KORApplicationOC.h"
#include "SavePanel.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <poppler-qt6.h>

namespace
{

// The application object of the test: it notes the modal sessions stopped and the ends asked for.
class Application : public framework::KORApplicationOC
{
public:
    using KORApplicationOC::KORApplicationOC;
    int stops = 0;
    QList<int> quits;
    void stopModal() override { ++stops; }

protected:
    void quitApplication(int status) override { quits.append(status); }
};

class Environnement
{
public:
    Environnement(const char *nom, const QByteArray &valeur) : m_nom(nom), m_avant(qgetenv(nom))
    {
        qputenv(nom, valeur);
    }
    ~Environnement() { qputenv(m_nom, m_avant); }

private:
    const char *m_nom;
    QByteArray m_avant;
};

} // namespace

class TestKORExportServices : public QObject
{
    Q_OBJECT

public:
    explicit TestKORExportServices(Application &application) : app(application) {}

private:
    Application &app;
    QTemporaryDir temporaire;
    QStringList alertes;
    QStringList ouverts;

    QByteArray lire(const QString &chemin)
    {
        QFile fichier(chemin);
        return fichier.open(QIODevice::ReadOnly) ? fichier.readAll() : QByteArray("<absent>");
    }

private slots:
    void initTestCase()
    {
        qputenv("TMPDIR", QFile::encodeName(temporaire.path()));
        platform::setAlertPresenter([this](const QString &titre, const QString &message, const QString &) {
            alertes.append(titre + QLatin1String(": ") + message);
            return 1;
        });
        platform::FileOpener::setOpener([this](const QString &chemin) {
            ouverts.append(chemin);
            return true;
        });
    }
    void init()
    {
        platform::Clock::setSource([] { return QDateTime(QDate(2001, 12, 31), QTime(23, 59, 7)); });
        alertes.clear();
        ouverts.clear();
        app.stops = 0;
        app.quits.clear();
        platform::SavePanel::clearAnswers();
        for (const QString &fichier : QDir(temporaire.path()).entryList(QDir::Files))
            QFile::remove(temporaire.filePath(fichier));
    }

    void temporaryFileNamedAfterTheTime()
    {
        QCOMPARE(app.creerFichierTemporaire("Salles", "pdf"),
                 QDir(temporaire.path()).filePath(QStringLiteral("Salles_2001-12-31_23-59-07.pdf")));
        QVERIFY(!QFile::exists(temporaire.filePath(QStringLiteral("Salles_2001-12-31_23-59-07.pdf"))));
        {
            // Without a temporary folder: the home folder.
            const Environnement tmp("TMPDIR", "/nonexistent/tmp");
            const Environnement home("HOME", QFile::encodeName(temporaire.path()));
            QCOMPARE(app.creerFichierTemporaire("Salles", "eps"),
                     QDir(temporaire.path()).filePath(QStringLiteral("Salles_2001-12-31_23-59-07.eps")));
        }
        QVERIFY(alertes.isEmpty());
        QVERIFY(app.quits.isEmpty());
        {
            const Environnement tmp("TMPDIR", "/nonexistent/tmp");
            const Environnement home("HOME", "/nonexistent/home");
            QCOMPARE(app.creerFichierTemporaire("Salles", "pdf"), QString());
        }
        QCOMPARE(
            alertes,
            QStringList{"ERREUR: Pas de TEMP ou HOME directory, probleme grave, on quitte l'application !"});
        QCOMPARE(app.quits, QList<int>{1});
    }

    void textExport_data()
    {
        QTest::addColumn<QString>("reponse"); // "annule", "" or a file name in the temporary folder
        QTest::addColumn<QString>("fichier");
        QTest::addColumn<QByteArray>("contenu");
        QTest::addColumn<QStringList>("alertesAttendues");
        QTest::newRow("written in the 8-bit encoding")
            << "notes.txt"
            << "notes.txt" << QByteArray("Caf\xe9 \x80 5") << QStringList{};
        QTest::newRow("extension added") << "notes"
                                         << "notes.txt" << QByteArray("Caf\xe9 \x80 5") << QStringList{};
        QTest::newRow("cancelled") << "annule"
                                   << "notes.txt" << QByteArray("<absent>") << QStringList{};
        QTest::newRow("no name") << ""
                                 << "notes.txt" << QByteArray("<absent>") << QStringList{};
        QTest::newRow("folder missing")
            << "absent/notes.txt"
            << "absent/notes.txt" << QByteArray("<absent>")
            << QStringList{"ERREUR: Problème lors de l'écriture du fichier.\n\nLe dossier « " +
                           temporaire.filePath("absent") + " » n'existe pas."};
    }
    void textExport()
    {
        QFETCH(QString, reponse);
        QFETCH(QString, fichier);
        QFETCH(QByteArray, contenu);
        QFETCH(QStringList, alertesAttendues);
        if (reponse == QLatin1String("annule"))
            platform::SavePanel::setNextCancelled();
        else
            platform::SavePanel::setNextAnswer(reponse.isEmpty() ? QString() : temporaire.filePath(reponse));
        app.exporterElements(QStringLiteral("Café € 5"));
        QCOMPARE(lire(temporaire.filePath(fichier)), contenu);
        QCOMPARE(alertes, alertesAttendues);
        // The modal session is stopped in every case.
        QCOMPARE(app.stops, 1);
        QCOMPARE(platform::SavePanel::lastRequest()->requiredExtension, QStringLiteral("txt"));
        QCOMPARE(platform::SavePanel::lastRequest()->directory, QDir::homePath());
    }

    void spreadsheetTemplateThenData()
    {
        app.exporterElementsDeFichier(QStringLiteral("/tmp/donnees.txt"), QStringLiteral("Salles"));
        QCOMPARE(ouverts, (QStringList{QDir(qEnvironmentVariable("LOCAVIA_RESOURCES")).filePath("Salles.xls"),
                                       QStringLiteral("/tmp/donnees.txt")}));
    }

    void reportsShownAtOnce_data()
    {
        QTest::addColumn<bool>("postScript");
        QTest::addColumn<QByteArray>("debut");
        QTest::newRow("PDF") << false << QByteArray("%PDF");
        QTest::newRow("PostScript") << true << QByteArray("%!PS");
    }
    void reportsShownAtOnce()
    {
        QFETCH(bool, postScript);
        QFETCH(QByteArray, debut);
        const QVariantList salles{QVariantMap{{"salPorte", "A12"}, {"salEtage", "1"}}};
        const QVariantMap info{{"leBatiment", "SCIENCES"}};
        if (postScript)
            app.printEPS(QStringLiteral("ListeSalles"), salles, info);
        else
            app.printPDF(QStringLiteral("ListeSalles"), salles, info);
        QVERIFY(alertes.isEmpty());
        const QString chemin =
            QDir(temporaire.path())
                .filePath(QStringLiteral("ListeSalles_2001-12-31_23-59-07.%1")
                              .arg(postScript ? QStringLiteral("eps") : QStringLiteral("pdf")));
        QCOMPARE(ouverts, QStringList{chemin});
        QVERIFY(lire(chemin).startsWith(debut));
        if (!postScript) {
            const std::unique_ptr<Poppler::Document> document = Poppler::Document::load(chemin);
            QVERIFY(document);
            QVERIFY(document->page(0)->text(QRectF()).contains(QStringLiteral("A12")));
        }
    }

    void reportThatCannotBeMade()
    {
        app.printPDF(QStringLiteral("Inconnu"), {}, {});
        QCOMPARE(alertes, QStringList{"PROBLEME: Le fichier n'a pas pu etre cree !"});
        QVERIFY(ouverts.isEmpty());
        QCOMPARE(QDir(temporaire.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
    }
};

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    char *applicationArgv[] = {argv[0], nullptr};
    int applicationArgc = 1;
    Application app(applicationArgc, applicationArgv);
    TestKORExportServices test(app);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_KORExportServices.moc"
