// The four sub-lists of a room in creation and modification, edited through their panels run modally as
// the user sees them: the refusals of each panel, what each action puts into its list, the buttons it
// offers afterwards, and a cancelled modification that drops every pending change.

#include "BugFixApplication.h"
#include "KORConversions.h"
#include "PanelsFixture.h"
#include "RoomBuildingChooser.h"
#include "RoomCustodianChooser.h"
#include "RoomEquipmentEditor.h"
#include "RoomOccupationEditor.h"
#include "RoomOutletEditor.h"
#include "RoomsFixture.h"

#include <QButtonGroup>
#include <QDialog>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>
#include <functional>

using namespace roomstest;
using rooms::Creation;
using rooms::Etat;

namespace
{

// "Famille/Type:quantité" for each equipment line, in display order.
QStringList materiels(const eo::EODisplayGroup &lignes)
{
    QStringList liste;
    for (const eo::EORecord &ligne : lignes.displayedObjects())
        liste.append(QStringLiteral("%1/%2:%3")
                         .arg(texte(ligne, "pereLibelle"), texte(ligne, "tavLibelle"),
                              texte(ligne, "dsaPourcentage")));
    return liste;
}

QStringList codes(const eo::EODisplayGroup &prises)
{
    QStringList liste;
    for (const eo::EORecord &prise : prises.displayedObjects())
        liste.append(texte(prise, "priType") + texte(prise, "priCode"));
    return liste;
}

void doubleClic(QTableView *vue, int ligne)
{
    // The first click of the pair presses the row, as the user's does.
    const QPoint centre = vue->visualRect(vue->model()->index(ligne, 0)).center();
    QTest::mouseClick(vue->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(vue->viewport(), Qt::LeftButton, {}, centre);
}

} // namespace

class TestRoomSubLists : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<Creation> creation;
    Salles salles;
    qint64 priseI7 = 0;
    qint64 priseT12 = 0;

    // Z9, the first room of the search, with its custodian, two outlets, an equipment line and an
    // occupation line, being modified.
    void modifierZ9()
    {
        bouton(*creation, "boutonRecherche")->click();
        bouton(*creation, "boutonRecherche")->click();
        QCOMPARE(champ(*creation, "localisationPorte")->text(), QStringLiteral("Z9"));
        bouton(*creation, "boutonModifier")->click();
        QCOMPARE(creation->etat(), Etat::modification);
    }

private slots:
    void initTestCase()
    {
        db = std::make_unique<TestDatabase>();
        QVERIFY(db->isValid());
        salles = peupler(*db);
        materielDeReference(*db);
        db->exec(
            QStringLiteral(
                "INSERT INTO SOLMA.DEPOSITAIRE (SAL_NUMERO, C_STRUCTURE) VALUES (%1, 'G1');"
                "INSERT INTO PRISES (SAL_NUMERO, PRI_CODE, PRI_TYPE) VALUES (%1, '12', 'T'), (%1, '7', 'I');"
                "INSERT INTO DETAIL_SALLE (SAL_NUMERO, TAV_TYPE, DSA_POURCENTAGE, UNI_ORDRE) "
                "VALUES (%1, 2, 12, 1);"
                "INSERT INTO DETAIL_POURCENTAGE (SAL_NUMERO, DET_TYPE, DET_POURCENTAGE, C_STRUCTURE) "
                "VALUES (%1, 1, 40, 'SCI');")
                .arg(salles.z9));
        priseI7 =
            db->scalar(QStringLiteral("SELECT PRI_ORDRE FROM PRISES WHERE PRI_CODE = '7'")).toLongLong();
        priseT12 =
            db->scalar(QStringLiteral("SELECT PRI_ORDRE FROM PRISES WHERE PRI_CODE = '12'")).toLongLong();
    }

    void init()
    {
        creation = std::make_unique<Creation>(db->dataBus());
        creation->initObjet();
    }

    void cleanup()
    {
        creation.reset();
        db->takeAlerts();
    }

    void outletCodes_data()
    {
        QTest::addColumn<bool>("ajout");
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("accepte");

        QTest::newRow("added without a code") << true << "" << true;
        QTest::newRow("added with digits") << true << "0042" << true;
        QTest::newRow("added with a letter") << true << "12a" << false;
        QTest::newRow("added with a space") << true << "1 2" << false;
        QTest::newRow("added with a sign") << true << "<5" << false;
        QTest::newRow("modified to no code") << false << "" << false;
        QTest::newRow("modified with a letter") << false << "7x" << false;
        QTest::newRow("modified with digits") << false << "99" << true;
    }

