// The room search driven through the room form: each kind of criterion finds the right rooms, values typed
// are data (a quote is a quote) with the wild cards of each criterion, the percentage limit, numbers refused
// as the field refuses them, and what happens when nothing is found or the database fails.

#include "RoomEtat.h"
#include "RoomListActions.h"
#include "RoomsFixture.h"

#include <QApplication>
#include <QHeaderView>
#include <QStyledItemDelegate>

using namespace roomstest;
using rooms::Creation;
using rooms::Etat;

using Criteres = QList<QPair<QString, QVariant>>;
Q_DECLARE_METATYPE(Criteres)

class TestRoomSearch : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<Creation> creation;
    Salles salles;

    // First click, criteria typed, second click.
    void chercher(const Criteres &criteres)
    {
        QPushButton *recherche = bouton(*creation, "boutonRecherche");
        recherche->click();
        QCOMPARE(creation->etat(), Etat::saisieRecherche);
        for (const auto &[nom, valeur] : criteres)
            saisir(*creation, nom, valeur);
        recherche->click();
    }

private slots:
    void initTestCase()
    {
        db = std::make_unique<TestDatabase>();
        QVERIFY(db->isValid());
        salles = peupler(*db);
        QVERIFY(db->takeAlerts().isEmpty());
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

    void criteriaFindTheRightRooms_data()
    {
        QTest::addColumn<Criteres>("criteres");
        QTest::addColumn<QStringList>("attendues");

        const QStringList toutes = toutesLesPortes();
        QTest::newRow("no criterion: every bookable-flag room, by building, floor, door")
            << Criteres{} << toutes;
        QTest::newRow("unchecked boxes do not restrict")
            << Criteres{{"equipementEcran", false}, {"reservable", false}} << toutes;
        QTest::newRow("room type") << Criteres{{"typePopup", "Bureau"}} << QStringList{"A12B"};
        QTest::newRow("room type with accents")
            << Criteres{{"typePopup", QStringLiteral("Amphithéâtre")}} << QStringList{"XA12"};
        QTest::newRow("blackboards compared as numbers")
            << Criteres{{"nbTablNoir", ">9"}} << QStringList{"XA12"};
        QTest::newRow("whiteboards equal") << Criteres{{"nbTablBlanc", "3"}} << QStringList{"XA12"};
        QTest::newRow("workstations as numbers") << Criteres{{"nbPostesTP", ">5"}} << QStringList{"A12"};
        QTest::newRow("paper boards below")
            << Criteres{{"nbTablPapier", "<1"}} << QStringList{"Z9", "C*1", "C21", "D1", "L1", "L2", "A12"};
        QTest::newRow("screen") << Criteres{{"equipementEcran", true}} << QStringList{"A12", "XA12"};
        QTest::newRow("projector and television")
            << Criteres{{"equipementRetro", true}, {"equipementTV", true}} << QStringList{"A12B"};
        QTest::newRow("blackout") << Criteres{{"equipementObscurite", true}} << QStringList{"A12", "XA12"};
        QTest::newRow("sound-proofed")
            << Criteres{{"equipementInsonorise", true}} << QStringList{"A12B", "XA12"};
        QTest::newRow("bookable") << Criteres{{"reservable", true}}
                                  << QStringList{"Z9", "C*1", "C21", "D1", "L1", "L2", "A12", "XA12"};
        QTest::newRow("building name contained")
            << Criteres{{"localisationBatiment", "SCIENCES"}} << QStringList{"A12", "A12B", "XA12"};
        QTest::newRow("underscore in a building name is a character")
            << Criteres{{"localisationBatiment", "LABO_2"}} << QStringList{"L1"};
        QTest::newRow("floor exactly")
            << Criteres{{"localisationEtage", "1"}} << QStringList{"C*1", "C21", "A12", "A12B"};
        QTest::newRow("door contained, upper case")
            << Criteres{{"localisationPorte", "a12"}} << QStringList{"A12", "A12B", "XA12"};
        // The door is a like on "*TEXT*": a * or ? typed in it is a wild card too; % and _ are characters.
        QTest::newRow("star in a door is a wild card")
            << Criteres{{"localisationPorte", "c*1"}} << QStringList{"C*1", "C21"};
        QTest::newRow("question mark in a door stands for one character")
            << Criteres{{"localisationPorte", "X?1"}} << QStringList{"XA12"};
        QTest::newRow("question mark, two doors")
            << Criteres{{"localisationPorte", "C?1"}} << QStringList{"C*1", "C21"};
        QTest::newRow("percent sign in a door is a character")
            << Criteres{{"localisationPorte", "%"}} << QStringList{};
        QTest::newRow("description without regard to case, quote inside")
            << Criteres{{"descriptif", "o'brien"}} << QStringList{"A12B"};
        // The description is a like on '%TEXT%': a % or _ typed in it is a wild card too.
        QTest::newRow("percent sign in a description is a wild card")
            << Criteres{{"descriptif", "50%"}} << QStringList{"D1", "A12"};
        QTest::newRow("underscore in a description stands for one character")
            << Criteres{{"descriptif", "amphi_1"}} << QStringList{"Z9", "XA12"};
        QTest::newRow("star in a description is a character")
            << Criteres{{"descriptif", "amphi*"}} << QStringList{};
        QTest::newRow("SQL in a description is text")
            << Criteres{{"descriptif", "' OR 1=1 --"}} << QStringList{};
        QTest::newRow("places below") << Criteres{{"architecturePlaces", "<25"}}
                                      << QStringList{"Z9", "C*1", "C21", "D1", "L1", "L2", "A12B"};
        QTest::newRow("places above")
            << Criteres{{"architecturePlaces", ">25"}} << QStringList{"A12", "XA12"};
        QTest::newRow("surface equal to a decimal")
            << Criteres{{"architectureSurface", "40.5"}} << QStringList{"A12"};
        QTest::newRow("surface above") << Criteres{{"architectureSurface", ">100"}} << QStringList{"XA12"};
        QTest::newRow("windows") << Criteres{{"architectureFenetres", "3"}} << QStringList{"A12"};
        QTest::newRow("a percentage of exactly 100 passes")
            << Criteres{{"pourcEnseignement", "100"}} << QStringList{"A12"};
        QTest::newRow("percentage below") << Criteres{{"pourcEnseignement", "<60"}} << QStringList{"A12B"};
        QTest::newRow("department's percentage") << Criteres{{"pourcSportif", ">50"}} << QStringList{"XA12"};
        QTest::newRow("chairs") << Criteres{{"nombreChaises", "<10"}} << QStringList{"A12B"};
        QTest::newRow("tables") << Criteres{{"nombreTables", ">40"}} << QStringList{"XA12"};
        QTest::newRow("desks") << Criteres{{"nombreBureaux", "2"}} << QStringList{"A12B"};
        QTest::newRow("cupboards") << Criteres{{"nombreArmoires", "3"}} << QStringList{"A12B"};
        QTest::newRow("criteria together")
            << Criteres{{"localisationEtage", "1"}, {"equipementEcran", true}} << QStringList{"A12"};
    }

    void criteriaFindTheRightRooms()
    {
        QFETCH(Criteres, criteres);
        QFETCH(QStringList, attendues);
        chercher(criteres);
        QCOMPARE(portes(creation->tables().tableSalles.displayedObjects()), attendues);
        if (attendues.isEmpty()) {
            QCOMPARE(creation->etat(), Etat::repos);
            const auto alertes = db->takeAlerts();
            QCOMPARE(alertes.size(), 1);
            QCOMPARE(alertes.first().title, QStringLiteral("Recherche de salles"));
            QCOMPARE(alertes.first().message,
                     QStringLiteral("Pas de salle trouvee pour les criteres demandes !"));
            QVERIFY(!creation->listeSalles()->isVisible());
            QVERIFY(champ(*creation, "localisationEtage")->text().isEmpty());
        } else {
            QVERIFY(db->takeAlerts().isEmpty());
            QCOMPARE(creation->etat(), Etat::salleAffichee);
            QVERIFY(creation->rechercheOuverte());
            QVERIFY(creation->listeSalles()->isVisible());
            // The first room found is shown.
            QCOMPARE(champ(*creation, "localisationPorte")->text(), attendues.first());
            QVERIFY(!bouton(*creation, "boutonRecherche")->isChecked());
        }
    }

    void roomWithoutBookableFlagIsNeverFound()
    {
        chercher({{"localisationPorte", "B1"}, {"localisationEtage", "10"}});
        QVERIFY(creation->tables().tableSalles.displayedObjects().isEmpty());
        QCOMPARE(db->takeAlerts().size(), 1);
    }

    void percentageAboveHundredStopsTheSearch_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QString>("entree");
        QTest::newRow("150") << "pourcRecherche"
                             << "150";
        QTest::newRow("<150") << "pourcRecherche"
                              << "<150";
        QTest::newRow("above by a little, on the department's percentages") << "pourcParking"
                                                                            << ">100.5";
        QTest::newRow("beyond any number") << "pourcAccueil" << (QStringLiteral("1") + QString(400, u'0'));
    }

    void percentageAboveHundredStopsTheSearch()
    {
        QFETCH(QString, nom);
        QFETCH(QString, entree);
        // An earlier result shows that nothing is fetched.
        chercher({{"localisationPorte", "XA12"}});
        QCOMPARE(creation->tables().tableSalles.displayedObjects().size(), 1);

        chercher({{"localisationEtage", "1"}, {nom, entree}});
        const auto alertes = db->takeAlerts();
        QCOMPARE(alertes.size(), 1);
        QCOMPARE(alertes.first().title, QStringLiteral("Attention"));
        QCOMPARE(alertes.first().message, QStringLiteral("Pas de pourcentage > a 100 !!!!"));
        // Still typing criteria, every criterion kept.
        QCOMPARE(creation->etat(), Etat::saisieRecherche);
        QVERIFY(bouton(*creation, "boutonRecherche")->isChecked());
        QCOMPARE(champ(*creation, "localisationEtage")->text(), QStringLiteral("1"));
        QCOMPARE(champ(*creation, nom)->text(), entree);
        QVERIFY(!champ(*creation, nom)->isReadOnly());
        QVERIFY(!creation->listeSalles()->isVisible());
        QCOMPARE(portes(creation->tables().tableSalles.displayedObjects()), QStringList{"XA12"});

        // Corrected, the other criteria run as they were typed.
        saisir(*creation, nom, "");
        bouton(*creation, "boutonRecherche")->click();
        QCOMPARE(creation->etat(), Etat::salleAffichee);
        QCOMPARE(portes(creation->tables().tableSalles.displayedObjects()),
                 (QStringList{"C*1", "C21", "A12", "A12B"}));
        QVERIFY(db->takeAlerts().isEmpty());
    }

    void refusedNumbersStopTheSearch_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QString>("entree");
        QTest::newRow("letters") << "architecturePlaces"
                                 << "abc";
        QTest::newRow("an equals sign") << "nombreChaises"
                                        << "=5";
        QTest::newRow("two points") << "architectureSurface"
                                    << "35.5.0";
        QTest::newRow("a count of ten digits") << "architecturePlaces"
                                               << "9999999999";
        QTest::newRow("a count of ten digits after a sign") << "nombreChaises"
                                                            << ">9999999999";
        QTest::newRow("a count kept as five characters") << "nbTablNoir"
                                                         << "100000";
        QTest::newRow("a surface of 309 digits")
            << "architectureSurface" << (QStringLiteral("1") + QString(308, u'0'));
        QTest::newRow("an exponent") << "architectureSurface"
                                     << ">1e400";
    }

    void refusedNumbersStopTheSearch()
    {
        QFETCH(QString, nom);
        QFETCH(QString, entree);
        chercher({{"localisationPorte", "XA12"}});
        QCOMPARE(creation->tables().tableSalles.displayedObjects().size(), 1);

        // Refused as when the user leaves the field: nothing is fetched, no room of every kind is listed.
        chercher({{"localisationEtage", "1"}, {nom, entree}});
        QVERIFY(db->takeAlerts().isEmpty());
        QCOMPARE(creation->etat(), Etat::saisieRecherche);
        QVERIFY(bouton(*creation, "boutonRecherche")->isChecked());
        QCOMPARE(champ(*creation, nom)->text(), entree);
        QCOMPARE(champ(*creation, "localisationEtage")->text(), QStringLiteral("1"));
        QVERIFY(!creation->listeSalles()->isVisible());
        QCOMPARE(portes(creation->tables().tableSalles.displayedObjects()), QStringList{"XA12"});
        // The field's own check says the same when the user leaves it.
        QVERIFY(!creation->controlIsValidObject(champ(*creation, nom)));
    }

    void aFailingDatabaseLeavesTheCriteria()
    {
        // The room view goes missing under the search, as in a damaged or foreign database; the next
        // connection makes it again.
        QVERIFY(db->exec(QStringLiteral("DROP VIEW temp.SALLES_VIX")));
        chercher({{"localisationEtage", "1"}, {"architecturePlaces", ">10"}});
        db->dataBus().dataBusAdaptor()->close();
        const auto alertes = db->takeAlerts();
        QCOMPARE(alertes.size(), 1);
        QCOMPARE(alertes.first().title, QStringLiteral("ERREUR"));
        // Still typing criteria, every criterion kept, the button pressed: a second try needs one click.
        QCOMPARE(creation->etat(), Etat::saisieRecherche);
        QVERIFY(bouton(*creation, "boutonRecherche")->isChecked());
        QCOMPARE(champ(*creation, "localisationEtage")->text(), QStringLiteral("1"));
        QCOMPARE(champ(*creation, "architecturePlaces")->text(), QStringLiteral(">10"));
        QVERIFY(!champ(*creation, "architecturePlaces")->isReadOnly());
        bouton(*creation, "boutonRecherche")->click();
        QCOMPARE(creation->etat(), Etat::salleAffichee);
        QVERIFY(db->takeAlerts().isEmpty());
    }

    void resultWindowListsAndSorts()
    {
        chercher({{"localisationBatiment", "SCIENCES"}});
        auto *vue = controle<QTableView>(*creation, "vueSalles");
        QCOMPARE(vue->model(), &creation->tables().tableSalles);
        QStringList titres;
        for (int colonne = 0; colonne < vue->model()->columnCount(); ++colonne)
            titres.append(vue->model()->headerData(colonne, Qt::Horizontal).toString());
        QCOMPARE(titres, (QStringList{"Bâtiment", "Étage", "Porte", "Type", "Places", "Surface (m²)"}));
        QCOMPARE(vue->model()->index(2, 0).data().toString(), QStringLiteral("SCIENCES BIS"));
        QCOMPARE(vue->model()->index(1, 3).data().toString(), QStringLiteral("Bureau"));
        QCOMPARE(vue->model()->index(2, 4).data().toString(), QStringLiteral("100"));
        // Surfaces with two decimals, as in the form.
        const QModelIndex surface = vue->model()->index(0, 5);
        auto *delegue = qobject_cast<QStyledItemDelegate *>(vue->itemDelegateForIndex(surface));
        QVERIFY(delegue);
        QCOMPARE(delegue->displayText(surface.data(), QLocale()), QStringLiteral("40.50"));

        // Sorting by a column keeps the room shown.
        vue->sortByColumn(2, Qt::DescendingOrder);
        QCOMPARE(portes(creation->tables().tableSalles.displayedObjects()),
                 (QStringList{"XA12", "A12B", "A12"}));
        QCOMPARE(creation->tables().tableSalles.selectedObject()->valueForKey("salPorte").toString(),
                 QStringLiteral("A12"));
        QCOMPARE(champ(*creation, "localisationPorte")->text(), QStringLiteral("A12"));

        // The next search comes in its own order again.
        chercher({{"localisationBatiment", "SCIENCES"}});
        QCOMPARE(portes(creation->tables().tableSalles.displayedObjects()),
                 (QStringList{"A12", "A12B", "XA12"}));
        QCOMPARE(vue->horizontalHeader()->sortIndicatorSection(), -1);
    }

    void firstClickClosesAnOpenList()
    {
        chercher({});
        QVERIFY(creation->listeSalles()->isVisible());
        bouton(*creation, "boutonRecherche")->click();
        QVERIFY(!creation->listeSalles()->isVisible());
        QVERIFY(!creation->rechercheOuverte());
        QCOMPARE(creation->etat(), Etat::saisieRecherche);
        QVERIFY(champ(*creation, "localisationPorte")->text().isEmpty());
        QVERIFY(!champ(*creation, "localisationPorte")->isReadOnly());
    }

    // The rooms behind a line of the statistics: listed in the search's order whatever order they come in,
    // named after the line, the first shown; the list of a search is what the statistics read back.
    void roomsListedByNumber()
    {
        QVERIFY(creation->sallesListees().isEmpty());
        QVERIFY(creation->afficherSalles({salles.xa12, salles.z9, salles.a12, salles.c21}, "Bâtiment X"));
        QCOMPARE(portes(creation->tables().tableSalles.displayedObjects()),
                 (QStringList{"Z9", "C21", "A12", "XA12"}));
        QCOMPARE(creation->etat(), Etat::salleAffichee);
        QVERIFY(creation->listeSalles()->isVisible());
        QCOMPARE(champ(*creation, "localisationPorte")->text(), QStringLiteral("Z9"));
        QCOMPARE(creation->actionsListe().criteres().nom(), QStringLiteral("Salles - Bâtiment X"));
        QCOMPARE(creation->sallesListees(), (QList<qint64>{salles.z9, salles.c21, salles.a12, salles.xa12}));

        // While a room is being created, the form keeps what was typed: refused with a message.
        bouton(*creation, "boutonCreer")->click();
        QCOMPARE(creation->etat(), Etat::creation);
        db->takeAlerts();
        QVERIFY(!creation->afficherSalles({salles.a12}, "Bâtiment Y"));
        QCOMPARE(db->takeAlerts().size(), 1);
        QCOMPARE(creation->etat(), Etat::creation);
        bouton(*creation, "boutonAnnuler")->click();

        // Rooms that no longer exist: nothing listed, the user told.
        QVERIFY(!creation->afficherSalles({999999}, "Bâtiment Z"));
        QCOMPARE(db->takeAlerts().size(), 1);
    }
};

QTEST_MAIN(TestRoomSearch)
#include "tst_RoomSearch.moc"
