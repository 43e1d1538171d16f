// The room list of a building: the export file byte for byte, the save panel's answers and a folder that
// cannot be written, the texts of the printed list, its file name, the printed PDF read back, and the
// alerts of a print that cannot be made.

#include "BuildingsFixture.h"
#include "Clock.h"
#include "EONull.h"
#include "FileOpener.h"
#include "RoomListPrint.h"
#include "SavePanel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <poppler-qt6.h>

using buildings::Batiment;
using buildings::RoomListPrint;
using namespace buildingstest;

namespace
{

// One line of the file: the 20 fields, each followed by "|", then the percentage triples, then LF.
QByteArray ligne(const QList<QByteArray> &champs, const QList<QByteArray> &triples = {})
{
    QByteArray texte;
    for (const QByteArray &champ : champs)
        texte += champ + '|';
    for (const QByteArray &valeur : triples)
        texte += valeur + '|';
    return texte + '\n';
}

const QByteArray entete =
    "Code Batiment|Nom Batiment|Etage|Numero Porte|Nb places|Superficie|%Administration|"
    "%Documentation|%Enseignement|%Recherche|%Technique|%Vie Sociale|%Accueil|%Sanitaire|"
    "%Circulation|%Restauration|%Parking|%Sportif|Type Salle|Descriptif|% par Service\n";

eo::EORecord enregistrement(const QVariantMap &valeurs)
{
    eo::EORecord r = eo::EOGenericRecord::create();
    for (auto it = valeurs.constBegin(); it != valeurs.constEnd(); ++it)
        r->takeValueForKey(it.value(), it.key());
    return r;
}

// Changes an environment variable while it lives.
class Environnement
{
public:
    Environnement(const char *nom, const QByteArray &valeur)
        : m_nom(nom), m_avant(qgetenv(nom)), m_avait(qEnvironmentVariableIsSet(nom))
    {
        qputenv(nom, valeur);
    }
    ~Environnement()
    {
        if (m_avait)
            qputenv(m_nom, m_avant);
        else
            qunsetenv(m_nom);
    }

private:
    const char *m_nom;
    QByteArray m_avant;
    bool m_avait;
};

QStringList textesDesPages(const QString &chemin)
{
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::load(chemin);
    QStringList pages;
    if (document) {
        for (int i = 0; i < document->numPages(); ++i)
            pages.append(document->page(i)->text(QRectF()));
    }
    return pages;
}

} // namespace

class TestRoomListExport : public QObject
{
    Q_OBJECT

public:
    explicit TestRoomListExport(TestDatabase::Backend backend) : m_backend(backend) {}

private:
    const TestDatabase::Backend m_backend;
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<Batiment> batiment;
    QTemporaryDir dossier;
    QStringList ouverts;
    platform::FileOpener::Opener ouvreurAvant;