    void outletCodes()
    {
        QFETCH(bool, ajout);
        QFETCH(QString, code);
        QFETCH(bool, accepte);
        modifierZ9();
        auto &prises = creation->tables().tablePrise;
        QCOMPARE(codes(prises), (QStringList{"I7", "T12"}));

        QDialog *panneau =
            ajout ? creation->prises().panelAjoutPrise() : creation->prises().panelModifPrise();
        auto *texteCode = dans<QLineEdit>(panneau, ajout ? "textAjoutPrise" : "textModifPrise");
        bool resteOuvert = false;
        QString selection;
        const bool ouvert =
            dansLePanneau(bouton(*creation, ajout ? "boutonAjoutPrises" : "boutonModifPrises"), panneau, [&] {
                texteCode->setText(code);
                if (ajout)
                    dans<QRadioButton>(panneau, "typeAjoutPriseT")->click();
                dans<QPushButton>(panneau, ajout ? "boutonValideAjoutPrise" : "boutonValideModifPrise")
                    ->click();
                resteOuvert = panneau->isVisible();
                selection = texteCode->selectedText();
            });
        QVERIFY(ouvert);
        QCOMPARE(resteOuvert, !accepte);
        // A refused code is selected again for typing, without a message.
        if (!accepte)
            QCOMPARE(selection, code);
        QVERIFY(db->takeAlerts().isEmpty());

        QStringList attendus{"I7", "T12"};
        if (accepte && ajout)
            attendus.prepend(QStringLiteral("T") + code);
        else if (accepte)
            attendus[0] = QStringLiteral("I") + code;
        QCOMPARE(codes(prises), attendus);
        // The order numbers: -1 for the new outlet, the stored key kept by a modification.
        QCOMPARE(prises.displayedObjects().at(0)->valueForKey(QStringLiteral("priOrdre")).toLongLong(),
                 accepte && ajout ? -1 : priseI7);
        if (accepte && ajout)
            QCOMPARE(prises.selectionIndexes(), QList<int>{0});
    }

    void modifyPanelShowsTheOutletKind()
    {
        modifierZ9();
        auto &prises = creation->tables().tablePrise;
        QDialog *panneau = creation->prises().panelModifPrise();
        auto *matrice = panneau->findChild<QButtonGroup *>(QStringLiteral("matrixModifTypePrise"));
        QVERIFY(matrice);
        int propose = -1;
        QString code;
        prises.setSelectionIndexes({1});
        QVERIFY(dansLePanneau(bouton(*creation, "boutonModifPrises"), panneau, [&] {
            propose = matrice->checkedId();
            code = dans<QLineEdit>(panneau, "textModifPrise")->text();
            dans<QRadioButton>(panneau, "typeModifPriseV")->click();
            dans<QPushButton>(panneau, "boutonValideModifPrise")->click();
        }));
        QCOMPARE(propose, 1); // T
        QCOMPARE(code, QStringLiteral("12"));
        QCOMPARE(codes(prises), (QStringList{"I7", "V12"}));
    }

    void removedOutletsAreKeptNewestFirst()
    {
        modifierZ9();
        rooms::RoomOutletEditor &editeur = creation->prises();
        auto &prises = creation->tables().tablePrise;
        QVERIFY(dansLePanneau(bouton(*creation, "boutonAjoutPrises"), editeur.panelAjoutPrise(), [&] {
            dans<QLineEdit>(editeur.panelAjoutPrise(), "textAjoutPrise")->setText(QStringLiteral("5"));
            dans<QPushButton>(editeur.panelAjoutPrise(), "boutonValideAjoutPrise")->click();
        }));
        QCOMPARE(codes(prises).size(), 3);
        // The new outlet goes without a trace; the stored ones leave their keys, newest first.
        bouton(*creation, "boutonSupprPrises")->click();
        QVERIFY(creation->prisesSupprimees().isEmpty());
        bouton(*creation, "boutonSupprPrises")->click();
        QCOMPARE(creation->prisesSupprimees(), QVariantList{priseI7});
        QVERIFY(bouton(*creation, "boutonSupprPrises")->isEnabled());
        bouton(*creation, "boutonSupprPrises")->click();
        QCOMPARE(creation->prisesSupprimees(), (QVariantList{priseT12, priseI7}));
        QVERIFY(prises.displayedObjects().isEmpty());
        QVERIFY(!bouton(*creation, "boutonSupprPrises")->isEnabled());
        QVERIFY(!bouton(*creation, "boutonModifPrises")->isEnabled());
        // A new modification begins with nothing removed.
        bouton(*creation, "boutonAnnuler")->click();
        bouton(*creation, "boutonModifier")->click();
        QVERIFY(creation->prisesSupprimees().isEmpty());
    }

