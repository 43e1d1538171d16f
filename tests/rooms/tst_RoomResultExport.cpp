// The room result list out of the program: the export to XLSX and CSV read back by independent readers
// (openpyxl, Python's csv module) against what the list shows, the criteria sheet, every column with the
// occupation by department, the save panel and the folder it remembers, failures and cancellations that
// leave no file; the printed sheets of rooms read back with poppler.

#include "Clock.h"
#include "FileOpener.h"
#include "KORFormHelpers.h"
#include "RoomExportColumns.h"
#include "RoomListActions.h"
#include "RoomListExporter.h"
#include "RoomSheet.h"
#include "RoomSheetPrinter.h"
#include "RoomSubListFetch.h"
#include "RoomsFixture.h"
#include "SavePanel.h"
#include "SpreadsheetReader.h"
#include "UserDefaults.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QJsonArray>
#include <QSettings>
#include <QTemporaryDir>
#include <poppler-qt6.h>

using namespace roomstest;
using rooms::Creation;
using rooms::Etat;
using rooms::RoomListExporter;
using spreadsheet::TableFormat;

using Criteres = QList<QPair<QString, QVariant>>;

namespace
{

const QString descriptif = QStringLiteral("Salle « rénovée » ; dite \"l'aquarium\"\nvitrée côté cour");

// The rows of a file as texts, the header first; numbers of an XLSX file as the list writes them, with a
// point, so that they compare with the list's own text.
struct Lu {
    QList<QStringList> lignes;
    QList<QList<bool>> nombres; // XLSX: which cells are numeric
    QJsonObject brut;
};

Lu lire(const QString &chemin, int feuille = 0)
{
    QString erreur;
    Lu lu;
    lu.brut = readSpreadsheet(chemin, &erreur);
    if (lu.brut.isEmpty())
        qWarning("%s", qPrintable(erreur));
    const bool xlsx = chemin.endsWith(QLatin1String(".xlsx"));
    const QJsonArray lignes =
        xlsx ? lu.brut.value("sheets").toArray().at(feuille).toObject().value("rows").toArray()
             : lu.brut.value("rows").toArray();
    for (const QJsonValue &ligne : lignes) {
        QStringList textes;
        QList<bool> nombres;
        for (const QJsonValue &cellule : ligne.toArray()) {
            if (!xlsx) {
                textes.append(cellule.toString());
                continue;
            }
            const QJsonObject c = cellule.toObject();
            const bool nombre = c.value("t").toString() == QLatin1String("n");
            nombres.append(nombre);
            textes.append(cellule.isNull() ? QString()
                          : nombre         ? QString::number(c.value("v").toDouble(), 'g', 15)
                                           : c.value("v").toString());
        }
        lu.lignes.append(textes);
        lu.nombres.append(nombres);
    }
    return lu;
}

// A number of the list as the file holds it: XLSX keeps the number, CSV writes it with a decimal comma
// and the column's places.
QString commeLeFichier(const QString &affiche, spreadsheet::ColumnKind genre, bool xlsx)
{
    if (affiche.isEmpty() || genre == spreadsheet::ColumnKind::Text)
        return affiche;
    if (xlsx)
        return QString::number(affiche.toDouble(), 'g', 15);
    const QString texte =
        genre == spreadsheet::ColumnKind::Decimal ? framework::KORFormHelpers::formatter(affiche) : affiche;
    return QString(texte).replace(QLatin1Char('.'), QLatin1Char(','));
}

QStringList pages(const QString &chemin)
{
    QFile fichier(chemin);
    if (!fichier.open(QIODevice::ReadOnly))
        return {};
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(fichier.readAll());
    QStringList textes;
    for (int i = 0; document && i < document->numPages(); ++i)
        textes.append(document->page(i)->text(QRectF()).simplified());
    return textes;
}

} // namespace

class TestRoomResultExport : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<Creation> creation;
    Salles salles;
    QTemporaryDir dossier;
    QStringList ouverts; // the files handed to the desktop's viewer

    void chercher(const Criteres &criteres = {})
    {
        QPushButton *recherche = bouton(*creation, "boutonRecherche");
        recherche->click();
        for (const auto &[nom, valeur] : criteres)
            saisir(*creation, nom, valeur);
        recherche->click();
    }
    QTableView *vue() { return controle<QTableView>(*creation, "vueSalles"); }
    RoomListExporter &exportation() { return creation->actionsListe().exportation(); }

