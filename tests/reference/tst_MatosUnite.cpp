// The equipment families, types and units, through their panels as the user drives them (each panel run
// modally by the application class), against a throwaway database; the whole class runs once per backend.

#include "BackendTestCase.h"
#include "BugFixApplication.h"
#include "MatosUnite.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

using reference::MatosUnite;
using widgets::BugFixApplication;

namespace
{

// Runs `dedans` once `ouvrir` holds `panel` open in its modal run, then closes the panel when `dedans` left
// it open, so that a failed check never hangs the test. Answers whether the panel was opened.
bool pendant(QWidget *panel, const std::function<void()> &ouvrir, const std::function<void()> &dedans)
{
    bool ouvert = false;
    QTimer minuteur;
    minuteur.setSingleShot(true);
    QObject::connect(&minuteur, &QTimer::timeout, [&] {
        if (BugFixApplication::instance()->theModalWindow() != panel || !panel->isVisible())
            return;
        ouvert = true;
        dedans();
        panel->hide();
    });
    minuteur.start(0);
    ouvrir();
    return ouvert;
}

QStringList colonne(const eo::EODisplayGroup &groupe, const char *cle = "tavLibelle")
{
    QStringList liste;
    for (const eo::EORecord &ligne : groupe.displayedObjects())
        liste.append(ligne->valueForKey(QLatin1String(cle)).toString());
    return liste;
}

} // namespace

class TestMatosUnite : public BackendTestCase
{
    Q_OBJECT

private:
    std::unique_ptr<MatosUnite> matos;

    void prepare() override { matos = std::make_unique<MatosUnite>(db->dataBus()); }

    template <class Widget = QWidget> Widget *w(const char *nom)
    {
        auto *trouve = matos->panneaux()->findChild<Widget *>(QLatin1String(nom));
        if (!trouve)
            qFatal("no control %s", nom);
        return trouve;
    }
    QPushButton *bouton(const char *nom) { return w<QPushButton>(nom); }
    QLineEdit *champ(const char *nom) { return w<QLineEdit>(nom); }
    QVariant sql(const QString &requete, const QVariantList &valeurs = {})
    {
        return db->scalar(requete, valeurs);
    }

    // Rows written as another program would, in this order (the unit pop-up keeps the fetch order).
    void unites(const QStringList &abreviations)
    {
        for (const QString &abreviation : abreviations)
            db->exec(QStringLiteral("INSERT INTO UNITE (UNI_ABREV, UNI_LIBELLE) VALUES ('%1', 'unité')")
                         .arg(abreviation));
    }
    // A family (no father) or a type of the father counted in the unit; answers its number.
    qint64 materiel(const QString &libelle, qint64 pere = -1, const QString &unite = {})
    {
        db->exec(
            QStringLiteral("INSERT INTO TYPE_MATERIEL (TAV_LIBELLE, TAV_NIVEAU, TAV_PERE, TAV_UNITE_ORDRE) "
                           "VALUES ('%1', %2, %3, COALESCE((SELECT UNI_ORDRE FROM UNITE WHERE UNI_ABREV = "
                           "'%4'), -1))")
                .arg(libelle, pere < 0 ? QStringLiteral("1") : QStringLiteral("2"))
                .arg(pere)
                .arg(unite));
        return sql(QStringLiteral("SELECT TAV_TYPE FROM TYPE_MATERIEL WHERE TAV_LIBELLE = ?"), {libelle})
            .toLongLong();
    }
    // A room whose equipment lists the type, so that the database keeps the type and its unit.
    void utilise(qint64 type)
    {
        QCOMPARE(db->addBuilding(QStringLiteral("SCI"), QStringLiteral("SCIENCES")), QStringLiteral("SCI"));
        const qint64 salle = db->addRoom(QStringLiteral("SCI"), QStringLiteral("1"), QStringLiteral("A12"));
        db->exec(
            QStringLiteral("INSERT INTO DETAIL_SALLE (SAL_NUMERO, TAV_TYPE, DSA_POURCENTAGE, UNI_ORDRE) "
                           "SELECT %1, TAV_TYPE, 1, TAV_UNITE_ORDRE FROM TYPE_MATERIEL WHERE TAV_TYPE = %2")
                .arg(salle)
                .arg(type));
    }