    void equipment_data()
    {
        QTest::addColumn<bool>("ajout");
        QTest::addColumn<bool>("tableAvant"); // a Table line added first
        QTest::addColumn<QString>("famille");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("quantite");
        QTest::addColumn<QString>("alerte");
        QTest::addColumn<QStringList>("lignes");

        const QStringList stockee{"Mobilier/Chaise:12"};
        QTest::newRow("another type is added first") << true << false << "Mobilier"
                                                     << "Table"
                                                     << "4"
                                                     << "" << QStringList{"Mobilier/Table:4", stockee[0]};
        QTest::newRow("the same type twice is refused")
            << true << false << "Mobilier"
            << "Chaise"
            << "3"
            << "Ce type de materiel est deja present dans le detail de la salle" << stockee;
        QTest::newRow("a quantity abc is 0")
            << true << false << QStringLiteral("Réseau") << QStringLiteral("Câble") << "abc"
            << "" << QStringList{QStringLiteral("Réseau/Câble:0"), stockee[0]};
        QTest::newRow("no quantity") << true << false << "Mobilier"
                                     << "Table"
                                     << ""
                                     << "Il faut une quantite" << stockee;
        QTest::newRow("a family without types") << true << false << "Vide"
                                                << ""
                                                << "2"
                                                << "Il faut selectionner un type de materiel" << stockee;
        QTest::newRow("no family") << true << false << ""
                                   << ""
                                   << "2"
                                   << "Il faut selectionner une famille de materiel" << stockee;
        QTest::newRow("modified to another family's type")
            << false << false << QStringLiteral("Réseau") << QStringLiteral("Câble") << "7"
            << "" << QStringList{QStringLiteral("Réseau/Câble:7")};
        QTest::newRow("modified to a type another line has")
            << false << true << "Mobilier"
            << "Table"
            << "9"
            << "" << QStringList{"Mobilier/Table:4", "Mobilier/Table:9"};
    }

    void equipment()
    {
        QFETCH(bool, ajout);
        QFETCH(bool, tableAvant);
        QFETCH(QString, famille);
        QFETCH(QString, type);
        QFETCH(QString, quantite);
        QFETCH(QString, alerte);
        QFETCH(QStringList, lignes);
        modifierZ9();
        rooms::RoomDisplayGroups &tables = creation->tables();
        QDialog *panneau = creation->materiels().panelAjoutModifMatos();
        auto *nombre = dans<QLineEdit>(panneau, "nombreMatos");
        const auto remplir = [&](const QString &f, const QString &t, const QString &q) {
            if (f.isEmpty())
                tables.tableFamilleMatos.clearSelection();
            else
                QVERIFY(choisir(tables.tableFamilleMatos, "tavLibelle", f));
            if (!t.isEmpty())
                QVERIFY(choisir(tables.tableTypeMateriel, "tavLibelle", t));
            nombre->setText(q);
            dans<QPushButton>(panneau, "boutonValiderMatos")->click();
        };
        if (tableAvant) {
            QVERIFY(dansLePanneau(bouton(*creation, "boutonAjoutMatos"), panneau, [&] {
                remplir(QStringLiteral("Mobilier"), QStringLiteral("Table"), "4");
            }));
            tables.tableDetailSalle.setSelectionIndexes({1});
        }

        bool resteOuvert = false;
        QVERIFY(
            dansLePanneau(bouton(*creation, ajout ? "boutonAjoutMatos" : "boutonModifMatos"), panneau, [&] {
                remplir(famille, type, quantite);
                resteOuvert = panneau->isVisible();
            }));
        QCOMPARE(materiels(tables.tableDetailSalle), lignes);
        QCOMPARE(resteOuvert, !alerte.isEmpty());
        const QList<TestDatabase::Alert> alertes = db->takeAlerts();
        QCOMPARE(alertes.size(), alerte.isEmpty() ? 0 : 1);
        if (!alerte.isEmpty())
            QCOMPARE(alertes.first().message, alerte);
        if (alerte.isEmpty()) {
            // The line carries what the save needs: the type, its unit and its family.
            const eo::EORecord ligne = tables.tableDetailSalle.selectedObject();
            QVERIFY(ligne);
            QCOMPARE(texte(ligne, "uniAbrev"), type == QStringLiteral("Câble") ? "m" : "u");
            QCOMPARE(texte(ligne, "uniOrdre"), type == QStringLiteral("Câble") ? "2" : "1");
            QCOMPARE(texte(ligne, "tavType"), type == QStringLiteral("Câble") ? "5" : "3");
            QVERIFY(bouton(*creation, "boutonModifMatos")->isEnabled());
        }
    }

