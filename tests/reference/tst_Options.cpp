// The options tab: its lists, its two modes, and the matching and attaching of option rooms through
// corresSalle, against a throwaway database; the whole class runs once per backend.

#include "BackendTestCase.h"
#include "EOAdaptor.h"
#include "EONull.h"
#include "Options.h"

#include <QApplication>
#include <QButtonGroup>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>

using reference::Options;
using Mode = reference::Options::Mode;

namespace
{

// The rows of a list as "building floor door" ("-" for no building), or the buildings' names.
QStringList lignes(const eo::EODisplayGroup &groupe)
{
    QStringList liste;
    for (const eo::EORecord &ligne : groupe.displayedObjects()) {
        QStringList parties;
        for (const char *cle : {"appellation", "salEtage", "salPorte"}) {
            if (!ligne->allKeys().contains(QLatin1String(cle)))
                continue;
            const QVariant valeur = ligne->valueForKey(QLatin1String(cle));
            parties.append(eo::isNullOrNone(valeur) ? QStringLiteral("-") : valeur.toString());
        }
        liste.append(parties.join(u' '));
    }
    return liste;
}

} // namespace

class TestOptions : public BackendTestCase
{
    Q_OBJECT

private:
    std::unique_ptr<Options> options;
    qint64 a1 = 0, x1 = 0, x2 = 0, x3 = 0; // rooms by door

    template <class Widget = QWidget> Widget *w(const char *nom)
    {
        for (QWidget *vue : {options->afficheVue(), options->afficheBoutons()}) {
            if (auto *trouve = vue->findChild<Widget *>(QLatin1String(nom)))
                return trouve;
        }
        qFatal("no control %s", nom);
    }
    void mode(Mode choisi)
    {
        w<QRadioButton>(choisi == Mode::correspondance ? "modeCorrespondance" : "modeBatiment")->click();
    }
    // The list shown on the right and the one button enabled.
    QString etat()
    {
        QString enabled;
        for (const char *nom : {"boutonCorresp", "boutonAjouter"})
            enabled += w<QPushButton>(nom)->isEnabled() ? QLatin1String(nom) : QLatin1String("");
        return w<QStackedWidget>("contenuView")->currentWidget()->objectName() + u'/' + enabled;
    }
    // Selects the row whose text (as lignes() gives it) is given.
    void choisir(eo::EODisplayGroup &groupe, const QString &ligne)
    {
        QVERIFY2(groupe.setSelectionIndexes({int(lignes(groupe).indexOf(ligne))}), qPrintable(ligne));
    }
    int correspondances()
    {
        return db->scalar(QStringLiteral("SELECT COUNT(*) FROM SOLMA.SALLE_CORRESPONDANCE")).toInt();
    }
    QString batimentDe(qint64 salle)
    {
        return db->scalar(QStringLiteral("SELECT C_LOCAL FROM SOLMA.SALLES WHERE SAL_NUMERO = ?"), {salle})
            .toString();
    }

    void prepare() override
    {
        options.reset();
        for (const auto &[code, nom] :
             {std::pair{"DRT", "Droit"}, std::pair{"ALP", "alpha"}, std::pair{"ZOO", "Zoologie"}})
            QCOMPARE(db->addBuilding(QLatin1String(code), QLatin1String(nom)), QLatin1String(code));
        const QVariantMap option{{QStringLiteral("salReservable"), eo::eoNull()}};
        QVERIFY(db->addRoom("DRT", "1", "D2") > 0);
        QVERIFY(db->addRoom("ALP", "1", "A9", {{QStringLiteral("salReservable"), QStringLiteral("N")}}) > 0);
        a1 = db->addRoom("ALP", "2", "A1");
        x1 = db->addRoom("DRT", "0", "X1", option);
        x2 = db->addRoom("ALP", "3", "X2", option);
        // An option room from another application: no building yet.
        db->exec(QStringLiteral("INSERT INTO SOLMA.SALLES (SAL_ETAGE, SAL_PORTE) VALUES ('2', 'X3')"));
        x3 = db->scalar(QStringLiteral("SELECT MAX(SAL_NUMERO) FROM SOLMA.SALLES")).toLongLong();
        QVERIFY(a1 > 0 && x1 > 0 && x2 > 0 && x3 > x2);
        options = std::make_unique<Options>(db->dataBus());
        options->initObjet();
    }
private slots:

