// The room tab as a user works with it, through the real widgets: a refused number keeps the focus and says
// why without trapping the user (cancel works, no search or save runs, keys land in the field seen focused),
// the comma key, the criteria of the last search restored, Tab over what can be typed in, a new room that
// starts clean, and the question before quitting with unsaved changes.

#include "QuestionPanel.h"
#include "RoomRefusedFieldCue.h"
#include "RoomsFixture.h"
#include "TestFont.h"

#include <QApplication>
#include <QHeaderView>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolTip>
#include <QVBoxLayout>

using namespace roomstest;
using rooms::Creation;
using rooms::Etat;
using Criteres = QList<QPair<QString, QVariant>>;

class TestRoomEntry : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<Creation> creation;
    std::unique_ptr<QWidget> principale;
    Salles salles;
    QStringList questions;
    int reponse = 0;

    QLineEdit *ligne(const char *nom) { return champ(*creation, QString::fromLatin1(nom)); }

    // The tab's views in one active window, as the shell shows them.
    void montrer()
    {
        principale = std::make_unique<QWidget>();
        auto *rangee = new QVBoxLayout(principale.get());
        rangee->addWidget(creation->afficheBoutons());
        rangee->addWidget(creation->afficheVue());
        principale->show();
        principale->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(principale.get()));
    }

    void entrer(Etat etat)
    {
        cliquer(bouton(*creation, etat == Etat::creation ? "boutonCreer" : "boutonRecherche"));
        QCOMPARE(creation->etat(), etat);
    }

    // Types into a field the user has clicked.
    void taper(QLineEdit *champ, const QString &texte)
    {
        cliquer(champ);
        QTRY_VERIFY(champ->hasFocus());
        QTest::keyClicks(champ, texte);
    }

    void verifierSignale(QLineEdit *champ)
    {
        QVERIFY(champ->hasFocus());
        QVERIFY(creation->champSignale(champ));
        QCOMPARE(champ->toolTip(), rooms::RoomRefusedFieldCue::message());
        // A red frame at the field's left edge.
        const QImage image = champ->grab().toImage();
        const QColor bord = image.pixelColor(QPoint(1, champ->height() / 2) * image.devicePixelRatio());
        QVERIFY2(bord.red() > 150 && bord.green() < 90 && bord.blue() < 90, qPrintable(bord.name()));
    }

    int nombreDeSalles() { return db->scalar(QStringLiteral("SELECT count(*) FROM SOLMA.SALLES")).toInt(); }