    void equipmentPanelTitles()
    {
        modifierZ9();
        QDialog *panneau = creation->materiels().panelAjoutModifMatos();
        rooms::RoomDisplayGroups &tables = creation->tables();
        QStringList vu;
        QVERIFY(dansLePanneau(bouton(*creation, "boutonModifMatos"), panneau, [&] {
            vu << panneau->windowTitle() << dans<QLabel>(panneau, "titreMatos")->text()
               << texte(tables.tableFamilleMatos.selectedObject(), "tavLibelle")
               << texte(tables.tableTypeMateriel.selectedObject(), "tavLibelle")
               << dans<QLineEdit>(panneau, "nombreMatos")->text();
            dans<QPushButton>(panneau, "boutonFermerMatos")->click();
        }));
        QCOMPARE(vu, (QStringList{"Modification d'un materiel", "Modification d'un materiel", "Mobilier",
                                  "Chaise", "12"}));
        dans<QLineEdit>(panneau, "nombreMatos")->setText(QStringLiteral("3"));
        QVERIFY(dansLePanneau(bouton(*creation, "boutonAjoutMatos"), panneau, [&] {
            vu = QStringList{panneau->windowTitle(), dans<QLineEdit>(panneau, "nombreMatos")->text()};
        }));
        QCOMPARE(vu, (QStringList{"Ajout d'un materiel", ""}));
        // Families are read when the panel opens: one created meanwhile is offered.
        db->exec(QStringLiteral(
            "INSERT INTO TYPE_MATERIEL (TAV_TYPE, TAV_LIBELLE, TAV_NIVEAU) VALUES (9, 'Audio', 1)"));
        QVERIFY(dansLePanneau(bouton(*creation, "boutonAjoutMatos"), panneau, [&] {
            vu = QStringList{texte(tables.tableFamilleMatos.displayedObjects().first(), "tavLibelle")};
        }));
        db->exec(QStringLiteral("DELETE FROM TYPE_MATERIEL WHERE TAV_TYPE = 9"));
        QCOMPARE(vu, QStringList{"Audio"});
        bouton(*creation, "boutonSupprMatos")->click();
        QVERIFY(tables.tableDetailSalle.displayedObjects().isEmpty());
        QVERIFY(!bouton(*creation, "boutonSupprMatos")->isEnabled());
        QVERIFY(!bouton(*creation, "boutonModifMatos")->isEnabled());
    }

    void occupation_data()
    {
        QTest::addColumn<bool>("service");
        QTest::addColumn<QString>("pourcentage");
        QTest::addColumn<QVariant>("stocke"); // none: refused

        QTest::newRow("0") << true << "0" << QVariant(0);
        QTest::newRow("100") << true << "100" << QVariant(100);
        QTest::newRow("101") << true << "101" << QVariant();
        QTest::newRow("-1") << true << "-1" << QVariant();
        QTest::newRow("50abc reads 50") << true << "50abc" << QVariant(50);
        QTest::newRow("empty") << true << "" << QVariant();
        QTest::newRow("no department") << false << "20" << QVariant();
    }