    // Runs `dedans` in the equipment panel (or the unit panel), then leaves it with its close button.
    bool dansLePanneau(bool unites, const std::function<void()> &dedans)
    {
        QPushButton *fermer = bouton(unites ? "boutonFermerGestionUnite" : "boutonFermerGestionMatos");
        QWidget *panneau = fermer->window();
        const bool ouvert = pendant(
            panneau,
            [&] {
                if (unites)
                    matos->afficherGestionUnite(nullptr);
                else
                    matos->afficherGestionMatos(nullptr);
            },
            [&] {
                dedans();
                fermer->click();
                QVERIFY(!panneau->isVisible());
            });
        return ouvert && !BugFixApplication::instance()->isRunningModal();
    }
    // Opens the entry panel with the button, types the label (and the unit), and validates.
    bool saisir(const char *avec, const QString &texte, const QString &second = {})
    {
        QPushButton *ouvrir = bouton(avec);
        const bool unite = ouvrir == bouton("ajoutUnite");
        return pendant(
            w(unite ? "panelUnite" : "panelFamille"), [ouvrir] { ouvrir->click(); },
            [&] {
                champ(unite ? "uniteAbrev" : "familleText")->setText(texte);
                if (unite)
                    champ("uniteLibelle")->setText(second);
                else if (!second.isEmpty())
                    w<QComboBox>("familleUnites")->setCurrentText(second);
                bouton(unite ? "boutonValiderUnite" : "boutonValiderFamille")->click();
            });
    }

private slots:
    void textesAuxLargeursDesColonnes_data()
    {
        QTest::addColumn<bool>("unite");
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("stocke");

        const QString soixante =
            QStringLiteral("Vidéoprojecteur à focale courte, fixé au plafond, télécommandé");
        QTest::newRow("family of 60") << false << soixante << "" << soixante.left(50);
        QTest::newRow("unit of 6, label of 50")
            << true << "mètres" << soixante.left(50) << QStringLiteral("mètre|") + soixante.left(50);
    }
    void textesAuxLargeursDesColonnes()
    {
        QFETCH(bool, unite);
        QFETCH(QString, texte);
        QFETCH(QString, second);
        QFETCH(QString, stocke);

        QVERIFY(dansLePanneau(
            unite, [&] { QVERIFY(saisir(unite ? "ajoutUnite" : "ajoutFamille", texte, second)); }));
        QCOMPARE(sql(unite ? QStringLiteral("SELECT UNI_ABREV || '|' || UNI_LIBELLE FROM UNITE")
                           : QStringLiteral("SELECT TAV_LIBELLE FROM TYPE_MATERIEL"))
                     .toString(),
                 stocke);
        QCOMPARE(unite ? colonne(matos->tableGestionUnite(), "uniAbrev") : colonne(matos->tableFamille()),
                 QStringList{stocke.section(u'|', 0, 0)});
        QVERIFY(db->alerts().isEmpty());
    }

    void lePopUpDesUnites()
    {
        // Without a unit, a type cannot be entered: the alert, and no panel.
        QVERIFY(!pendant(
            w("panelFamille"), [this] { matos->ajouterFamille(bouton("ajoutTypeMateriel")); }, [] {}));
        QCOMPARE(
            db->takeAlerts().value(0).message,
            QStringLiteral(
                "Afin de pouvoir saisir un type de materiel, il faut avoir au moins une unite de mesure !"));

        // The units in the order of the fetch, the first chosen, no blank; a family has no unit.
        unites({QStringLiteral("u"), QStringLiteral("kg"), QStringLiteral("m")});
        for (const char *avec : {"ajoutTypeMateriel", "ajoutFamille"}) {
            QStringList vu;
            QVERIFY(pendant(
                w("panelFamille"), [&] { matos->ajouterFamille(bouton(avec)); },
                [&] {
                    auto *unites = w<QComboBox>("familleUnites");
                    vu << w("panelFamille")->windowTitle() << QString::number(unites->currentIndex());
                    for (int i = 0; i < unites->count(); ++i)
                        vu << unites->itemText(i);
                    vu << QString::number(unites->isVisible() + unites->isEnabled() +
                                          w("familleUnitesTitre")->isVisible());
                }));
            if (avec == QLatin1String("ajoutFamille"))
                QCOMPARE(vu.first() + vu.last(), QStringLiteral("Ajout d'une famille de materiel0"));
            else
                QCOMPARE(vu, (QStringList{"Ajout d'un type de materiel", "0", "u", "kg", "m", "3"}));
        }
        QVERIFY(db->alerts().isEmpty());
    }