private slots:
    void initTestCase()
    {
        PIN_TEST_FONT();
        db = std::make_unique<TestDatabase>();
        QVERIFY(db->isValid());
        salles = peupler(*db);
        db->exec(QStringLiteral("INSERT INTO PRISES (SAL_NUMERO, PRI_CODE, PRI_TYPE) VALUES (%1, '3', 'V'), "
                                "(%1, '12', 'T');"
                                "INSERT INTO SOLMA.DEPOSITAIRE (SAL_NUMERO, C_STRUCTURE) VALUES (%1, 'G1');")
                     .arg(salles.a12));
        QVERIFY(db->takeAlerts().isEmpty());
        platform::setQuestionPresenter(
            [this](const QString &, const QString &message, const QString &defaut, const QString &autre) {
                questions << message + QStringLiteral(" (") + defaut + QStringLiteral(" / ") + autre +
                                 QStringLiteral(")");
                return reponse;
            });
    }

    void cleanupTestCase() { platform::setQuestionPresenter({}); }

    void init()
    {
        creation = std::make_unique<Creation>(db->dataBus());
        creation->initObjet();
        montrer();
        questions.clear();
    }

    void cleanup()
    {
        principale.reset(); // the tab's views go with the window that shows them
        creation.reset();
        db->takeAlerts();
        PIN_TEST_FONT(); // back from the family a row of the fitting test chose
    }

    void refusedNumberKeepsTheFocus_data()
    {
        QTest::addColumn<Etat>("etat");
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QString>("entree");
        QTest::addColumn<QString>("geste");

        for (const char *geste : {"Tab", "clic ailleurs", "Rechercher", "Annuler"}) {
            QTest::addRow("letters, search, %s", geste) << Etat::saisieRecherche << "architecturePlaces"
                                                        << "abc" << geste;
            QTest::addRow("= as a sign, search, %s", geste) << Etat::saisieRecherche << "nombreChaises"
                                                            << "=5" << geste;
        }
        for (const char *geste : {"Tab", "clic ailleurs", "Créer", "Annuler"})
            QTest::addRow("decimal count, creation, %s", geste) << Etat::creation << "nombreChaises"
                                                                << "2.5" << geste;
    }

    void refusedNumberKeepsTheFocus()
    {
        QFETCH(Etat, etat);
        QFETCH(QString, nom);
        QFETCH(QString, entree);
        QFETCH(QString, geste);
        const int avant = nombreDeSalles();
        entrer(etat);
        QLineEdit *refuse = ligne(qPrintable(nom));
        QLineEdit *porte = ligne("localisationPorte");
        taper(refuse, entree);

        if (geste == u"Annuler") {
            // Cancelling works whatever the field holds, and leaves nothing of it.
            cliquer(bouton(*creation, "boutonAnnuler"));
            QCOMPARE(creation->etat(), Etat::repos);
            QVERIFY(refuse->text().isEmpty());
            QVERIFY(!creation->champSignale(refuse));
        } else if (geste == u"Tab") {
            QTest::keyClick(refuse, Qt::Key_Tab);
            verifierSignale(refuse);
        } else if (geste == u"clic ailleurs") {
            // The click does not move the focus: the key typed next lands in the field the user sees focused.
            cliquer(porte);
            verifierSignale(refuse);
            // Told at once, and still told once the button is released.
            QTRY_VERIFY(QToolTip::isVisible());
            QCOMPARE(QToolTip::text(), rooms::RoomRefusedFieldCue::message());
            QTest::keyClicks(QApplication::focusWidget(), "7");
            QVERIFY(porte->text().isEmpty());
            QCOMPARE(refuse->text(), QStringLiteral("7"));
            QVERIFY(!creation->champSignale(refuse)); // corrected, the cue goes
        } else {
            // Neither the search nor the save runs while a field is refused.
            cliquer(bouton(*creation, geste == u"Créer" ? "boutonCreer" : "boutonRecherche"));
            verifierSignale(refuse);
            QCOMPARE(creation->etat(), etat);
            QCOMPARE(refuse->text(), entree);
            QVERIFY(creation->tables().tableSalles.displayedObjects().isEmpty());
            QVERIFY(!creation->listeSalles()->isVisible());
            QVERIFY(bouton(*creation, geste == u"Créer" ? "boutonCreer" : "boutonRecherche")->isChecked());
        }
        QVERIFY(db->takeAlerts().isEmpty());
        QCOMPARE(nombreDeSalles(), avant);
    }

    void searchNeverRunsWithARefusedCriterion_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QString>("entree");
        QTest::addColumn<bool>("parEntree");
        QTest::newRow("letters, button") << "architecturePlaces"
                                         << "abc" << false;
        QTest::newRow("lone sign, Enter in another field") << "nombreTables"
                                                           << ">" << true;
        QTest::newRow("comma pasted, button") << "pourcRecherche"
                                              << "12,5" << false;
    }

    void searchNeverRunsWithARefusedCriterion()
    {
        // An entry put in the field without leaving it through the check (pasted, then a click on the
        // button bar, which is outside the fields' rule).
        QFETCH(QString, nom);
        QFETCH(QString, entree);
        QFETCH(bool, parEntree);
        entrer(Etat::saisieRecherche);
        saisir(*creation, nom, entree);
        saisir(*creation, "localisationPorte", "A12");
        QLineEdit *porte = ligne("localisationPorte");
        porte->setFocus();
        QTRY_VERIFY(porte->hasFocus());
        if (parEntree)
            QTest::keyClick(porte, Qt::Key_Return);
        else
            bouton(*creation, "boutonRecherche")->click();
        verifierSignale(ligne(qPrintable(nom)));
        QCOMPARE(creation->etat(), Etat::saisieRecherche);
        QVERIFY(creation->tables().tableSalles.displayedObjects().isEmpty());
        QCOMPARE(porte->text(), QStringLiteral("A12"));
        QVERIFY(db->takeAlerts().isEmpty());
    }

    void commaTypesThePoint_data()
    {
        QTest::addColumn<Etat>("etat");
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QString>("frappe");
        QTest::addColumn<QString>("tape");
        QTest::addColumn<QString>("quitte");
        QTest::newRow("percentage") << Etat::creation << "pourcRecherche"
                                    << "20,5"
                                    << "20.5"
                                    << "20.50";
        QTest::newRow("surface with a sign") << Etat::saisieRecherche << "architectureSurface"
                                             << ">12,5"
                                             << ">12.5"
                                             << ">12.50";
        QTest::newRow("a door keeps its comma") << Etat::creation << "localisationPorte"
                                                << "A,1"
                                                << "A,1"
                                                << "A,1";
    }

    void commaTypesThePoint()
    {
        QFETCH(Etat, etat);
        QFETCH(QString, nom);
        QFETCH(QString, frappe);
        QFETCH(QString, tape);
        QFETCH(QString, quitte);
        entrer(etat);
        QLineEdit *champ = ligne(qPrintable(nom));
        taper(champ, frappe);
        QCOMPARE(champ->text(), tape);
        QTest::keyClick(champ, Qt::Key_Tab);
        QVERIFY(!champ->hasFocus());
        QCOMPARE(champ->text(), quitte);
    }

    void lastCriteriaComeBack()
    {
        QPushButton *reprendre = bouton(*creation, "boutonReprendre");
        QVERIFY(!reprendre->isEnabled()); // no search yet
        const Criteres rien{{"localisationBatiment", QStringLiteral("SCIENCES")},
                            {"localisationEtage", QStringLiteral("7")},
                            {"equipementEcran", true},
                            {"typePopup", QStringLiteral("Bureau")},
                            {"descriptif", QStringLiteral("vue")}};
        entrer(Etat::saisieRecherche);
        for (const auto &[nom, valeur] : rien)
            saisir(*creation, nom, valeur);
        cliquer(bouton(*creation, "boutonRecherche"));
        QCOMPARE(db->takeAlerts().size(), 1); // nothing found: the form is cleaned
        QCOMPARE(creation->etat(), Etat::repos);
        QVERIFY(ligne("localisationEtage")->text().isEmpty());

        // From the idle form the button enters search entry with the criteria typed again.
        QVERIFY(reprendre->isEnabled());
        cliquer(reprendre);
        QCOMPARE(creation->etat(), Etat::saisieRecherche);
        QVERIFY(bouton(*creation, "boutonRecherche")->isChecked());
        QCOMPARE(controle<QComboBox>(*creation, "localisationBatiment")->currentText(),
                 QStringLiteral("SCIENCES"));
        QCOMPARE(ligne("localisationEtage")->text(), QStringLiteral("7"));
        QVERIFY(controle<QCheckBox>(*creation, "equipementEcran")->isChecked());
        QCOMPARE(controle<QComboBox>(*creation, "typePopup")->currentText(), QStringLiteral("Bureau"));
        QCOMPARE(controle<QPlainTextEdit>(*creation, "descriptif")->toPlainText(), QStringLiteral("vue"));

        // After a search that found rooms, Ctrl+R in search entry.
        saisir(*creation, "localisationBatiment", "");
        saisir(*creation, "localisationEtage", "");
        saisir(*creation, "equipementEcran", false);
        saisir(*creation, "typePopup", "");
        saisir(*creation, "descriptif", "");
        saisir(*creation, "localisationPorte", "a12");
        cliquer(bouton(*creation, "boutonRecherche"));
        QCOMPARE(portes(creation->tables().tableSalles.displayedObjects()),
                 (QStringList{"A12", "A12B", "XA12"}));
        principale->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(principale.get()));
        entrer(Etat::saisieRecherche);
        QVERIFY(ligne("localisationPorte")->text().isEmpty());
        QTest::keyClick(principale.get(), Qt::Key_R, Qt::ControlModifier);
        QTRY_COMPARE(ligne("localisationPorte")->text(),
                     QStringLiteral("a12")); // the button's animated click
        QVERIFY(ligne("localisationEtage")->text().isEmpty());

        // Nothing to take back into a room being created or modified.
        cliquer(bouton(*creation, "boutonAnnuler"));
        cliquer(bouton(*creation, "boutonCreer"));
        QCOMPARE(creation->etat(), Etat::creation);
        QVERIFY(!reprendre->isEnabled());
    }

    void formFitsASmallLaptopScreen_data()
    {
        QTest::addColumn<QString>("famille");
        QTest::addColumn<int>("points");
        for (const QString &famille : TestFont::desktopFamilies())
            QTest::newRow(qPrintable(famille)) << famille << TestFont::points;
        QTest::newRow("Noto Sans 10 pt, as Plasma has it") << QStringLiteral("Noto Sans") << 10;
    }

    void formFitsASmallLaptopScreen()
    {
        // A 1366×768 screen leaves about 700 pixels under a desktop's panel and a window's title bar, and the
        // main window's menus and tabs take about 50 of them: the bar and the whole form, the four sub-lists
        // included, fit in the rest without scrolling, whichever common font the desktop has.
        QFETCH(QString, famille);
        QFETCH(int, points);
        PIN_TEST_FONT(famille, points);
        principale.reset();
        creation = std::make_unique<Creation>(db->dataBus());
        creation->initObjet();
        montrer();
        const QSize formulaire = creation->afficheVue()->minimumSizeHint();
        const int hauteur = creation->afficheBoutons()->sizeHint().height() + formulaire.height();
        QVERIFY2(formulaire.width() <= 1366 && hauteur <= 650,
                 qPrintable(QStringLiteral("%1×%2").arg(formulaire.width()).arg(hauteur)));
        // At the screen's width and at the narrowest the window goes, each sub-list shows its titles uncut
        // and two lines.
        const QSize plusPetite = principale->minimumSizeHint();
        QVERIFY(QTest::qWaitForWindowExposed(principale.get()));
        for (const int largeur : {1366, plusPetite.width()}) {
            principale->resize(largeur, plusPetite.height());
            QApplication::processEvents();
            QCOMPARE(principale->width(), largeur);
            for (const char *nom : {"vueDepositaire", "vuePrise", "vueDetailSalle", "vueDetailPourcentage"}) {
                const auto *vue = controle<QTableView>(*creation, QString::fromLatin1(nom));
                const QHeaderView *entete = vue->horizontalHeader();
                const QString ou = QStringLiteral("%1 à %2 pixels").arg(QLatin1String(nom)).arg(largeur);
                QVERIFY2(vue->isVisible() && entete->isVisible(), qPrintable(ou));
                QVERIFY2(vue->viewport()->height() >= 2 * vue->verticalHeader()->defaultSectionSize(),
                         qPrintable(ou));
                for (int colonne = 0; colonne < entete->count(); ++colonne)
                    QVERIFY2(entete->sectionSize(colonne) >= entete->sectionSizeHint(colonne),
                             qPrintable(QStringLiteral("%1, colonne %2").arg(ou).arg(colonne)));
            }
        }
    }

    void tabSkipsWhatCannotBeTyped()
    {
        entrer(Etat::saisieRecherche);
        QLineEdit *fenetres = ligne("architectureFenetres");
        taper(fenetres, "2");
        // Ceiling height, doors and glazed surface are read-only while criteria are typed.
        QTest::keyClick(fenetres, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("reservable"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), fenetres);
        for (const char *nom : {"hauteurMoyenPlafond", "nbPortes", "surfaceVitree"})
            QCOMPARE(ligne(nom)->focusPolicy(), Qt::ClickFocus);
        cliquer(bouton(*creation, "boutonAnnuler"));
        cliquer(bouton(*creation, "boutonCreer"));
        QCOMPARE(ligne("surfaceVitree")->focusPolicy(), Qt::StrongFocus);
    }

    void floorComesIntoView()
    {
        // A small window whose form scrolls, scrolled to its sub-lists.
        principale->hide();
        QWidget fenetre;
        auto *rangee = new QVBoxLayout(&fenetre);
        auto *defilement = new QScrollArea;
        defilement->setWidgetResizable(true);
        defilement->setWidget(creation->afficheVue());
        rangee->addWidget(creation->afficheBoutons());
        rangee->addWidget(defilement);
        fenetre.resize(700, 320);
        fenetre.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fenetre));
        defilement->verticalScrollBar()->setValue(defilement->verticalScrollBar()->maximum());
        QLineEdit *etage = ligne("localisationEtage");
        const auto visible = [&] {
            const QRect dansLaVue(etage->mapTo(defilement->viewport(), QPoint(0, 0)), etage->size());
            return defilement->viewport()->rect().contains(dansLaVue);
        };
        QVERIFY(!visible());
        bouton(*creation, "boutonRecherche")->click();
        QVERIFY(visible());
        // The views go back to the test's window, which deletes them.
        principale->layout()->addWidget(creation->afficheBoutons());
        principale->layout()->addWidget(creation->afficheVue());
    }

    void newRoomStartsClean()
    {
        montrerSalle(*db, *creation, salles.a12);
        QCOMPARE(controle<QComboBox>(*creation, "typePopup")->currentText(),
                 QStringLiteral("Salle de cours"));
        // Every control of the form (the panels and the result list are windows of their own).
        const auto toutEstVide = [this](const char *moment) {
            for (const QWidget *w : creation->afficheVue()->findChildren<QWidget *>()) {
                if (w->window() != principale.get())
                    continue;
                const QString ou = QStringLiteral("%1: %2").arg(QLatin1String(moment), w->objectName());
                if (const auto *l = qobject_cast<const QLineEdit *>(w))
                    QVERIFY2(l->text().isEmpty(), qPrintable(ou));
                else if (const auto *c = qobject_cast<const QComboBox *>(w))
                    QVERIFY2(c->currentIndex() == 0, qPrintable(ou));
                else if (const auto *b = qobject_cast<const QCheckBox *>(w))
                    QVERIFY2(!b->isChecked(), qPrintable(ou));
            }
            QVERIFY(controle<QPlainTextEdit>(*creation, "descriptif")->toPlainText().isEmpty());
            auto &t = creation->tables();
            for (const eo::EODisplayGroup *liste :
                 {&t.tableDepositaire, &t.tablePrise, &t.tableDetailSalle, &t.tableDetailPourcentage})
                QVERIFY(liste->displayedObjects().isEmpty());
        };
        cliquer(bouton(*creation, "boutonCreer"));
        toutEstVide("créer");

        saisir(*creation, "typePopup", "Bureau");
        saisir(*creation, "localisationBatiment", "Droit");
        saisir(*creation, "equipementTV", true);
        taper(ligne("pourcRecherche"), "abc");
        cliquer(bouton(*creation, "boutonAnnuler"));
        toutEstVide("annuler");
        QVERIFY(!creation->champSignale(ligne("pourcRecherche")));
    }

    void quitAsksOnlyWhenSomethingChanged_data()
    {
        QTest::addColumn<Etat>("etat");
        QTest::addColumn<QString>("changement");
        QTest::addColumn<int>("reponse");
        QTest::addColumn<bool>("question");
        QTest::addColumn<bool>("quitte");

        QTest::newRow("room shown") << Etat::salleAffichee << "" << 0 << false << true;
        QTest::newRow("creation, nothing typed") << Etat::creation << "" << 0 << false << true;
        QTest::newRow("creation, floor typed, Annuler") << Etat::creation << "etage" << 0 << true << false;
        QTest::newRow("creation, floor typed, Quitter") << Etat::creation << "etage" << 1 << true << true;
        QTest::newRow("creation, typed then put back") << Etat::creation << "retour" << 0 << false << true;
        QTest::newRow("modification, nothing changed") << Etat::modification << "" << 0 << false << true;
        QTest::newRow("modification, box checked") << Etat::modification << "case" << 0 << true << false;
        QTest::newRow("modification, outlet removed") << Etat::modification << "prise" << 0 << true << false;
    }

    void quitAsksOnlyWhenSomethingChanged()
    {
        QFETCH(Etat, etat);
        QFETCH(QString, changement);
        QFETCH(int, reponse);
        QFETCH(bool, question);
        QFETCH(bool, quitte);
        this->reponse = reponse;
        entrer(Etat::saisieRecherche);
        saisir(*creation, "localisationPorte", "A12");
        cliquer(bouton(*creation, "boutonRecherche"));
        QCOMPARE(creation->etat(), Etat::salleAffichee);
        principale->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(principale.get()));
        if (etat == Etat::creation)
            cliquer(bouton(*creation, "boutonCreer"));
        else if (etat == Etat::modification)
            cliquer(bouton(*creation, "boutonModifier"));
        QCOMPARE(creation->etat(), etat);
        if (changement == u"etage" || changement == u"retour")
            taper(ligne("localisationEtage"), "3");
        if (changement == u"retour")
            QTest::keyClick(ligne("localisationEtage"), Qt::Key_Backspace);
        if (changement == u"case")
            cliquer(controle<QCheckBox>(*creation, "equipementTV"));
        if (changement == u"prise") {
            QVERIFY(creation->tables().tablePrise.setSelectionIndexes({0}));
            cliquer(bouton(*creation, "boutonSupprPrises"));
        }
        QCOMPARE(creation->applicationShouldTerminate(), quitte);
        QCOMPARE(questions.size(), question ? 1 : 0);
        if (question)
            QCOMPARE(questions.first(),
                     QStringLiteral("Quitter sans enregistrer les modifications ? (Quitter / Annuler)"));
    }
};

QTEST_MAIN(TestRoomEntry)
#include "tst_RoomEntry.moc"