    void occupation()
    {
        QFETCH(bool, service);
        QFETCH(QString, pourcentage);
        QFETCH(QVariant, stocke);
        bouton(*creation, "boutonCreer")->click();
        rooms::RoomDisplayGroups &tables = creation->tables();
        QDialog *panneau = creation->occupations().panelAjoutDetailPourcentage();
        bool resteOuvert = false;
        QVERIFY(dansLePanneau(bouton(*creation, "boutonAjoutDetailPourcentage"), panneau, [&] {
            if (service)
                QVERIFY(choisir(tables.tableServices, "cStructure", QStringLiteral("SCI")));
            else
                tables.tableServices.clearSelection();
            dans<QComboBox>(panneau, "popupDetailPourcentage")->setCurrentText(QStringLiteral("Recherche"));
            dans<QLineEdit>(panneau, "textAjoutDetailPourcentage")->setText(pourcentage);
            dans<QPushButton>(panneau, "boutonValideDetailPourcentage")->click();
            resteOuvert = panneau->isVisible();
        }));
        const QList<TestDatabase::Alert> alertes = db->takeAlerts();
        QCOMPARE(resteOuvert, !stocke.isValid());
        if (!stocke.isValid()) {
            QCOMPARE(alertes.size(), 1);
            QCOMPARE(alertes.first().message,
                     service ? QStringLiteral("Il faut un pourcentage (compris entre 0 et 100) !")
                             : QStringLiteral("Il faut un service !"));
            QVERIFY(tables.tableDetailPourcentage.displayedObjects().isEmpty());
            return;
        }
        QVERIFY(alertes.isEmpty());
        QCOMPARE(tables.tableDetailPourcentage.displayedObjects().size(), 1);
        const eo::EORecord ligne = tables.tableDetailPourcentage.displayedObjects().first();
        QCOMPARE(ligne->valueForKey(QStringLiteral("detPourcentage")).toLongLong(), stocke.toLongLong());
        QCOMPARE(texte(ligne, "detType"), QStringLiteral("2"));
        QCOMPARE(texte(ligne, "cStructure"), QStringLiteral("SCI"));
        QCOMPARE(texte(ligne, "tocLibelle"), QStringLiteral("Recherche"));
        QCOMPARE(ligne->valueForKeyPath(QStringLiteral("structureZebVix.llStructure")).toString(),
                 QStringLiteral("Faculté des sciences"));
        QVERIFY(bouton(*creation, "boutonSupprDetailPourcentage")->isEnabled());
        bouton(*creation, "boutonSupprDetailPourcentage")->click();
        QVERIFY(tables.tableDetailPourcentage.displayedObjects().isEmpty());
        QVERIFY(!bouton(*creation, "boutonSupprDetailPourcentage")->isEnabled());
    }

    void custodian()
    {
        bouton(*creation, "boutonCreer")->click();
        rooms::RoomDisplayGroups &tables = creation->tables();
        QDialog *fenetre = creation->depositaires().listeDepositaires();
        auto *groupes = dans<QTableView>(fenetre, "tableViewDepositaire");

        // Left without choosing: nothing added, and adding is still offered.
        QVERIFY(
            dansLePanneau(bouton(*creation, "boutonAjoutDepositaire"), fenetre, [&] { fenetre->close(); }));
        QVERIFY(tables.tableDepositaire.displayedObjects().isEmpty());
        QVERIFY(bouton(*creation, "boutonAjoutDepositaire")->isEnabled());
        QVERIFY(!bouton(*creation, "boutonSupprDepositaire")->isEnabled());
        QCOMPARE(creation->etat(), Etat::creation);

        QVERIFY(dansLePanneau(bouton(*creation, "boutonAjoutDepositaire"), fenetre, [&] {
            QCOMPARE(tables.tableGroupe.displayedObjects().size(), 1);
            doubleClic(groupes, 0);
        }));
        QVERIFY(!fenetre->isVisible());
        QCOMPARE(tables.tableDepositaire.displayedObjects().size(), 1);
        const eo::EORecord depositaire = tables.tableDepositaire.displayedObjects().first();
        QCOMPARE(texte(depositaire, "cStructure"), QStringLiteral("G1"));
        QCOMPARE(depositaire->valueForKeyPath(QStringLiteral("structureZebVix.llStructure")).toString(),
                 QStringLiteral("Dépositaires sciences"));
        QVERIFY(!bouton(*creation, "boutonAjoutDepositaire")->isEnabled());
        QVERIFY(bouton(*creation, "boutonSupprDepositaire")->isEnabled());

        bouton(*creation, "boutonSupprDepositaire")->click();
        QVERIFY(tables.tableDepositaire.displayedObjects().isEmpty());
        QVERIFY(bouton(*creation, "boutonAjoutDepositaire")->isEnabled());
        QVERIFY(!bouton(*creation, "boutonSupprDepositaire")->isEnabled());
    }