    void lesListesAttendentLePremierRechargement()
    {
        for (Mode choisi : {Mode::rattachement, Mode::correspondance}) {
            mode(choisi);
            options->miseEnCorrespondance(nullptr);
            options->ajouterAuBatiment(nullptr);
        }
        QCOMPARE(etat(), QStringLiteral("salles/boutonCorresp"));
        // No mode selected: both buttons off, the list left as it was.
        QButtonGroup *matrice = w<QRadioButton>("modeBatiment")->group();
        matrice->setExclusive(false);
        matrice->checkedButton()->setChecked(false);
        options->changeMode(matrice);
        QCOMPARE(etat(), QStringLiteral("salles/"));
        QVERIFY(lignes(options->tableOption()).isEmpty() && lignes(options->tableSalle()).isEmpty() &&
                lignes(options->tableBatiment()).isEmpty());
        QVERIFY(db->alerts().isEmpty());
        QCOMPARE(correspondances(), 0);

        // Sorted by building (none first), floor and door, without regard to case; a room that is not
        // bookable ("N") is a managed room; the first row of each list selected.
        w<QPushButton>("boutonRecharger")->click();
        QCOMPARE(lignes(options->tableOption()), (QStringList{"- 2 X3", "alpha 3 X2", "Droit 0 X1"}));
        QCOMPARE(lignes(options->tableSalle()), (QStringList{"alpha 1 A9", "alpha 2 A1", "Droit 1 D2"}));
        QCOMPARE(lignes(options->tableBatiment()), (QStringList{"alpha", "Droit", "Zoologie"}));
        for (eo::EODisplayGroup *groupe :
             {&options->tableOption(), &options->tableSalle(), &options->tableBatiment()})
            QCOMPARE(groupe->selectionIndexes(), QList<int>{0});
    }

    void uneCorrespondancePuisUnRattachement()
    {
        QCOMPARE(etat(), QStringLiteral("salles/boutonCorresp"));
        options->reloadOptions(nullptr);
        choisir(options->tableOption(), QStringLiteral("alpha 3 X2"));
        choisir(options->tableSalle(), QStringLiteral("alpha 2 A1"));
        w<QPushButton>("boutonCorresp")->click();
        // Matched and not attached (the database refuses a call that names a room and a building).
        QCOMPARE(
            db->scalar(QStringLiteral("SELECT SAL_NUMERO_DESTINATION FROM SOLMA.SALLE_CORRESPONDANCE WHERE "
                                      "SAL_NUMERO_SOURCE = ?"),
                       {x2})
                .toLongLong(),
            a1);
        QCOMPARE(batimentDe(x2), QStringLiteral("ALP"));
        QCOMPARE(lignes(options->tableOption()), (QStringList{"- 2 X3", "Droit 0 X1"}));

        mode(Mode::rattachement);
        QCOMPARE(etat(), QStringLiteral("batiment/boutonAjouter"));
        choisir(options->tableOption(), QStringLiteral("- 2 X3"));
        choisir(options->tableBatiment(), QStringLiteral("Zoologie"));
        const eo::EORecord zoologie = options->tableBatiment().selectedObject();
        w<QPushButton>("boutonAjouter")->click();
        QVERIFY(db->alerts().isEmpty());
        QCOMPARE(batimentDe(x3), QStringLiteral("ZOO"));
        QCOMPARE(correspondances(), 1);
        // In memory: first of the managed rooms whatever its building's name, with its building.
        QCOMPARE(lignes(options->tableSalle()),
                 (QStringList{"Zoologie 2 X3", "alpha 1 A9", "alpha 2 A1", "Droit 1 D2"}));
        const eo::EORecord salle = options->tableSalle().displayedObjects().first();
        QCOMPARE(salle->valueForKey(QStringLiteral("cLocal")).toString(), QStringLiteral("ZOO"));
        QCOMPARE(eo::EOGenericRecord::fromVariant(salle->valueForKey(QStringLiteral("local"))), zoologie);
        QCOMPARE(lignes(options->tableOption()), QStringList{"Droit 0 X1"});

        // Reloaded: what the database holds, in order.
        options->reloadOptions(nullptr);
        QCOMPARE(lignes(options->tableSalle()),
                 (QStringList{"alpha 1 A9", "alpha 2 A1", "Droit 1 D2", "Zoologie 2 X3"}));
        QCOMPARE(lignes(options->tableOption()), QStringList{"Droit 0 X1"});
    }