    void argumentsDUnTypeEtDUneFamille()
    {
        unites({QStringLiteral("m"), QStringLiteral("u")});
        const qint64 reseau = materiel(QStringLiteral("Réseau"));
        QVERIFY(dansLePanneau(false, [&] {
            // The new family is listed at once, in order, and the list's first row selected.
            QVERIFY(saisir("ajoutFamille", QStringLiteral("audiovisuel")));
            QCOMPARE(colonne(matos->tableFamille()), (QStringList{"audiovisuel", "Réseau"}));
            QCOMPARE(matos->tableFamille().selectionIndexes(), QList<int>{0});
            matos->tableFamille().setSelectionIndexes({1});
            QVERIFY(saisir("ajoutTypeMateriel", QStringLiteral("Prise RJ45"), QStringLiteral("u")));
            QCOMPARE(colonne(matos->tableTypeMateriel()), QStringList{"Prise RJ45"});
            QCOMPARE(colonne(matos->tableTypeMateriel(), "toUnite_uniAbrev"), QStringList{"u"});
        }));
        QVERIFY(db->alerts().isEmpty());
        const QString arguments =
            QStringLiteral("SELECT TAV_NIVEAU || '/' || TAV_PERE || '/' || TAV_UNITE_ORDRE "
                           "FROM TYPE_MATERIEL WHERE TAV_LIBELLE = ?");
        QCOMPARE(sql(arguments, {"audiovisuel"}).toString(), QStringLiteral("1/-1/-1"));
        QCOMPARE(sql(arguments, {"Prise RJ45"}).toString(),
                 QStringLiteral("2/%1/%2").arg(reseau).arg(
                     sql("SELECT UNI_ORDRE FROM UNITE WHERE UNI_ABREV = 'u'").toInt()));
    }

    void uneFamilleSeSupprimeAvecSesTypesJusquAuPremierRefus()
    {
        unites({QStringLiteral("m")});
        const qint64 cablage = materiel(QStringLiteral("Câblage"));
        materiel(QStringLiteral("Mobilier"));
        const qint64 a = materiel(QStringLiteral("A-coaxial"), cablage, QStringLiteral("m"));
        utilise(materiel(QStringLiteral("B-fibre"), cablage, QStringLiteral("m")));
        materiel(QStringLiteral("C-paire"), cablage, QStringLiteral("m"));
        QVERIFY(dansLePanneau(false, [&] {
            bouton("supprFamille")->click();
            // The family list as it was; the types that remain.
            QCOMPARE(colonne(matos->tableFamille()), (QStringList{"Câblage", "Mobilier"}));
            QCOMPARE(matos->tableFamille().selectionIndexes(), QList<int>{0});
            QCOMPARE(colonne(matos->tableTypeMateriel()), (QStringList{"B-fibre", "C-paire"}));
        }));
        // In list order: the first type is gone, the refusal of the second stopped the rest.
        QCOMPARE(sql("SELECT COUNT(*) FROM TYPE_MATERIEL WHERE TAV_TYPE = ?", {a}).toInt(), 0);
        QCOMPARE(sql("SELECT COUNT(*) FROM TYPE_MATERIEL").toInt(), 4);
        const QList<TestDatabase::Alert> alertes = db->takeAlerts();
        QCOMPARE(alertes.size(), 1);
        QCOMPARE(alertes.first().title + alertes.first().message,
                 QStringLiteral(
                     "ERREUR...Le type de matériel « B-fibre » figure dans le matériel de 1 salle(s) : il "
                     "ne peut pas être supprimé."));

        // A type entered by another user while the panel is open keeps the family: the listed types go,
        // the family stays selected, and its list shows the type that kept it.
        QVERIFY(dansLePanneau(false, [&] {
            db->exec(QStringLiteral("DELETE FROM DETAIL_SALLE"));
            materiel(QStringLiteral("D-tardif"), cablage, QStringLiteral("m"));
            bouton("supprFamille")->click();
            QCOMPARE(colonne(matos->tableFamille()), (QStringList{"Câblage", "Mobilier"}));
            QCOMPARE(matos->tableFamille().selectionIndexes(), QList<int>{0});
            QCOMPARE(colonne(matos->tableTypeMateriel()), QStringList{"D-tardif"});
            QVERIFY(bouton("supprTypeMateriel")->isEnabled());
        }));
        QCOMPARE(
            db->takeAlerts().value(0).message,
            QStringLiteral("La famille « Câblage » contient encore 1 type(s) de matériel : supprimez-les "
                           "d'abord."));
        QCOMPARE(sql("SELECT COUNT(*) FROM TYPE_MATERIEL").toInt(), 3);

        // Once the family has no other type, it goes with its types and the next family is selected.
        db->exec(QStringLiteral("DELETE FROM DETAIL_SALLE"));
        QVERIFY(dansLePanneau(false, [&] {
            bouton("supprFamille")->click();
            QCOMPARE(colonne(matos->tableFamille()), QStringList{"Mobilier"});
            QCOMPARE(matos->tableFamille().selectionIndexes(), QList<int>{0});
        }));
        QVERIFY(db->alerts().isEmpty());
        QCOMPARE(sql("SELECT COUNT(*) FROM TYPE_MATERIEL").toInt(), 1);

        // The last family gone, nothing is selected: nothing left to delete or to add a type to.
        QVERIFY(dansLePanneau(false, [&] {
            bouton("supprFamille")->click();
            QVERIFY(matos->tableFamille().displayedObjects().isEmpty());
            for (const char *nom : {"supprFamille", "ajoutTypeMateriel", "supprTypeMateriel"})
                QVERIFY2(!bouton(nom)->isEnabled(), nom);
        }));
        QCOMPARE(sql("SELECT COUNT(*) FROM TYPE_MATERIEL").toInt(), 0);
    }

