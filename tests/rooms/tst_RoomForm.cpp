// The room form: filling it from a room, the check of its numeric fields, the keyboard, and its looks.

#include "KORFormHelpers.h"
#include "RoomEtat.h"
#include "RoomsFixture.h"
#include "TestFont.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QVBoxLayout>

using namespace roomstest;
using rooms::Creation;
using rooms::Etat;

class TestRoomForm : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<Creation> creation;
    Salles salles;

    QString texte(const char *nom) { return champ(*creation, QString::fromLatin1(nom))->text(); }
    bool coche(const char *nom)
    {
        return controle<QCheckBox>(*creation, QString::fromLatin1(nom))->isChecked();
    }

    // Shows the tab's views in one window, as the shell does, and waits for it to take the keyboard.
    std::unique_ptr<QWidget> fenetre()
    {
        auto principale = std::make_unique<QWidget>();
        auto *rangee = new QVBoxLayout(principale.get());
        rangee->addWidget(creation->afficheBoutons());
        rangee->addWidget(creation->afficheVue());
        principale->show();
        principale->activateWindow();
        if (!QTest::qWaitForWindowActive(principale.get()))
            qWarning("the window did not become active");
        return principale;
    }

private slots:
    void initTestCase()
    {
        PIN_TEST_FONT();
        db = std::make_unique<TestDatabase>();
        QVERIFY(db->isValid());
        salles = peupler(*db);
        db->exec(
            QStringLiteral(
                "INSERT INTO SOLMA.DEPOSITAIRE (SAL_NUMERO, C_STRUCTURE) VALUES (%1, 'G1');"
                "INSERT INTO PRISES (SAL_NUMERO, PRI_CODE, PRI_TYPE) VALUES (%1, '3', 'V'), (%1, '12', 'T'),"
                " (%1, '7', 'T'), (%2, '1', 'I');"
                "INSERT INTO CONFIGURATION (SAL_NUMERO, CONF_LIBELLE, CONF_CAPACITE) VALUES (%1, 'Examen', "
                "15);"
                "INSERT INTO UNITE (UNI_ORDRE, UNI_ABREV, UNI_LIBELLE) VALUES (1, 'u', 'unité');"
                "INSERT INTO TYPE_MATERIEL (TAV_TYPE, TAV_LIBELLE, TAV_NIVEAU) VALUES (1, 'Mobilier', 1);"
                "INSERT INTO TYPE_MATERIEL (TAV_TYPE, TAV_LIBELLE, TAV_NIVEAU, TAV_PERE, TAV_UNITE_ORDRE) "
                "VALUES (2, 'Chaise', 2, 1, 1), (3, 'Bureau', 2, 1, 1);"
                "INSERT INTO DETAIL_SALLE (SAL_NUMERO, TAV_TYPE, DSA_POURCENTAGE, UNI_ORDRE) "
                "VALUES (%1, 2, 30, 1), (%1, 3, 1, 1);"
                "INSERT INTO DETAIL_POURCENTAGE (SAL_NUMERO, DET_TYPE, DET_POURCENTAGE, C_STRUCTURE) "
                "VALUES (%1, 1, 60, 'SCI'), (%1, 2, 40, 'SCI');"
                "INSERT INTO SOLMA.INDIVIDU (PERS_ID, NOM_USUEL, PRENOM) VALUES (1, 'MARTIN', 'Anne');"
                "INSERT INTO SOLMA.REPART_BUREAU (BUR_ORDRE, PERS_ID) VALUES (%1, 1);"
                "UPDATE SOLMA.SALLES SET SAL_SUPERFICIE = NULL, SAL_CAPACITE = NULL, SAL_RETRO = NULL "
                "WHERE SAL_NUMERO = %3;")
                .arg(salles.a12)
                .arg(salles.a12b)
                .arg(salles.b1));
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

    void formShowsTheSelectedRoom()
    {
        montrerSalle(*db, *creation, salles.a12);
        QCOMPARE(controle<QComboBox>(*creation, "localisationBatiment")->currentText(),
                 QStringLiteral("SCIENCES"));
        QCOMPARE(texte("localisationEtage"), QStringLiteral("1"));
        QCOMPARE(texte("localisationPorte"), QStringLiteral("A12"));
        QCOMPARE(texte("architecturePlaces"), QStringLiteral("30"));
        QCOMPARE(texte("architectureSurface"), QStringLiteral("40.50"));
        QCOMPARE(texte("architectureFenetres"), QStringLiteral("3"));
        QVERIFY(coche("reservable"));
        QCOMPARE(texte("nbTablNoir"), QStringLiteral("2"));
        QCOMPARE(texte("nbTablBlanc"), QStringLiteral("1"));
        QCOMPARE(texte("nbTablPapier"), QStringLiteral("0"));
        QCOMPARE(texte("nbPostesTP"), QStringLiteral("10"));
        QVERIFY(coche("equipementEcran"));
        QVERIFY(!coche("equipementRetro"));
        QVERIFY(!coche("equipementTV"));
        QVERIFY(coche("equipementObscurite"));
        QVERIFY(!coche("equipementInsonorise"));
        QCOMPARE(texte("nombreChaises"), QStringLiteral("30"));
        QCOMPARE(texte("nombreTables"), QStringLiteral("15"));
        QCOMPARE(texte("nombreBureaux"), QStringLiteral("1"));
        QCOMPARE(texte("nombreArmoires"), QStringLiteral("2"));
        QCOMPARE(texte("pourcEnseignement"), QStringLiteral("100.00"));
        QCOMPARE(texte("pourcRecherche"), QStringLiteral("0.00"));
        QCOMPARE(controle<QPlainTextEdit>(*creation, "descriptif")->toPlainText(),
                 QStringLiteral("Salle 50% informatique"));
        QCOMPARE(controle<QComboBox>(*creation, "typePopup")->currentText(),
                 QStringLiteral("Salle de cours"));
        // The department's own values.
        QCOMPARE(texte("hauteurMoyenPlafond"), QStringLiteral("3.20"));
        QCOMPARE(texte("nbPortes"), QStringLiteral("2"));
        QCOMPARE(texte("surfaceVitree"), QStringLiteral("4.75"));
        QCOMPARE(texte("pourcSportif"), QStringLiteral("20.00"));
        QCOMPARE(texte("pourcParking"), QStringLiteral("0.00"));

        // Its sub-lists, and only its own.
        auto &t = creation->tables();
        QCOMPARE(t.tableDepositaire.displayedObjects().size(), 1);
        QCOMPARE(t.tableDepositaire.index(0, 1).data().toString(), QStringLiteral("Dépositaires sciences"));
        QStringList prises;
        for (const eo::EORecord &prise : t.tablePrise.displayedObjects())
            prises.append(prise->valueForKey("priType").toString() +
                          prise->valueForKey("priCode").toString());
        QCOMPARE(prises, (QStringList{"T12", "T7", "V3"}));
        QCOMPARE(t.tableConf.displayedObjects().size(), 1);
        QCOMPARE(t.tableDetailSalle.displayedObjects().size(), 2);
        QCOMPARE(t.tableDetailPourcentage.displayedObjects().size(), 2);
        QCOMPARE(t.tableRepartBureau.displayedObjects().size(), 1);
        QCOMPARE(t.tablePrise.selectionIndexes(), QList<int>{0});
        // Filling changes neither the mode nor the look.
        QCOMPARE(creation->etat(), Etat::repos);
        QVERIFY(champ(*creation, "localisationPorte")->isReadOnly());
    }

    void emptyValuesOfARoom()
    {
        montrerSalle(*db, *creation, salles.b1);
        QVERIFY(!coche("reservable")); // a null bookable flag
        QVERIFY(!coche("equipementRetro"));
        QVERIFY(coche("equipementEcran"));
        QCOMPARE(texte("architectureSurface"), QStringLiteral("0.00"));
        QCOMPARE(texte("architecturePlaces"), QString());
        // No department row: its decimals show 0.00, its door count nothing.
        QCOMPARE(texte("hauteurMoyenPlafond"), QStringLiteral("0.00"));
        QCOMPARE(texte("nbPortes"), QString());
        QVERIFY(creation->tables().tablePrise.displayedObjects().isEmpty());
    }

    void anotherRoomReplacesTheLists()
    {
        montrerSalle(*db, *creation, salles.a12);
        montrerSalle(*db, *creation, salles.a12b);
        QCOMPARE(texte("localisationPorte"), QStringLiteral("A12B"));
        QCOMPARE(creation->tables().tablePrise.displayedObjects().size(), 1);
        QVERIFY(creation->tables().tableDepositaire.displayedObjects().isEmpty());
        QVERIFY(creation->tables().tableDetailSalle.displayedObjects().isEmpty());
    }

    void twoRoomsSelectedClearTheForm()
    {
        bouton(*creation, "boutonRecherche")->click();
        saisir(*creation, "localisationBatiment", "SCIENCES");
        bouton(*creation, "boutonRecherche")->click();
        QCOMPARE(texte("localisationPorte"), QStringLiteral("A12"));
        auto &salles = creation->tables().tableSalles;
        QVERIFY(salles.setSelectionIndexes({0, 2}));
        QCOMPARE(texte("localisationPorte"), QString());
        QCOMPARE(texte("architectureSurface"), QString());
        QVERIFY(!coche("equipementEcran"));
        QVERIFY(creation->tables().tablePrise.displayedObjects().isEmpty());
        QVERIFY(champ(*creation, "localisationPorte")->isReadOnly());
        // No room is shown: none can be modified or deleted.
        QVERIFY(!bouton(*creation, "boutonModifier")->isEnabled());
        QVERIFY(!bouton(*creation, "boutonSupprimer")->isEnabled());
        creation->modifier(nullptr);
        QCOMPARE(creation->etat(), Etat::salleAffichee);

        QVERIFY(salles.setSelectionIndexes({2}));
        QCOMPARE(texte("localisationPorte"), QStringLiteral("XA12"));
        QVERIFY(bouton(*creation, "boutonModifier")->isEnabled());
        QVERIFY(bouton(*creation, "boutonSupprimer")->isEnabled());
    }

    void fieldCheck_data()
    {
        QTest::addColumn<Etat>("etat");
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QString>("entree");
        QTest::addColumn<bool>("accepte");
        QTest::addColumn<QString>("affiche");

        const Etat creationMode = Etat::creation;
        const Etat recherche = Etat::saisieRecherche;
        QTest::newRow("two decimals") << creationMode << "pourcRecherche"
                                      << "12.5" << true << "12.50";
        QTest::newRow("a comma is refused") << creationMode << "pourcRecherche"
                                            << "12,5" << false << "12,5";
        QTest::newRow("surface") << creationMode << "architectureSurface"
                                 << "7" << true << "7.00";
        QTest::newRow("ceiling height") << creationMode << "hauteurMoyenPlafond"
                                        << "3.2" << true << "3.20";
        QTest::newRow("sign while searching") << recherche << "architectureFenetres"
                                              << ">3" << true << ">3";
        QTest::newRow("sign while creating") << creationMode << "architectureFenetres"
                                             << ">3" << false << ">3";
        QTest::newRow("decimal with its sign") << recherche << "architectureSurface"
                                               << ">12.5" << true << ">12.50";
        QTest::newRow("= is no sign") << recherche << "nombreTables"
                                      << "=5" << false << "=5";
        QTest::newRow("a lone sign") << recherche << "nombreTables"
                                     << "<" << false << "<";
        QTest::newRow("integer field refuses a decimal, creating") << creationMode << "nombreChaises"
                                                                   << "2.5" << false << "2.5";
        QTest::newRow("integer field refuses a decimal, searching") << recherche << "nombreChaises"
                                                                    << "2.5" << false << "2.5";
        QTest::newRow("workstations are counted") << recherche << "nbPostesTP"
                                                  << "1.5" << false << "1.5";
        QTest::newRow("an integer") << creationMode << "nombreChaises"
                                    << "12" << true << "12";
        QTest::newRow("letters") << creationMode << "nbPortes"
                                 << "2a" << false << "2a";
        QTest::newRow("an empty field stays empty") << recherche << "pourcSportif"
                                                    << "" << true << "";
    }

    void fieldCheck()
    {
        QFETCH(Etat, etat);
        QFETCH(QString, nom);
        QFETCH(QString, entree);
        QFETCH(bool, accepte);
        QFETCH(QString, affiche);
        bouton(*creation, etat == Etat::creation ? "boutonCreer" : "boutonRecherche")->click();
        QCOMPARE(creation->etat(), etat);
        QLineEdit *ligne = champ(*creation, nom);
        ligne->setText(entree);
        QCOMPARE(creation->controlIsValidObject(ligne), accepte);
        QCOMPARE(ligne->text(), affiche);
    }

    void modificationRefusesSigns()
    {
        bouton(*creation, "boutonRecherche")->click();
        bouton(*creation, "boutonRecherche")->click();
        creation->modifier(nullptr);
        QCOMPARE(creation->etat(), Etat::modification);
        QLineEdit *ligne = champ(*creation, "nombreChaises");
        ligne->setText("<3");
        QVERIFY(!creation->controlIsValidObject(ligne));
    }

    void refusedFieldCannotBeLeft()
    {
        const auto principale = fenetre();
        bouton(*creation, "boutonCreer")->click();
        QLineEdit *pourcentage = champ(*creation, "pourcRecherche");
        pourcentage->setFocus();
        QTRY_VERIFY(pourcentage->hasFocus());
        pourcentage->setText("12,5");
        QTest::keyClick(pourcentage, Qt::Key_Tab);
        QVERIFY(pourcentage->hasFocus());
        QCOMPARE(pourcentage->selectedText(), QStringLiteral("12,5"));

        // A click elsewhere does not take the focus away either.
        cliquer(champ(*creation, "nombreChaises"));
        QVERIFY(pourcentage->hasFocus());
        QVERIFY(creation->champSignale(pourcentage));

        pourcentage->setText("12.5");
        QTest::keyClick(pourcentage, Qt::Key_Tab);
        QCOMPARE(pourcentage->text(), QStringLiteral("12.50"));
        QVERIFY(!pourcentage->hasFocus());
        QVERIFY(db->takeAlerts().isEmpty());
    }

    void tabOrderFollowsTheForm()
    {
        const auto principale = fenetre();
        bouton(*creation, "boutonCreer")->click();
        QLineEdit *etage = champ(*creation, "localisationEtage");
        QTRY_VERIFY(etage->hasFocus());
        QStringList parcours{etage->objectName()};
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            parcours.append(QApplication::focusWidget()->objectName());
        }
        QCOMPARE(parcours,
                 (QStringList{"localisationEtage", "localisationPorte", "typePopup", "architecturePlaces",
                              "architectureSurface", "architectureFenetres", "hauteurMoyenPlafond"}));
    }

    void enterRunsTheSearch()
    {
        const auto principale = fenetre();
        bouton(*creation, "boutonRecherche")->click();
        QLineEdit *porte = champ(*creation, "localisationPorte");
        porte->setFocus();
        QTRY_VERIFY(porte->hasFocus());
        QTest::keyClicks(porte, "a12");
        QTest::keyClick(porte, Qt::Key_Return);
        QCOMPARE(creation->etat(), Etat::salleAffichee);
        QCOMPARE(portes(creation->tables().tableSalles.displayedObjects()),
                 (QStringList{"A12", "A12B", "XA12"}));

        // Not in creation: Enter only leaves the entry as it is.
        creation->listeSalles()->close();
        bouton(*creation, "boutonCreer")->click();
        porte->setFocus();
        QTRY_VERIFY(porte->hasFocus());
        QTest::keyClick(porte, Qt::Key_Enter);
        QCOMPARE(creation->etat(), Etat::creation);

        // A refused criterion is not left by Enter either.
        bouton(*creation, "boutonAnnuler")->click();
        bouton(*creation, "boutonRecherche")->click();
        QLineEdit *places = champ(*creation, "architecturePlaces");
        places->setFocus();
        QTRY_VERIFY(places->hasFocus());
        QTest::keyClicks(places, "2x");
        QTest::keyClick(places, Qt::Key_Return);
        QCOMPARE(creation->etat(), Etat::saisieRecherche);
        QVERIFY(bouton(*creation, "boutonRecherche")->isChecked());
    }

    void arrowKeysMoveThroughTheRooms()
    {
        const auto principale = fenetre();
        bouton(*creation, "boutonRecherche")->click();
        saisir(*creation, "localisationPorte", "A12");
        bouton(*creation, "boutonRecherche")->click();
        QWidget *liste = creation->listeSalles();
        QVERIFY(liste->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(liste));
        auto *vue = controle<QTableView>(*creation, "vueSalles");
        QTRY_VERIFY(vue->hasFocus());
        QCOMPARE(controle<QLabel>(*creation, "nombreSalles")->text(), QStringLiteral("3 salles"));

        QTest::keyClick(vue, Qt::Key_Down);
        QCOMPARE(texte("localisationPorte"), QStringLiteral("A12B"));
        QCOMPARE(creation->tables().tablePrise.displayedObjects().size(), 1);
        QTest::keyClick(vue, Qt::Key_Down);
        QCOMPARE(texte("localisationPorte"), QStringLiteral("XA12"));
        QCOMPARE(controle<QComboBox>(*creation, "localisationBatiment")->currentText(),
                 QStringLiteral("SCIENCES BIS"));
        QTest::keyClick(vue, Qt::Key_Up);
        QTest::keyClick(vue, Qt::Key_Up);
        QCOMPARE(texte("localisationPorte"), QStringLiteral("A12"));
        QCOMPARE(creation->tables().tablePrise.displayedObjects().size(), 3);
        // Extending the selection shows no room.
        QTest::keyClick(vue, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(creation->tables().tableSalles.selectionIndexes().size(), 2);
        QCOMPARE(texte("localisationPorte"), QString());
    }

    void looksOfTheModes()
    {
        const auto principale = fenetre();
        principale->resize(1150, 860);
        bouton(*creation, "boutonRecherche")->click();
        saisir(*creation, "localisationPorte", "A12");
        bouton(*creation, "boutonRecherche")->click();
        QCOMPARE(creation->etat(), Etat::salleAffichee);
        QLineEdit *etage = champ(*creation, "localisationEtage");
        auto fond = [&](QWidget *vue, QLineEdit *ligne) {
            const QImage image = vue->grab().toImage();
            const QPoint coin = ligne->mapTo(vue, QPoint(ligne->width() - 4, ligne->height() / 2));
            return image.pixelColor(coin * image.devicePixelRatio());
        };
        // Read-only: white bold text on dark grey.
        QCOMPARE(fond(creation->afficheVue(), etage), framework::KORFormHelpers::readOnlyBackground());
        QVERIFY(etage->font().bold());

        const QString dossier = qEnvironmentVariable("LOCAVIA_SCREENSHOTS");
        if (!dossier.isEmpty()) {
            QDir().mkpath(dossier);
            principale->grab().save(dossier + QStringLiteral("/onglet-salles.png"));
            creation->listeSalles()->grab().save(dossier + QStringLiteral("/liste-salles.png"));
        }

        creation->modifier(nullptr);
        QCOMPARE(fond(creation->afficheVue(), etage), QColor(Qt::white));
        QVERIFY(!etage->font().bold());
        QCOMPARE(etage->text(), QStringLiteral("1"));
    }
};

QTEST_MAIN(TestRoomForm)
#include "tst_RoomForm.moc"
