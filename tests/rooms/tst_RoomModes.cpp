// The modes of the room tab: each transition, and what each mode enables.

#include "NotificationCenter.h"
#include "RoomEtat.h"
#include "RoomOutletEditor.h"
#include "RoomsFixture.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

using namespace roomstest;
using rooms::Creation;
using rooms::Etat;

namespace
{

const QStringList boutonsPrincipaux{"boutonCreer", "boutonRecherche", "boutonSupprimer", "boutonAnnuler",
                                    "boutonModifier"};
const QStringList boutonsDesSousListes{"boutonAjoutDepositaire",
                                       "boutonSupprDepositaire",
                                       "boutonAjoutPrises",
                                       "boutonSupprPrises",
                                       "boutonModifPrises",
                                       "boutonAjoutMatos",
                                       "boutonSupprMatos",
                                       "boutonModifMatos",
                                       "boutonAjoutDetailPourcentage",
                                       "boutonSupprDetailPourcentage"};
const QStringList champsPrincipaux{"localisationEtage",   "localisationPorte",    "architecturePlaces",
                                   "architectureSurface", "architectureFenetres", "nbTablNoir",
                                   "nbTablBlanc",         "nbTablPapier",         "nbPostesTP",
                                   "nombreChaises",       "pourcEnseignement",    "pourcSportif"};
const QStringList champsDuService{"hauteurMoyenPlafond", "nbPortes", "surfaceVitree"};

} // namespace

class TestRoomModes : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<Creation> creation;
    Salles salles;

    QString boutonsActifs(const QStringList &noms)
    {
        QStringList actifs;
        for (const QString &nom : noms) {
            if (bouton(*creation, nom)->isEnabled())
                actifs.append(nom);
        }
        return actifs.join(QLatin1Char(' '));
    }

    // Every field of the list editable (true) or read-only (false).
    bool editables(const QStringList &noms, bool attendu)
    {
        for (const QString &nom : noms) {
            if (champ(*creation, nom)->isReadOnly() == attendu) {
                qWarning("%s is %s", qPrintable(nom), attendu ? "read-only" : "editable");
                return false;
            }
        }
        return true;
    }

    bool formulaireVide()
    {
        for (const QString &nom : champsPrincipaux + champsDuService) {
            if (!champ(*creation, nom)->text().isEmpty())
                return false;
        }
        return controle<QComboBox>(*creation, "localisationBatiment")->currentIndex() == 0 &&
               !controle<QCheckBox>(*creation, "equipementEcran")->isChecked() &&
               controle<QPlainTextEdit>(*creation, "descriptif")->toPlainText().isEmpty() &&
               creation->tables().tablePrise.displayedObjects().isEmpty() &&
               creation->tables().tableDepositaire.displayedObjects().isEmpty();
    }

    void rechercherTout()
    {
        bouton(*creation, "boutonRecherche")->click();
        bouton(*creation, "boutonRecherche")->click();
        QCOMPARE(creation->etat(), Etat::salleAffichee);
    }