    void lesBoutonsSuiventLaSelection_data()
    {
        QTest::addColumn<QList<int>>("familles");
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<bool>("familleActive");

        QTest::newRow("no family") << QList<int>{} << QStringList{} << false;
        QTest::newRow("one family") << QList<int>{0} << QStringList{"Chaise", "Table"} << true;
        QTest::newRow("one family without type") << QList<int>{1} << QStringList{} << true;
        QTest::newRow("two families") << QList<int>{0, 1} << QStringList{} << false;
    }
    void lesBoutonsSuiventLaSelection()
    {
        QFETCH(QList<int>, familles);
        QFETCH(QStringList, types);
        QFETCH(bool, familleActive);

        unites({QStringLiteral("u")});
        const qint64 mobilier = materiel(QStringLiteral("Mobilier"));
        materiel(QStringLiteral("Réseau"));
        materiel(QStringLiteral("Table"), mobilier, QStringLiteral("u"));
        materiel(QStringLiteral("Chaise"), mobilier, QStringLiteral("u"));
        QVERIFY(dansLePanneau(false, [&] {
            QVERIFY(bouton("supprTypeMateriel")->isEnabled()); // the first type of the first family
            QVERIFY(matos->tableFamille().setSelectionIndexes(familles));
            QCOMPARE(colonne(matos->tableTypeMateriel()), types);
            QCOMPARE(bouton("supprFamille")->isEnabled(), familleActive);
            QCOMPARE(bouton("ajoutTypeMateriel")->isEnabled(), familleActive);
            QCOMPARE(bouton("supprTypeMateriel")->isEnabled(), !types.isEmpty());
        }));
    }