    void buildingChooser()
    {
        bouton(*creation, "boutonCreer")->click();
        auto *batiments = controle<QComboBox>(*creation, "localisationBatiment");
        saisir(*creation, "localisationBatiment", "Droit");
        QDialog *fenetre = creation->batiments().listeBatiments();
        auto *vue = dans<QTableView>(fenetre, "tableViewBatiment");
        rooms::RoomDisplayGroups &tables = creation->tables();
        QString propose;
        QVERIFY(dansLePanneau(controle<QAbstractButton>(*creation, "boutonChoixBatiment"), fenetre, [&] {
            propose = texte(tables.tableBatiments.selectedObject(), "appellation");
            QVERIFY(choisir(tables.tableBatiments, "appellation", QStringLiteral("LABOX2")));
            doubleClic(vue, tables.tableBatiments.selectionIndexes().first());
        }));
        QCOMPARE(propose, QStringLiteral("Droit"));
        QCOMPARE(batiments->currentText(), QStringLiteral("LABOX2"));
        QCOMPARE(tables.tableBatiments.displayedObjects().size(), 6);
        // Cancelled: the building stays.
        QVERIFY(dansLePanneau(controle<QAbstractButton>(*creation, "boutonChoixBatiment"), fenetre,
                              [&] { dans<QPushButton>(fenetre, "boutonAnnulerBatiment")->click(); }));
        QCOMPARE(batiments->currentText(), QStringLiteral("LABOX2"));
        // Offered only while the form is typed.
        bouton(*creation, "boutonAnnuler")->click();
        QVERIFY(!controle<QAbstractButton>(*creation, "boutonChoixBatiment")->isEnabled());
    }

    void cancellingAModificationDropsEveryPendingChange()
    {
        modifierZ9();
        rooms::RoomDisplayGroups &tables = creation->tables();
        // The stored equipment line changed in place, a new one added; the occupation line, the
        // custodian and an outlet removed, the other outlet changed.
        QDialog *matos = creation->materiels().panelAjoutModifMatos();
        QVERIFY(dansLePanneau(bouton(*creation, "boutonModifMatos"), matos, [&] {
            QVERIFY(choisir(tables.tableTypeMateriel, "tavLibelle", QStringLiteral("Table")));
            dans<QLineEdit>(matos, "nombreMatos")->setText(QStringLiteral("99"));
            dans<QPushButton>(matos, "boutonValiderMatos")->click();
        }));
        QVERIFY(dansLePanneau(bouton(*creation, "boutonAjoutMatos"), matos, [&] {
            QVERIFY(choisir(tables.tableFamilleMatos, "tavLibelle", QStringLiteral("Réseau")));
            dans<QLineEdit>(matos, "nombreMatos")->setText(QStringLiteral("1"));
            dans<QPushButton>(matos, "boutonValiderMatos")->click();
        }));
        QCOMPARE(materiels(tables.tableDetailSalle),
                 (QStringList{QStringLiteral("Réseau/Câble:1"), "Mobilier/Table:99"}));
        bouton(*creation, "boutonSupprDetailPourcentage")->click();
        bouton(*creation, "boutonSupprDepositaire")->click();
        bouton(*creation, "boutonSupprPrises")->click();
        tables.tablePrise.displayedObjects().first()->takeValueForKey(QStringLiteral("55"),
                                                                      QStringLiteral("priCode"));

        bouton(*creation, "boutonAnnuler")->click();
        QCOMPARE(creation->etat(), Etat::salleAffichee);
        QCOMPARE(materiels(tables.tableDetailSalle), QStringList{"Mobilier/Chaise:12"});
        QCOMPARE(tables.tableDetailPourcentage.displayedObjects().size(), 1);
        QCOMPARE(tables.tableDepositaire.displayedObjects().size(), 1);
        QCOMPARE(codes(tables.tablePrise), (QStringList{"I7", "T12"}));
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM PRISES")).toLongLong(), 2);
        QVERIFY(db->takeAlerts().isEmpty());
    }
};

int main(int argc, char *argv[])
{
    // Panels run through the application object's modal sessions, as in the program.
    widgets::BugFixApplication application(argc, argv);
    TestRoomSubLists test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_RoomSubLists.moc"