    void unRefusLaisseLesListes_data()
    {
        QTest::addColumn<int>("tag");
        QTest::addColumn<QString>("probleme");

        QTest::newRow("correspondence")
            << int(Mode::correspondance) << "La mise en correspondance n'a pas ete faite !!";
        QTest::newRow("attachment") << int(Mode::rattachement) << "L'ajout de la salle n'a pas ete fait !!";
    }
    void unRefusLaisseLesListes()
    {
        QFETCH(int, tag);
        QFETCH(QString, probleme);

        options->reloadOptions(nullptr);
        mode(Mode(tag));
        choisir(options->tableOption(), QStringLiteral("Droit 0 X1"));
        // Another user matched the room meanwhile.
        QVERIFY(db->dataBus().executeProcedure(
            QStringLiteral("corresSalle"),
            {{"clocal", eo::eoNull()}, {"salnumerosource", x1}, {"salnumerodestination", a1}}));
        const QStringList avant = lignes(options->tableOption()) + lignes(options->tableSalle());

        w<QPushButton>(Mode(tag) == Mode::correspondance ? "boutonCorresp" : "boutonAjouter")->click();
        const QList<TestDatabase::Alert> alertes = db->takeAlerts();
        QCOMPARE(alertes.size(), 2);
        QCOMPARE(alertes.at(0).title + alertes.at(0).message,
                 QStringLiteral("ERREUR...La salle %1 est déjà mise en correspondance avec la salle %2.")
                     .arg(x1)
                     .arg(a1));
        QCOMPARE(alertes.at(1).title + alertes.at(1).message, QStringLiteral("PROBLEME") + probleme);
        QCOMPARE(lignes(options->tableOption()) + lignes(options->tableSalle()), avant);
        QVERIFY(!db->dataBus().hasOpenTransaction());
        QCOMPARE(correspondances(), 1);
        QCOMPARE(batimentDe(x1), QStringLiteral("DRT"));
    }

    void uneErreurDeLaBaseNeFinitQueLAction()
    {
        // The rooms' view gone from under the tab, as in a damaged or foreign database: the reload ends with
        // the database's message, and the tab goes on.
        const bool serveur = db->backend() == TestDatabase::Backend::PostgreSQL;
        QVERIFY(db->exec(serveur
                             ? QStringLiteral("ALTER VIEW locavia.SALLES_VIX RENAME TO SALLES_VIX_ABSENTE")
                             : QStringLiteral("DROP VIEW temp.SALLES_VIX")));
        w<QPushButton>("boutonRecharger")->click();
        const QList<TestDatabase::Alert> alertes = db->takeAlerts();
        QCOMPARE(alertes.size(), 1);
        QCOMPARE(alertes.first().title, QStringLiteral("ERREUR"));
        QVERIFY(!db->dataBus().hasOpenTransaction());

        // The view back (the embedded database makes it again on its next connection): one more click.
        if (serveur)
            QVERIFY(db->exec(QStringLiteral("ALTER VIEW locavia.SALLES_VIX_ABSENTE RENAME TO SALLES_VIX")));
        else
            db->dataBus().dataBusAdaptor()->close();
        w<QPushButton>("boutonRecharger")->click();
        QVERIFY(db->takeAlerts().isEmpty());
        QCOMPARE(lignes(options->tableOption()), (QStringList{"- 2 X3", "alpha 3 X2", "Droit 0 X1"}));
        // The mode's buttons run inside the same boundary.
        mode(Mode::rattachement);
        QCOMPARE(etat(), QStringLiteral("batiment/boutonAjouter"));
    }
};

QTEST_MAIN(TestOptions)

#include "tst_Options.moc"