    void ceQuiSertEncoreReste_data()
    {
        QTest::addColumn<bool>("unite");
        QTest::addColumn<QString>("refus");
        QTest::newRow("unit")
            << true
            << "L'unité « m » est utilisée par 2 type(s) de matériel : elle ne peut pas être "
               "supprimée.";
        QTest::newRow("type")
            << false
            << "Le type de matériel « Fibre » figure dans le matériel de 1 salle(s) : il ne "
               "peut pas être supprimé.";
    }
    void ceQuiSertEncoreReste()
    {
        QFETCH(bool, unite);
        QFETCH(QString, refus);
        unites({QStringLiteral("kg"), QStringLiteral("m")});
        const qint64 cablage = materiel(QStringLiteral("Câblage"));
        utilise(materiel(QStringLiteral("Fibre"), cablage, QStringLiteral("m")));
        materiel(QStringLiteral("Coaxial"), cablage, QStringLiteral("m"));
        eo::EODisplayGroup &liste = unite ? matos->tableGestionUnite() : matos->tableTypeMateriel();
        const char *cle = unite ? "uniAbrev" : "tavLibelle";
        QPushButton *supprimer = bouton(unite ? "supprUnite" : "supprTypeMateriel");
        QVERIFY(dansLePanneau(unite, [&] {
            // The one in use (the second of the list) stays, with its row; the other goes.
            const QStringList avant = colonne(liste, cle);
            QVERIFY(liste.setSelectionIndexes({1}) && supprimer->isEnabled());
            supprimer->click();
            QCOMPARE(colonne(liste, cle), avant);
            QVERIFY(liste.setSelectionIndexes({0}));
            supprimer->click();
            QCOMPARE(colonne(liste, cle), QStringList{avant.at(1)});
            QCOMPARE(liste.selectionIndexes(), QList<int>{0});
        }));
        const QList<TestDatabase::Alert> alertes = db->takeAlerts();
        QCOMPARE(alertes.size(), 1);
        QCOMPARE(alertes.first().message, refus);
        QCOMPARE(sql(unite ? "SELECT COUNT(*) FROM UNITE" : "SELECT COUNT(*) FROM TYPE_MATERIEL").toInt(),
                 unite ? 1 : 2);
    }

    void uneSaisieRefuseeLaisseLePanneauOuvert_data()
    {
        QTest::addColumn<QString>("premier");
        QTest::addColumn<QString>("second"); // the unit's label; none for a family
        QTest::addColumn<QString>("alerte");
        QTest::addColumn<QString>("focus"); // the field the user is put back in, when the panel says so

        QTest::newRow("family without label") << "" << QString() << "ATTENTION:Il faut un libelle !"
                                              << "familleText";
        QTest::newRow("unit without abbreviation") << ""
                                                   << "gramme"
                                                   << "ATTENTION:Il faut une abreviation !"
                                                   << "uniteAbrev";
        QTest::newRow("unit without label") << "g"
                                            << ""
                                            << "ATTENTION:Il faut un libelle !"
                                            << "uniteLibelle";
        QTest::newRow("abbreviation with a bidi override")
            << QStringLiteral("k\u202Eg") << "kilo"
            << "ATTENTION:L'abréviation de l'unité contient un caractère invisible ou de contrôle (U+202E), "
               "refusé "
               "dans un code : retirez ce caractère."
            << "uniteAbrev";
        QTest::newRow("abbreviation taken")
            << "m"
            << "mètre"
            << "ERREUR...:L'abréviation « m » est déjà utilisée par une autre unité."
            << "";
    }
    void uneSaisieRefuseeLaisseLePanneauOuvert()
    {
        QFETCH(QString, premier);
        QFETCH(QString, second);
        QFETCH(QString, alerte);
        QFETCH(QString, focus);

        unites({QStringLiteral("m")});
        const bool famille = second.isNull();
        QWidget *panneau = w(famille ? "panelFamille" : "panelUnite");
        QVERIFY(pendant(
            panneau, [&] { bouton(famille ? "ajoutFamille" : "ajoutUnite")->click(); },
            [&] {
                champ(famille ? "familleText" : "uniteAbrev")->setText(premier);
                champ("uniteLibelle")->setText(second);
                bouton(famille ? "boutonFermerFamille" : "boutonFermerUnite")->setFocus();
                bouton(famille ? "boutonValiderFamille" : "boutonValiderUnite")->click();
                // Still open, with what was typed.
                QVERIFY(panneau->isVisible());
                QCOMPARE(champ(famille ? "familleText" : "uniteAbrev")->text(), premier);
                QCOMPARE(champ("uniteLibelle")->text(), second);
                if (!focus.isEmpty())
                    QCOMPARE(panneau->focusWidget()->objectName(), focus);
            }));
        const QList<TestDatabase::Alert> alertes = db->takeAlerts();
        QCOMPARE(alertes.size(), 1);
        QCOMPARE(alertes.first().title + u':' + alertes.first().message, alerte);
        QCOMPARE(
            sql("SELECT COUNT(*) FROM TYPE_MATERIEL").toInt() + sql("SELECT COUNT(*) FROM UNITE").toInt(), 1);
        QVERIFY(!db->dataBus().hasOpenTransaction());
    }
};

int main(int argc, char *argv[])
{
    // The panels run their modal sessions through the application class, as in the program.
    BugFixApplication application(argc, argv);
    TestMatosUnite test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_MatosUnite.moc"