private slots:
    void initTestCase()
    {
        db = std::make_unique<TestDatabase>();
        QVERIFY(db->isValid());
        salles = peupler(*db);
        // Sub-lists of the first room found (Z9): a custodian, two outlets, an equipment line, an
        // occupation line.
        db->exec(
            QStringLiteral(
                "INSERT INTO SOLMA.DEPOSITAIRE (SAL_NUMERO, C_STRUCTURE) VALUES (%1, 'G1');"
                "INSERT INTO PRISES (SAL_NUMERO, PRI_CODE, PRI_TYPE) VALUES (%1, '12', 'T'), (%1, '7', 'I');"
                "INSERT INTO UNITE (UNI_ORDRE, UNI_ABREV, UNI_LIBELLE) VALUES (1, 'u', 'unité');"
                "INSERT INTO TYPE_MATERIEL (TAV_TYPE, TAV_LIBELLE, TAV_NIVEAU) VALUES (1, 'Mobilier', 1);"
                "INSERT INTO TYPE_MATERIEL (TAV_TYPE, TAV_LIBELLE, TAV_NIVEAU, TAV_PERE, TAV_UNITE_ORDRE) "
                "VALUES (2, 'Chaise', 2, 1, 1);"
                "INSERT INTO DETAIL_SALLE (SAL_NUMERO, TAV_TYPE, DSA_POURCENTAGE, UNI_ORDRE) "
                "VALUES (%1, 2, 12, 1);"
                "INSERT INTO DETAIL_POURCENTAGE (SAL_NUMERO, DET_TYPE, DET_POURCENTAGE, C_STRUCTURE) "
                "VALUES (%1, 1, 40, 'SCI');")
                .arg(salles.z9));
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

    void idleAfterSetUp()
    {
        QCOMPARE(creation->etat(), Etat::repos);
        QVERIFY(!creation->rechercheOuverte());
        QVERIFY(creation->prisesSupprimees().isEmpty());
        QCOMPARE(boutonsActifs(boutonsPrincipaux), QStringLiteral("boutonCreer boutonRecherche"));
        QCOMPARE(boutonsActifs(boutonsDesSousListes), QString());
        QVERIFY(editables(champsPrincipaux + champsDuService, false));
        QVERIFY(!controle<QComboBox>(*creation, "localisationBatiment")->isEnabled());
        QVERIFY(!controle<QComboBox>(*creation, "typePopup")->isEnabled());
        QVERIFY(!controle<QCheckBox>(*creation, "reservable")->isEnabled());
        QVERIFY(controle<QPlainTextEdit>(*creation, "descriptif")->isReadOnly());
        // The pop-ups: a blank item, then the types and the buildings in alphabetical order.
        auto *types = controle<QComboBox>(*creation, "typePopup");
        QStringList titres;
        for (int i = 0; i < types->count(); ++i)
            titres.append(types->itemText(i));
        QCOMPARE(titres, (QStringList{"", QStringLiteral("Amphithéâtre"), "Bureau", "Salle de cours"}));
        auto *batiments = controle<QComboBox>(*creation, "localisationBatiment");
        QCOMPARE(batiments->count(), 7);
        QCOMPARE(batiments->itemText(0), QString());
        QCOMPARE(batiments->itemText(1), QStringLiteral("Archives"));
        QCOMPARE(batiments->itemText(6), QStringLiteral("SCIENCES BIS"));
    }

    void searchEntryEnablesCriteriaOnly()
    {
        bouton(*creation, "boutonRecherche")->click();
        QCOMPARE(creation->etat(), Etat::saisieRecherche);
        QVERIFY(bouton(*creation, "boutonRecherche")->isChecked());
        QCOMPARE(boutonsActifs(boutonsPrincipaux), QStringLiteral("boutonRecherche boutonAnnuler"));
        QCOMPARE(boutonsActifs(boutonsDesSousListes), QString());
        QVERIFY(editables(champsPrincipaux, true));
        QVERIFY(editables(champsDuService, false));
        QVERIFY(controle<QComboBox>(*creation, "typePopup")->isEnabled());
        QCOMPARE(controle<QComboBox>(*creation, "typePopup")->currentIndex(), 0);
        QVERIFY(controle<QCheckBox>(*creation, "equipementTV")->isEnabled());
        QVERIFY(!controle<QPlainTextEdit>(*creation, "descriptif")->isReadOnly());
        QVERIFY(formulaireVide());
    }

    void cancelledSearchReturnsToIdle()
    {
        bouton(*creation, "boutonRecherche")->click();
        saisir(*creation, "localisationPorte", "A12");
        saisir(*creation, "typePopup", "Bureau");
        bouton(*creation, "boutonAnnuler")->click();
        QCOMPARE(creation->etat(), Etat::repos);
        QVERIFY(!bouton(*creation, "boutonRecherche")->isChecked());
        QCOMPARE(controle<QComboBox>(*creation, "typePopup")->currentIndex(), 0);
        QVERIFY(formulaireVide());
        QVERIFY(editables(champsPrincipaux, false));
        QCOMPARE(boutonsActifs(boutonsPrincipaux), QStringLiteral("boutonCreer boutonRecherche"));
        QVERIFY(db->takeAlerts().isEmpty());
    }

    void roomShownIsReadOnly()
    {
        rechercherTout();
        QVERIFY(creation->rechercheOuverte());
        QCOMPARE(boutonsActifs(boutonsPrincipaux),
                 QStringLiteral("boutonCreer boutonRecherche boutonSupprimer boutonModifier"));
        QCOMPARE(boutonsActifs(boutonsDesSousListes), QString());
        QVERIFY(editables(champsPrincipaux + champsDuService, false));
        QVERIFY(!controle<QComboBox>(*creation, "localisationBatiment")->isEnabled());
        QCOMPARE(champ(*creation, "localisationPorte")->text(), QStringLiteral("Z9"));
        QCOMPARE(creation->tables().tablePrise.displayedObjects().size(), 2);
    }

    void closingTheResultWindowClearsTheForm()
    {
        rechercherTout();
        QVERIFY(creation->listeSalles()->close());
        QCOMPARE(creation->etat(), Etat::repos);
        QVERIFY(!creation->rechercheOuverte());
        QVERIFY(formulaireVide());
        QCOMPARE(boutonsActifs(boutonsPrincipaux), QStringLiteral("boutonCreer boutonRecherche"));
    }

    void creationOpensAnEmptyEditableForm()
    {
        rechercherTout();
        bouton(*creation, "boutonCreer")->click();
        QCOMPARE(creation->etat(), Etat::creation);
        QVERIFY(!creation->listeSalles()->isVisible());
        QVERIFY(!creation->rechercheOuverte());
        QVERIFY(creation->tables().tableSalles.displayedObjects().isEmpty());
        QVERIFY(bouton(*creation, "boutonCreer")->isChecked());
        QVERIFY(formulaireVide());
        QVERIFY(editables(champsPrincipaux + champsDuService, true));
        QCOMPARE(boutonsActifs(boutonsPrincipaux), QStringLiteral("boutonCreer boutonAnnuler"));
        // Empty sub-lists: only adding is offered.
        QCOMPARE(boutonsActifs(boutonsDesSousListes),
                 QStringLiteral("boutonAjoutDepositaire boutonAjoutPrises boutonAjoutMatos "
                                "boutonAjoutDetailPourcentage"));

        bouton(*creation, "boutonAnnuler")->click();
        QCOMPARE(creation->etat(), Etat::repos);
        QVERIFY(!bouton(*creation, "boutonCreer")->isChecked());
        QVERIFY(editables(champsPrincipaux, false));
        QCOMPARE(boutonsActifs(boutonsPrincipaux), QStringLiteral("boutonCreer boutonRecherche"));
    }

    void creationFromIdle()
    {
        bouton(*creation, "boutonCreer")->click();
        QCOMPARE(creation->etat(), Etat::creation);
        QVERIFY(!bouton(*creation, "boutonRecherche")->isEnabled());
    }

    void modificationKeepsTheRoomAndEnablesItsLists()
    {
        rechercherTout();
        bouton(*creation, "boutonModifier")->click();
        QCOMPARE(creation->etat(), Etat::modification);
        // Hidden, not closed: the search stays open.
        QVERIFY(!creation->listeSalles()->isVisible());
        QVERIFY(creation->rechercheOuverte());
        QCOMPARE(champ(*creation, "localisationPorte")->text(), QStringLiteral("Z9"));
        QVERIFY(editables(champsPrincipaux + champsDuService, true));
        QVERIFY(bouton(*creation, "boutonCreer")->isChecked());
        QCOMPARE(boutonsActifs(boutonsPrincipaux), QStringLiteral("boutonCreer boutonAnnuler"));
        // One custodian: removing it is offered, not adding another; lines present: remove and modify.
        QCOMPARE(
            boutonsActifs(boutonsDesSousListes),
            QStringLiteral("boutonSupprDepositaire boutonAjoutPrises boutonSupprPrises boutonModifPrises "
                           "boutonAjoutMatos boutonSupprMatos boutonModifMatos "
                           "boutonAjoutDetailPourcentage boutonSupprDetailPourcentage"));
    }

    void cancelledModificationShowsTheStoredRoomAgain()
    {
        rechercherTout();
        bouton(*creation, "boutonModifier")->click();
        saisir(*creation, "localisationEtage", "99");
        saisir(*creation, "equipementEcran", true);
        // Pending sub-list changes: an outlet added in memory, a stored one removed.
        auto &prises = creation->tables().tablePrise;
        auto ajoutee = eo::EOGenericRecord::create();
        ajoutee->takeValueForKey(QStringLiteral("5"), QStringLiteral("priCode"));
        ajoutee->takeValueForKey(QStringLiteral("I"), QStringLiteral("priType"));
        ajoutee->takeValueForKey(-1, QStringLiteral("priOrdre"));
        prises.insertObjectAtIndex(ajoutee, 0);
        prises.setSelectionIndexes({2});
        prises.deleteSelection();
        prises.displayedObjects().at(1)->takeValueForKey(QStringLiteral("999"), QStringLiteral("priCode"));

        bouton(*creation, "boutonAnnuler")->click();
        QCOMPARE(creation->etat(), Etat::salleAffichee);
        QVERIFY(!bouton(*creation, "boutonCreer")->isChecked());
        QVERIFY(creation->listeSalles()->isVisible());
        QVERIFY(creation->rechercheOuverte());
        QCOMPARE(champ(*creation, "localisationEtage")->text(), QStringLiteral("0"));
        QVERIFY(!controle<QCheckBox>(*creation, "equipementEcran")->isChecked());
        QStringList codes;
        for (const eo::EORecord &prise : prises.displayedObjects())
            codes.append(prise->valueForKey(QStringLiteral("priCode")).toString());
        // Stored order: by kind, then code.
        QCOMPARE(codes, (QStringList{"7", "12"}));
        QVERIFY(editables(champsPrincipaux, false));
        QCOMPARE(boutonsActifs(boutonsPrincipaux),
                 QStringLiteral("boutonCreer boutonRecherche boutonSupprimer boutonModifier"));
    }

    void cancelInShownOrIdleClearsAndStays()
    {
        rechercherTout();
        creation->annulation(nullptr);
        QCOMPARE(creation->etat(), Etat::salleAffichee);
        QVERIFY(formulaireVide());
        creation->listeSalles()->close();
        creation->annulation(nullptr);
        QCOMPARE(creation->etat(), Etat::repos);
    }

    void searchFromShownRoom()
    {
        rechercherTout();
        bouton(*creation, "boutonRecherche")->click();
        QCOMPARE(creation->etat(), Etat::saisieRecherche);
        QVERIFY(!creation->listeSalles()->isVisible());
        QVERIFY(formulaireVide());
        QCOMPARE(boutonsActifs(boutonsPrincipaux), QStringLiteral("boutonRecherche boutonAnnuler"));
    }

    void panelsRunModallyWithoutTheApplicationObject()
    {
        // A bare QApplication here: the panel runs a session of its own, ended by its cancel button.
        bouton(*creation, "boutonCreer")->click();
        QDialog *panneau = creation->prises().panelAjoutPrise();
        bool modal = false;
        QTimer::singleShot(0, panneau, [&] {
            modal = panneau->isVisible() && panneau->windowModality() == Qt::ApplicationModal;
            panneau->findChild<QPushButton *>(QStringLiteral("boutonAnnuleAjoutPrise"))->click();
        });
        bouton(*creation, "boutonAjoutPrises")->click();
        QVERIFY(modal);
        QVERIFY(!panneau->isVisible());
        QVERIFY(creation->tables().tablePrise.displayedObjects().isEmpty());
    }

    void buildingsReloadWhenTheRegisterChangesThem()
    {
        bouton(*creation, "boutonCreer")->click();
        saisir(*creation, "localisationBatiment", "Droit");
        QVERIFY(!db->addBuilding(QStringLiteral("AAA"), QStringLiteral("Atelier")).isEmpty());
        platform::NotificationCenter::defaultCenter().postNotificationName(
            QStringLiteral("changementAuxBatiments"));
        auto *batiments = controle<QComboBox>(*creation, "localisationBatiment");
        QCOMPARE(batiments->count(), 8);
        QCOMPARE(batiments->itemText(1), QStringLiteral("Archives"));
        QCOMPARE(batiments->itemText(2), QStringLiteral("Atelier"));
        // The building being typed stays chosen.
        QCOMPARE(batiments->currentText(), QStringLiteral("Droit"));
        db->exec(QStringLiteral("DELETE FROM SOLMA.LOCAL WHERE C_LOCAL = 'AAA'"));
    }
};

QTEST_MAIN(TestRoomModes)
#include "tst_RoomModes.moc"