private slots:
    void initTestCase()
    {
        // The printed sheets go to the temporary folder: this test's own.
        qputenv("TMPDIR", QFile::encodeName(dossier.path()));
        db = std::make_unique<TestDatabase>();
        QVERIFY(db->isValid());
        salles = peupler(*db);
        materielDeReference(*db);
        QVERIFY(db->exec(QStringLiteral("UPDATE SOLMA.SALLES SET SAL_DESCRIPTIF = '%1' WHERE SAL_NUMERO = %2")
                             .arg(QString(descriptif).replace("'", "''"))
                             .arg(salles.a12)));
        QVERIFY(db->exec(
            QStringLiteral(
                "INSERT INTO PRISES (SAL_NUMERO, PRI_CODE, PRI_TYPE) VALUES (%1, '0102', 'T'), "
                "(%1, '0101', 'I');"
                "INSERT INTO DETAIL_SALLE (SAL_NUMERO, TAV_TYPE, DSA_POURCENTAGE, UNI_ORDRE) VALUES "
                "(%1, 2, 30, 1), (%1, 5, 12, 2);"
                "INSERT INTO DETAIL_POURCENTAGE (SAL_NUMERO, DET_TYPE, DET_POURCENTAGE, C_STRUCTURE) "
                "VALUES (%1, 1, 60, 'SCI'), (%1, 2, 20, 'SCI'), (%1, 1, 20, 'UNIV'), "
                "(%2, 2, 100, 'UNIV');"
                "INSERT INTO SOLMA.DEPOSITAIRE (SAL_NUMERO, C_STRUCTURE) VALUES (%1, 'G1');")
                .arg(salles.a12)
                .arg(salles.xa12)));
        platform::FileOpener::setOpener([this](const QString &chemin) {
            ouverts.append(chemin);
            return true;
        });
        platform::Clock::setSource([] { return QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)); });
    }

    void cleanupTestCase()
    {
        platform::FileOpener::setOpener({});
        platform::Clock::setSource({});
    }

    void init()
    {
        creation = std::make_unique<Creation>(db->dataBus());
        creation->initObjet();
        ouverts.clear();
    }

    void cleanup()
    {
        creation.reset();
        db->takeAlerts();
        platform::SavePanel::clearAnswers();
    }

    void theListLeavesAsTheUserSeesIt_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("xlsx") << int(TableFormat::Xlsx);
        QTest::newRow("csv") << int(TableFormat::Csv);
    }
    void theListLeavesAsTheUserSeesIt()
    {
        QFETCH(int, format);
        const bool xlsx = TableFormat(format) == TableFormat::Xlsx;
        chercher();
        // The user sorts by places, largest first, puts the door first and hides the type.
        QTableView *liste = vue();
        QHeaderView *entete = liste->horizontalHeader();
        liste->sortByColumn(4, Qt::DescendingOrder);
        entete->moveSection(entete->visualIndex(2), 0);
        entete->hideSection(3);

        const QString chemin = dossier.filePath(QStringLiteral("vue.") +
                                                spreadsheet::TableExport::extension(TableFormat(format)));
        QVERIFY(exportation().exporter(chemin, {TableFormat(format), false}).succeeded());
        const Lu lu = lire(chemin);

        const QList<rooms::RoomExportColumn> colonnes =
            rooms::RoomExportColumns::affichees(*liste, creation->tables().tableSalles);
        QStringList titres;
        QList<int> logiques;
        for (int visuelle = 0; visuelle < entete->count(); ++visuelle) {
            const int logique = entete->logicalIndex(visuelle);
            if (entete->isSectionHidden(logique))
                continue;
            logiques.append(logique);
            titres.append(liste->model()->headerData(logique, Qt::Horizontal).toString());
        }
        QCOMPARE(titres, (QStringList{"Porte", QStringLiteral("Bâtiment"), QStringLiteral("Étage"), "Places",
                                      QStringLiteral("Surface (m²)")}));
        QCOMPARE(lu.lignes.value(0), titres);

        const int lignes = liste->model()->rowCount();
        QCOMPARE(lignes, toutesLesPortes().size());
        QCOMPARE(lu.lignes.size(), lignes + 1);
        for (int ligne = 0; ligne < lignes; ++ligne) {
            QStringList attendue;
            for (qsizetype c = 0; c < logiques.size(); ++c) {
                const QString affiche = liste->model()->index(ligne, logiques.at(c)).data().toString();
                attendue.append(commeLeFichier(affiche, colonnes.at(c).column.kind, xlsx));
            }
            QCOMPARE(lu.lignes.at(ligne + 1), attendue);
            if (xlsx)
                QCOMPARE(lu.nombres.at(ligne + 1), (QList<bool>{false, false, false, true, true}));
        }
        // The order is the one the user chose.
        QCOMPARE(lu.lignes.at(1).at(0), QStringLiteral("XA12"));
    }

    void descriptionsAndEveryColumnSurviveARoundTrip_data() { theListLeavesAsTheUserSeesIt_data(); }
    void descriptionsAndEveryColumnSurviveARoundTrip()
    {
        QFETCH(int, format);
        const bool xlsx = TableFormat(format) == TableFormat::Xlsx;
        chercher({{"localisationPorte", "A12"}});
        const QString chemin = dossier.filePath(QStringLiteral("toutes.") +
                                                spreadsheet::TableExport::extension(TableFormat(format)));
        QVERIFY(exportation().exporter(chemin, {TableFormat(format), true}).succeeded());
        const Lu lu = lire(chemin);

        QStringList titres;
        for (const rooms::RoomExportColumn &colonne : rooms::RoomExportColumns::toutes())
            titres.append(colonne.column.title);
        // One column per occupying department, by short name.
        titres << "Occupation SCIENCES (%)"
               << "Occupation UNIV (%)";
        QCOMPARE(lu.lignes.value(0), titres);
        QCOMPARE(lu.lignes.size(), 4); // A12, A12B, XA12

        auto valeur = [&](int ligne, const QString &titre) {
            return lu.lignes.at(ligne).value(titres.indexOf(titre));
        };
        const QString hauteur = xlsx ? "3.2" : "3,20";
        QCOMPARE(valeur(1, "Porte"), QStringLiteral("A12"));
        QCOMPARE(valeur(1, "Descriptif"), descriptif);
        QCOMPARE(valeur(1, QStringLiteral("Bâtiment")), QStringLiteral("SCIENCES"));
        QCOMPARE(valeur(1, QStringLiteral("Écran")), QStringLiteral("Oui"));
        QCOMPARE(valeur(1, QStringLiteral("Rétroprojecteur")), QStringLiteral("Non"));
        QCOMPARE(valeur(1, "Tableaux noirs"), QStringLiteral("2"));
        QCOMPARE(valeur(1, "Hauteur moyenne sous plafond (m)"), hauteur);
        QCOMPARE(valeur(1, "Sportif (%)"), xlsx ? "20" : "20,00");
        QCOMPARE(valeur(1, "Occupation SCIENCES (%)"), xlsx ? "80" : "80,00");
        QCOMPARE(valeur(1, "Occupation UNIV (%)"), xlsx ? "20" : "20,00");
        QCOMPARE(valeur(2, "Porte"), QStringLiteral("A12B"));
        QCOMPARE(valeur(2, "Descriptif"), QStringLiteral("Bureau d'O'Brien"));
        QCOMPARE(valeur(2, "Occupation SCIENCES (%)"), QString());
        QCOMPARE(valeur(2, "Hauteur moyenne sous plafond (m)"), QString());
        QCOMPARE(valeur(3, "Type de salle"), QStringLiteral("Amphithéâtre"));
        QCOMPARE(valeur(3, "Occupation UNIV (%)"), xlsx ? "100" : "100,00");
        if (xlsx) {
            const int tableaux = titres.indexOf("Tableaux noirs");
            QVERIFY(lu.nombres.at(1).at(tableaux));
            QVERIFY(lu.nombres.at(1).at(titres.indexOf("Occupation SCIENCES (%)")));
            QVERIFY(!lu.nombres.at(1).at(titres.indexOf("Porte")));
        }
    }

    void theCriteriaSheetListsTheCriteria()
    {
        chercher(
            {{"equipementEcran", true}, {"localisationBatiment", "SCIENCES"}, {"architecturePlaces", ">20"}});
        QCOMPARE(creation->tables().tableSalles.displayedObjects().size(), 2); // A12 and XA12
        const QString chemin = dossier.filePath("criteres.xlsx");
        QVERIFY(exportation().exporter(chemin, {TableFormat::Xlsx, false}).succeeded());
        const QJsonArray feuilles = lire(chemin).brut.value("sheets").toArray();
        QCOMPARE(feuilles.size(), 2);
        // The list's sheet is named after the search, within the 31 characters a sheet name may have.
        QCOMPARE(feuilles.at(0).toObject().value("name").toString(),
                 QStringLiteral("Salles - Écran, Bâtiment SCIENC"));
        QCOMPARE(feuilles.at(1).toObject().value("name").toString(), QStringLiteral("Critères"));
        const QList<QStringList> criteres = lire(chemin, 1).lignes;
        const QList<QStringList> attendus{
            {QStringLiteral("Critère"), "Valeur"},
            {QStringLiteral("Écran"), "Oui"},
            {QStringLiteral("Bâtiment (nom contenant)"), "SCIENCES"},
            {"Places", ">20"},
            {},
            {QStringLiteral("Salles listées"), "2"},
            {"Ordre de la liste", QStringLiteral("Bâtiment, Étage, Porte")},
            {QStringLiteral("Exportée le"), QStringLiteral("05/03/2024 à 14:07")},
        };
        QCOMPARE(criteres, attendus);

        // A refused entry stops the search in its field: it is no criterion, and the list with the criteria
        // it was made of stays as it was.
        chercher({{"architectureFenetres", "abc"}});
        QCOMPARE(creation->etat(), Etat::saisieRecherche);
        QVERIFY(exportation().exporter(chemin, {TableFormat::Xlsx, false}).succeeded());
        QCOMPARE(lire(chemin, 1).lignes, attendus);

        // Emptied, the field adds nothing: every room is listed, and the sheet says so.
        saisir(*creation, "architectureFenetres", QString());
        bouton(*creation, "boutonRecherche")->click();
        QCOMPARE(creation->etat(), Etat::salleAffichee);
        QVERIFY(exportation().exporter(chemin, {TableFormat::Xlsx, false}).succeeded());
        QCOMPARE(lire(chemin, 1).lignes.value(1),
                 (QStringList{QStringLiteral("Aucun critère"), "toutes les salles"}));
    }

    void theSavePanelOffersTheTypesAndTheLastFolder()
    {
        QTemporaryDir reglages;
        platform::UserDefaults defaults(
            {"locavia"},
            std::make_unique<QSettings>(reglages.filePath("Locavia.conf"), QSettings::IniFormat));
        exportation().setUserDefaults(&defaults);
        chercher({{"localisationBatiment", "Droit"}});
        QTemporaryDir choisi;

        platform::SavePanel::setNextAnswer({choisi.filePath("droit"), 1, {true}});
        creation->actionsListe().exporterListe(nullptr);
        const std::optional<platform::SavePanelRequest> demande = platform::SavePanel::lastRequest();
        QVERIFY(demande.has_value());
        QCOMPARE(demande->title, QStringLiteral("Exporter la liste des salles"));
        QCOMPARE(demande->directory, QDir::homePath());
        QCOMPARE(demande->fileName, QStringLiteral("Salles - Bâtiment Droit.xlsx"));
        QCOMPARE(demande->fileTypes.size(), 2);
        QCOMPARE(demande->fileTypes.at(0).extension, QStringLiteral("xlsx"));
        QCOMPARE(demande->fileTypes.at(1).extension, QStringLiteral("csv"));
        QCOMPARE(demande->options.size(), 1);
        QCOMPARE(demande->options.at(0).label, QStringLiteral("Toutes les colonnes"));
        QVERIFY(db->takeAlerts().isEmpty());
        // The kind and the option chosen: a CSV file of every column.
        const Lu lu = lire(choisi.filePath("droit.csv"));
        QCOMPARE(lu.lignes.size(), 4);
        // No department occupies these rooms: no occupation column.
        QCOMPARE(lu.lignes.at(0).size(), rooms::RoomExportColumns::toutes().size());
        QCOMPARE(defaults.stringForKey(RoomListExporter::cleDossier), choisi.path());

        // The next export opens where the last one went, while that folder exists.
        platform::SavePanel::setNextCancelled();
        creation->actionsListe().exporterListe(nullptr);
        QCOMPARE(platform::SavePanel::lastRequest()->directory, choisi.path());
        QVERIFY(choisi.remove());
        platform::SavePanel::setNextCancelled();
        creation->actionsListe().exporterListe(nullptr);
        QCOMPARE(platform::SavePanel::lastRequest()->directory, QDir::homePath());
        QVERIFY(db->takeAlerts().isEmpty());
        exportation().setUserDefaults(nullptr);
    }

    void aFailureIsToldAndLeavesNothing()
    {
        QTemporaryDir reglages;
        platform::UserDefaults defaults(
            {"locavia"},
            std::make_unique<QSettings>(reglages.filePath("Locavia.conf"), QSettings::IniFormat));
        exportation().setUserDefaults(&defaults);
        chercher();
        // Even the superuser cannot create a file there.
        platform::SavePanel::setNextAnswer(QStringLiteral("/proc/salles.xlsx"));
        creation->actionsListe().exporterListe(nullptr);
        const QList<TestDatabase::Alert> alertes = db->takeAlerts();
        QCOMPARE(alertes.size(), 1);
        QCOMPARE(alertes.at(0).title, QStringLiteral("ERREUR"));
        QVERIFY2(alertes.at(0).message.startsWith(
                     QStringLiteral("La liste n'a pas été exportée : le dossier « /proc »")),
                 qPrintable(alertes.at(0).message));
        QVERIFY(!QFileInfo::exists("/proc/salles.xlsx"));
        // A folder that refused the file is not proposed again.
        QVERIFY(defaults.stringForKey(RoomListExporter::cleDossier).isEmpty());
        exportation().setUserDefaults(nullptr);

        // A cancelled export leaves no file and tells nothing.
        QTemporaryDir vide;
        for (const auto format : {TableFormat::Xlsx, TableFormat::Csv}) {
            const QString chemin = vide.filePath("annule." + spreadsheet::TableExport::extension(format));
            const spreadsheet::TableWriteResult resultat =
                exportation().exporter(chemin, {format, true}, [](qsizetype, qsizetype) { return false; });
            QCOMPARE(int(resultat.outcome), int(spreadsheet::TableWriteResult::Outcome::Cancelled));
        }
        QCOMPARE(QDir(vide.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{});
        QVERIFY(db->takeAlerts().isEmpty());
    }

    void theActionsFollowTheListAndItsSelection()
    {
        rooms::RoomListActions &actions = creation->actionsListe();
        QPushButton *exporter = controle<QPushButton>(*creation, "boutonExporterListe");
        QPushButton *fiches = controle<QPushButton>(*creation, "boutonImprimerFiches");
        QPushButton *fiche = bouton(*creation, "boutonImprimerFiche");
        QCOMPARE(actions.actionExporter()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
        QCOMPARE(actions.actionImprimer()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
        QVERIFY(!exporter->isEnabled() && !actions.actionExporter()->isEnabled());
        QVERIFY(!fiche->isEnabled());

        chercher();
        QVERIFY(exporter->isEnabled() && actions.actionExporter()->isEnabled());
        QCOMPARE(creation->etat(), Etat::salleAffichee);
        QVERIFY(fiche->isEnabled());
        QCOMPARE(fiches->text(), QStringLiteral("Imprimer la fiche"));
        eo::EODisplayGroup &liste = creation->tables().tableSalles;
        QVERIFY(liste.setSelectionIndexes({0, 2, 3}));
        QCOMPARE(fiches->text(), QStringLiteral("Imprimer les fiches (3)"));
        QCOMPARE(actions.actionImprimer()->text(), fiches->text());
        QVERIFY(fiches->isEnabled());
        QVERIFY(!fiche->isEnabled()); // the form is empty with several rooms
        liste.clearSelection();
        QVERIFY(!fiches->isEnabled() && !actions.actionImprimer()->isEnabled());

        // In a modification the sheet would not show what is typed: it waits until the room is stored.
        QVERIFY(liste.setSelectionIndexes({0}));
        bouton(*creation, "boutonModifier")->click();
        QCOMPARE(creation->etat(), Etat::modification);
        QVERIFY(!fiche->isEnabled());
        bouton(*creation, "boutonAnnuler")->click();
        QVERIFY(fiche->isEnabled());
        controle<QWidget>(*creation, "listeSalles")->close();
        QVERIFY(!fiche->isEnabled());
    }

    // The lines of many rooms, asked for by groups of rooms or, past a few thousand rooms, by ranges of room
    // numbers: every line of a room asked for, once, in order, and none of a room between them.
    void subListsOfManyRooms_data()
    {
        QTest::addColumn<int>("salles");
        QTest::newRow("by groups") << 150;
        QTest::newRow("by ranges") << int(rooms::RoomSubListFetch::seuilParTranches) + 500;
    }
    void subListsOfManyRooms()
    {
        QFETCH(int, salles);
        // Lines of rooms numbered from 100,001 to 103,000, far above the rooms of the other tests (a second
        // database would take the alerts' recorder with it): room 100,000 + n has n % 3 lines.
        const qint64 base = 100000;
        QVERIFY(db->exec(QStringLiteral(
            "DELETE FROM DETAIL_POURCENTAGE WHERE SAL_NUMERO > 100000; "
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
            "INSERT INTO DETAIL_POURCENTAGE (SAL_NUMERO, DET_TYPE, DET_POURCENTAGE, C_STRUCTURE) "
            "SELECT 100000 + i, 1, 10 + k, 'SCI' FROM n, (SELECT 0 AS k UNION ALL SELECT 1) WHERE k < i % "
            "3")));
        // Every room but every seventh, from the last down, and one that has no line at all.
        QList<qint64> demandees;
        for (qint64 n = 3000; n >= 1 && demandees.size() < salles; --n) {
            if (n % 7 != 0)
                demandees.append(base + n);
        }
        demandees.append(base + 99999);
        const rooms::RoomSubListFetch::ParSalle lignes = rooms::RoomSubListFetch::lire(
            db->dataBus(), QStringLiteral("DetailPourcentage"), demandees,
            {{QStringLiteral("detPourcentage"), eo::EOSortOrdering::Selector::CompareAscending}});
        qsizetype total = 0;
        for (auto salle = lignes.cbegin(); salle != lignes.cend(); ++salle) {
            QVERIFY2(demandees.contains(salle.key()), qPrintable(QString::number(salle.key())));
            QCOMPARE(salle->size(), qsizetype((salle.key() - base) % 3));
            for (qsizetype k = 0; k < salle->size(); ++k)
                QCOMPARE(salle->at(k)->valueForKey("detPourcentage").toInt(), int(10 + k));
            total += salle->size();
        }
        qsizetype attendu = 0;
        for (const qint64 n : demandees)
            attendu += n - base <= 3000 ? (n - base) % 3 : 0;
        QCOMPARE(total, attendu);
    }

    void sheetsShowEveryFieldWithAValueOnePerRoom()
    {
        chercher({{"localisationPorte", "A12"}});
        eo::EODisplayGroup &liste = creation->tables().tableSalles;
        QCOMPARE(portes(liste.displayedObjects()), (QStringList{"A12", "A12B", "XA12"}));
        QVERIFY(liste.setSelectionIndexes({0, 2}));
        controle<QPushButton>(*creation, "boutonImprimerFiches")->click();
        QVERIFY2(db->takeAlerts().isEmpty(), "no alert");
        QCOMPARE(ouverts.size(), 1);
        QVERIFY(QFileInfo(ouverts.at(0)).fileName().startsWith("fiches_salles-2_2024-03-05_14-07-09"));
        const QStringList textes = pages(ouverts.at(0));
        QCOMPARE(textes.size(), 2);

        const QString a12 = textes.at(0);
        for (const QString &attendu :
             {QStringLiteral("SCIENCES — porte A12"),
              QStringLiteral("Étage 1 · Salle de cours"),
              QStringLiteral("Places 30"),
              QStringLiteral("Surface (m²) 40,50"),
              QStringLiteral("Fenêtres 3"),
              QStringLiteral("Hauteur moyenne sous plafond (m) 3,20"),
              QStringLiteral("Surface vitrée (m²) 4,75"),
              QStringLiteral("Écran Oui"),
              QStringLiteral("Rétroprojecteur Non"),
              QStringLiteral("Tableaux noirs 2"),
              QStringLiteral("Postes de TP 10"),
              QStringLiteral("Chaises 30"),
              QStringLiteral("Enseignement 100,00"),
              QStringLiteral("Sportif 20,00"),
              QStringLiteral("G1 Dépositaires sciences"),
              QStringLiteral("Informatique (I) 0101 Téléphone (T) 0102"),
              QStringLiteral("Mobilier Chaise 30 u"),
              QStringLiteral("Réseau Câble 12 m"),
              QStringLiteral("Faculté des sciences Enseignement 60"),
              QStringLiteral("Université Enseignement 20"),
              QStringLiteral("Salle « rénovée » ; dite \"l'aquarium\" vitrée côté cour"),
              QStringLiteral("Page 1 / 2")})
            QVERIFY2(a12.contains(attendu), qPrintable(attendu + " in " + a12));
        // Uses the room does not have are left out.
        for (const QString &absent :
             {QStringLiteral("Recherche 0"), QStringLiteral("Vie sociale"), QStringLiteral("XA12")})
            QVERIFY2(!a12.contains(absent), qPrintable(absent));

        const QString xa12 = textes.at(1);
        for (const QString &attendu :
             {QStringLiteral("SCIENCES BIS — porte XA12"), QStringLiteral("Amphithéâtre"),
              QStringLiteral("Places 100"), QStringLiteral("Sportif 80,00"),
              QStringLiteral("Aucun dépositaire."), QStringLiteral("Aucune prise réseau."),
              QStringLiteral("Aucun matériel."), QStringLiteral("Université Recherche 100"),
              QStringLiteral("amphi_1"), QStringLiteral("Page 2 / 2")})
            QVERIFY2(xa12.contains(attendu), qPrintable(attendu + " in " + xa12));
        QVERIFY(!xa12.contains(QStringLiteral("Hauteur moyenne")));

        // The form's button prints the room it shows.
        QVERIFY(liste.setSelectionIndexes({1}));
        bouton(*creation, "boutonImprimerFiche")->click();
        QCOMPARE(ouverts.size(), 2);
        QVERIFY(
            QFileInfo(ouverts.at(1)).fileName().startsWith("fiche_salle-SCIENCES-A12B_2024-03-05_14-07-09"));
        const QStringList une = pages(ouverts.at(1));
        QCOMPARE(une.size(), 1);
        QVERIFY(une.at(0).contains(QStringLiteral("Bureau d'O'Brien")));
        QVERIFY(une.at(0).contains(QStringLiteral("Réservable Non")));
        // Printed again within the same second, the sheet gets a file of its own.
        bouton(*creation, "boutonImprimerFiche")->click();
        QCOMPARE(ouverts.size(), 3);
        QVERIFY(ouverts.at(2) != ouverts.at(1));
        QVERIFY(QFileInfo::exists(ouverts.at(1)));

        // Too many rooms for one document: told, nothing printed.
        const QList<eo::EORecord> trop(rooms::RoomSheetPrinter::fichesAuPlus + 1,
                                       liste.displayedObjects().first());
        QCOMPARE(creation->actionsListe().impression().imprimer(trop), QString());
        const QList<TestDatabase::Alert> refus = db->takeAlerts();
        QCOMPARE(refus.size(), 1);
        QCOMPARE(refus.at(0).title, QStringLiteral("IMPRESSION ANNULEE"));
        QVERIFY(refus.at(0).message.contains(QStringLiteral("au plus 500 salles (501 sont choisies)")));
        QCOMPARE(ouverts.size(), 3);

        // Without an application to open it, the user is told where the sheet is.
        QString refuse;
        platform::FileOpener::setOpener([&refuse](const QString &chemin) {
            refuse = chemin;
            return false;
        });
        bouton(*creation, "boutonImprimerFiche")->click();
        platform::FileOpener::setOpener([this](const QString &chemin) {
            ouverts.append(chemin);
            return true;
        });
        const QList<TestDatabase::Alert> alertes = db->takeAlerts();
        QCOMPARE(alertes.size(), 1);
        QCOMPARE(alertes.at(0).title, QStringLiteral("Attention"));
        QVERIFY(QFileInfo::exists(refuse));
        QVERIFY2(alertes.at(0).message.contains(refuse), qPrintable(alertes.at(0).message));
    }
};

QTEST_MAIN(TestRoomResultExport)
#include "tst_RoomResultExport.moc"