    Ui::Batiment &ui() { return batiment->form(); }
    QStringList alertes()
    {
        QStringList liste;
        for (const TestDatabase::Alert &alerte : db->takeAlerts())
            liste.append(alerte.title + QLatin1String(": ") + alerte.message);
        return liste;
    }
    qint64 salle(const QString &code, const QString &etage, const QString &porte, const QVariantMap &valeurs)
    {
        const qint64 numero = db->addRoom(code, etage, porte, valeurs);
        if (numero <= 0)
            qWarning("room %s refused: %s", qPrintable(porte), qPrintable(db->takeAlerts().value(0).message));
        return numero;
    }
    bool pourcentage(qint64 salle, int type, int valeur, const QString &service)
    {
        return db->dataBus().executeProcedure(
            QStringLiteral("insDetailPourcentage"),
            {{"salnumero", salle}, {"dettype", type}, {"detpourcentage", valeur}, {"cstructure", service}});
    }
    void choisir(const QString &nom)
    {
        const int index = ui().listeBatiments->findText(nom);
        QVERIFY2(index >= 0, qPrintable(nom));
        ui().listeBatiments->setCurrentIndex(index);
    }
    void exporter(const QString &nom)
    {
        pendantLExport(*batiment, [&] {
            choisir(nom);
            ui().boutonExporter->click();
            QVERIFY(!batiment->fenetreExport()->isVisible());
        });
    }
    void imprimer(const QString &nom)
    {
        pendantLExport(*batiment, [&] {
            choisir(nom);
            ui().boutonImprimer->click();
            // The window stays open after printing.
            QVERIFY(batiment->fenetreExport()->isVisible());
        });
    }

private slots:
    void init()
    {
        LOCAVIA_REQUIRE_BACKEND(m_backend);
        db = std::make_unique<TestDatabase>(m_backend);
        QVERIFY2(db->isValid(), qPrintable(db->error()));
        QVERIFY(!db->addBuilding("SCI", "SCIENCES").isEmpty());
        QVERIFY(!db->addBuilding("DRT", "Droit").isEmpty());
        QVERIFY(
            db->exec(QStringLiteral("INSERT INTO SOLMA.STRUCTURE (C_STRUCTURE, LC_STRUCTURE, LL_STRUCTURE, "
                                    "C_TYPE_STRUCTURE, C_STRUCTURE_PERE) VALUES ('LET', 'LETTRES', "
                                    "'Lettres | langues', 'S', 'UNIV')")));

        const qint64 a12 = salle("SCI", "1", "A12",
                                 {{"salCapacite", 30},
                                  {"salSuperficie", 12.5},
                                  {"salPourEnseignement", 60},
                                  {"salPourRecherche", 40},
                                  {"salDescriptif", "Salle de TP\nchimie | physique"}});
        const qint64 b2 = salle("SCI", "0", "b2",
                                {{"salCapacite", 10},
                                 {"salSuperficie", 35.5},
                                 {"salDescriptif", "Bureau 2.0"},
                                 {"salReservable", "N"},
                                 {"tsalNumero", 2}});
        QVERIFY(salle("SCI", "1", "a3", {{"salReservable", eo::eoNull()}}) > 0);
        const qint64 z1 = salle("SCI", "10", "Z1",
                                {{"salCapacite", 100},
                                 {"salSuperficie", 120.25},
                                 {"salPourEnseignement", 100},
                                 {"salDescriptif", "Amphi"},
                                 {"tsalNumero", 3}});
        QVERIFY(salle("DRT", "0", "D1", {{"salReservable", eo::eoNull()}}) > 0);
        QVERIFY(a12 > 0 && b2 > 0 && z1 > 0);
        QVERIFY(pourcentage(a12, 1, 60, "SCI"));
        QVERIFY(pourcentage(a12, 2, 40, "UNIV"));
        QVERIFY(pourcentage(z1, 1, 100, "LET"));
        QVERIFY(db->exec(
            QStringLiteral("INSERT INTO SALLE_TAV (SAL_NUMERO, TAV_SPORTIF) VALUES (%1, 20)").arg(z1)));

        batiment = std::make_unique<Batiment>(db->dataBus());
        platform::SavePanel::clearAnswers();
        ouverts.clear();
        ouvreurAvant = platform::FileOpener::setOpener([this](const QString &chemin) {
            ouverts.append(chemin);
            return true;
        });
        platform::Clock::setSource([] { return QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9, 42)); });
    }
    void cleanup()
    {
        platform::Clock::setSource({});
        platform::FileOpener::setOpener(ouvreurAvant);
        platform::SavePanel::clearAnswers();
        batiment.reset();
        db.reset();
    }

    // --- The export file ---

    void exportFileByteForByte()
    {
        const QString chemin = dossier.filePath(QStringLiteral("sciences.txt"));
        platform::SavePanel::setNextAnswer(chemin);
        exporter(QStringLiteral("SCIENCES"));
        QVERIFY(alertes().isEmpty());
        // The panel proposed export.txt in the home folder.
        QCOMPARE(platform::SavePanel::lastRequest()->fileName, QStringLiteral("export.txt"));
        QCOMPARE(platform::SavePanel::lastRequest()->directory, QDir::homePath());

        QFile fichier(chemin);
        QVERIFY(fichier.open(QIODevice::ReadOnly));
        const QByteArray attendu =
            entete +
            // Building code, floor, door without regard to case; the room without bookable flag left out.
            ligne({"SCI", "SCIENCES", "0", "b2", "10", "35,5", "", "", "80",     "",
                   "",    "",         "",  "",   "",   "",     "", "", "Bureau", "Bureau 2,0"}) +
            ligne({"SCI",
                   "SCIENCES",
                   "1",
                   "A12",
                   "30",
                   "12,5",
                   "",
                   "",
                   "60",
                   "40",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "Salle de cours",
                   "Salle de TP chimie \xa6 physique"},
                  {"Facult\xe9 des sciences", "60", "Enseignement", "Universit\xe9", "40", "Recherche"}) +
            ligne({"SCI",
                   "SCIENCES",
                   "10",
                   "Z1",
                   "100",
                   "120,25",
                   "",
                   "",
                   "100",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "20",
                   "Amphith\xe9\xe2tre",
                   "Amphi"},
                  {"Lettres \xa6 langues", "100", "Enseignement"});
        QCOMPARE(fichier.readAll(), attendu);
        QCOMPARE(batiment->tableSalles().displayedObjects().size(), 3);
    }

    void exportOutcomes_data()
    {
        QTest::addColumn<QString>("batiment");
        QTest::addColumn<QString>("reponse"); // "annule", "vide" or a file name
        QTest::addColumn<bool>("panneau");
        QTest::addColumn<QStringList>("alertesAttendues");
        QTest::newRow("cancelled panel") << "SCIENCES"
                                         << "annule" << true << QStringList{};
        QTest::newRow("no name") << "SCIENCES"
                                 << "vide" << true << QStringList{};
        QTest::newRow("no bookable room") << "Droit"
                                          << "export.txt" << false << QStringList{};
        QTest::newRow("folder that cannot be written")
            << "SCIENCES"
            << "lecture-seule" << true << QStringList{"ERREUR: Problème lors de l'écriture du fichier."};
    }
    void exportOutcomes()
    {
        QFETCH(QString, batiment);
        QFETCH(QString, reponse);
        QFETCH(bool, panneau);
        QFETCH(QStringList, alertesAttendues);
        QTemporaryDir cible;
        QString dossierCible = cible.path();
        if (reponse == QLatin1String("lecture-seule")) {
            QFile::setPermissions(dossierCible, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            QFile essai(dossierCible + QStringLiteral("/essai"));
            if (essai.open(QIODevice::WriteOnly)) {
                // Running as root, permissions do not stop a write: the kernel's own folder does.
                essai.remove();
                dossierCible = QStringLiteral("/proc");
            }
        }
        const QString chemin = dossierCible + QStringLiteral("/export.txt");
        if (reponse == QLatin1String("annule"))
            platform::SavePanel::setNextCancelled();
        else
            platform::SavePanel::setNextAnswer(reponse == QLatin1String("vide") ? QString() : chemin);
        exporter(batiment);
        QCOMPARE(platform::SavePanel::lastRequest().has_value(), panneau);
        // What happened and what to do follow the message, in a paragraph of their own.
        QCOMPARE(alertes().replaceInStrings(QRegularExpression("\n\n[\\s\\S]*"), ""), alertesAttendues);
        QVERIFY(!QFile::exists(chemin));
        // Nothing half-written either.
        if (dossierCible == cible.path())
            QCOMPARE(QDir(dossierCible).entryList(QDir::Files | QDir::Hidden).size(), 0);
        QFile::setPermissions(cible.path(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    void exportListFollowsTheRegister()
    {
        pendantLExport(*batiment, [&] { QCOMPARE(ui().listeBatiments->count(), 2); });
        pendantLaFenetre(*batiment, [&] {
            ui().boutonCreer->click();
            saisir(*batiment, "bib", "bibliothèque");
            ui().boutonCreer->click();
        });
        // The building created since is offered, in its place.
        pendantLExport(*batiment, [&] {
            QCOMPARE(ui().listeBatiments->count(), 3);
            QCOMPARE(ui().listeBatiments->itemText(0), QStringLiteral("BIBLIOTHÈQUE"));
        });
    }

    // --- The printed list ---

    void repartition_data()
    {
        QTest::addColumn<QVariantMap>("valeurs");
        QTest::addColumn<QString>("texte");
        QTest::newRow("teaching and research")
            << QVariantMap{{"salPourEnseignement", 60.0}, {"salPourRecherche", 40.0}}
            << ", 60% Ens., 40% Rech.";
        QVariantMap toutes;
        const QStringList cles{"tavSportif",          "tavParking",           "tavRestauration",
                               "tavCirculation",      "tavSanitaire",         "tavAccueil",
                               "tavVieSocial",        "salPourTechnique",     "salPourRecherche",
                               "salPourEnseignement", "salPourDocumentation", "salPourAdministration"};
        for (qsizetype i = 0; i < cles.size(); ++i)
            toutes.insert(cles.at(i), double(i + 1));
        QTest::newRow("every use, in a fixed order") << toutes
                                                     << ", 12% Adm., 11% Doc., 10% Ens., 9% Rech., 8% Tech., "
                                                        "7% Soc., 6% Acc., 5% San., 4% Circ., 3% Rest., "
                                                        "2% Park., 1% Sport";
        QTest::newRow("zero, negative, absent") << QVariantMap{{"salPourAdministration", 0.0},
                                                               {"salPourDocumentation", -5.0},
                                                               {"salPourEnseignement", eo::eoNull()}}
                                                << "";
        QTest::newRow("fractions dropped")
            << QVariantMap{{"salPourEnseignement", 12.7}, {"tavParking", 0.4}} << ", 12% Ens.";
    }
    void repartition()
    {
        QFETCH(QVariantMap, valeurs);
        QFETCH(QString, texte);
        QCOMPARE(RoomListPrint::repartition(enregistrement(valeurs)), texte);
    }

    void repartService_data()
    {
        QTest::addColumn<QStringList>("services"); // "-" for a line whose department is unknown
        QTest::addColumn<QString>("texte");
        QTest::newRow("two departments") << QStringList{"SCI", "DROIT"} << ",SCI,DROIT";
        QTest::newRow("none") << QStringList{} << "";
        QTest::newRow("unknown department") << QStringList{"SCI", "-"} << ",SCI,";
    }
    void repartService()
    {
        QFETCH(QStringList, services);
        QFETCH(QString, texte);
        QVariantList lignes;
        for (const QString &service : services) {
            const QVariant structure =
                service == QLatin1String("-")
                    ? eo::eoNull()
                    : eo::EOGenericRecord::toVariant(enregistrement({{"lcStructure", service}}));
            lignes.append(eo::EOGenericRecord::toVariant(enregistrement({{"structureZebVix", structure}})));
        }
        QCOMPARE(RoomListPrint::repartService(enregistrement({{"detailPourcentages", lignes}})), texte);
    }

    void fileNameFromTheClock_data()
    {
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<QString>("nom");
        QTest::newRow("afternoon") << QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9, 42))
                                   << "liste_salle-_2024-03-05-09042.pdf";
        QTest::newRow("hours and minutes are not part of it")
            << QDateTime(QDate(2024, 3, 5), QTime(9, 59, 9, 42)) << "liste_salle-_2024-03-05-09042.pdf";
        QTest::newRow("new year's eve")
            << QDateTime(QDate(2001, 12, 31), QTime(23, 59, 7, 5)) << "liste_salle-_2001-12-31-07005.pdf";
    }
    void fileNameFromTheClock()
    {
        QFETCH(QDateTime, moment);
        QFETCH(QString, nom);
        QCOMPARE(RoomListPrint::nomFichier(moment), nom);
    }

    void printedListOpensInTheViewer()
    {
        QTemporaryDir temporaire;
        const Environnement tmp("TMPDIR", QFile::encodeName(temporaire.path()));
        imprimer(QStringLiteral("SCIENCES"));
        QVERIFY(alertes().isEmpty());
        const QString attendu =
            QDir::toNativeSeparators(temporaire.path() + "/liste_salle-_2024-03-05-09042.pdf");
        QCOMPARE(ouverts, QStringList{attendu});

        // The rooms carry the two texts, read through their lines and departments.
        QStringList textes;
        for (const eo::EORecord &salle : batiment->tableSalles().displayedObjects())
            textes.append(salle->valueForKey("salPorte").toString() + " " +
                          salle->valueForKey("repartition").toString() + " / " +
                          salle->valueForKey("repartService").toString());
        textes.sort();
        QCOMPARE(textes, (QStringList{"A12 , 60% Ens., 40% Rech. / ,SCIENCES,UNIV",
                                      "Z1 , 100% Ens., 20% Sport / ,LETTRES", "b2 , 80% Ens. / "}));

        const QString texte = textesDesPages(attendu).join(QLatin1Char('\n'));
        QVERIFY2(texte.contains(QStringLiteral("Liste des salles du bâtiment SCIENCES")), qPrintable(texte));
        for (const char *porte : {"b2", "A12", "Z1"})
            QVERIFY2(texte.contains(QLatin1String(porte)), porte);
        QVERIFY(!texte.contains(QStringLiteral("a3")));
        QVERIFY(texte.contains(QStringLiteral("60% Ens., 40% Rech.")));
        QVERIFY(texte.contains(QStringLiteral("SCIENCES, UNIV")));

        // Printed again at another hour of the same second: the same file, replaced.
        platform::Clock::setSource([] { return QDateTime(QDate(2024, 3, 5), QTime(16, 45, 9, 42)); });
        imprimer(QStringLiteral("SCIENCES"));
        QCOMPARE(ouverts, (QStringList{attendu, attendu}));
        QCOMPARE(QDir(temporaire.path()).entryList(QDir::Files).size(), 1);
    }

    void printThatCannotBeMade_data()
    {
        QTest::addColumn<QString>("batiment");
        QTest::addColumn<QString>("panne");
        QTest::addColumn<QString>("alerte");
        QTest::newRow("no bookable room") << "Droit"
                                          << ""
                                          << "IMPRESSION ANNULEE: Ce batiment ne contient aucune salle !";
        QTest::newRow("no temporary nor home folder")
            << "SCIENCES"
            << "dossiers"
            << "ERREUR: Pas de TEMP ou HOME directory, probleme grave !";
        QTest::newRow("broken template") << "SCIENCES"
                                         << "modele"
                                         << "PROBLEME: Le fichier n'a pas pu etre cree !";
    }
    void printThatCannotBeMade()
    {
        QFETCH(QString, batiment);
        QFETCH(QString, panne);
        QFETCH(QString, alerte);
        QTemporaryDir temporaire;
        const bool sansDossiers = panne == QLatin1String("dossiers");
        const Environnement tmp("TMPDIR", sansDossiers ? QByteArray("/nonexistent/tmp")
                                                       : QFile::encodeName(temporaire.path()));
        const Environnement home("HOME", sansDossiers ? QByteArray("/nonexistent/home") : qgetenv("HOME"));
        std::unique_ptr<Environnement> environnement;
        QTemporaryDir ressources;
        if (panne == QLatin1String("modele")) {
            QDir(ressources.path()).mkpath(QStringLiteral("reports/ListeSalles"));
            QFile modele(ressources.filePath(QStringLiteral("reports/ListeSalles/ListeSalles.html")));
            QVERIFY(modele.open(QIODevice::WriteOnly));
            modele.write("{{#objects}} never closed");
            modele.close();
            environnement =
                std::make_unique<Environnement>("LOCAVIA_RESOURCES", QFile::encodeName(ressources.path()));
        }
        imprimer(batiment);
        QCOMPARE(alertes(), QStringList{alerte});
        QVERIFY(ouverts.isEmpty());
        QCOMPARE(QDir(temporaire.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
    }
};

class TestRoomListExportOnSQLite : public TestRoomListExport
{
    Q_OBJECT
public:
    TestRoomListExportOnSQLite() : TestRoomListExport(TestDatabase::Backend::SQLite) {}
};

class TestRoomListExportOnPostgreSQL : public TestRoomListExport
{
    Q_OBJECT
public:
    TestRoomListExportOnPostgreSQL() : TestRoomListExport(TestDatabase::Backend::PostgreSQL) {}
};

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    int status = 0;
    if (TestDatabase::backendSelected(TestDatabase::Backend::SQLite)) {
        TestRoomListExportOnSQLite test;
        status |= QTest::qExec(&test, argc, argv);
    }
    if (TestDatabase::backendSelected(TestDatabase::Backend::PostgreSQL)) {
        TestRoomListExportOnPostgreSQL test;
        status |= QTest::qExec(&test, argc, argv);
    }
    return status;
}

#include "tst_RoomListExport.moc"
