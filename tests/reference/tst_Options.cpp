// The options tab: its lists, its two modes, and the matching and attaching of option rooms through
// corresSalle, against a throwaway database; the whole class runs once per backend.

#include "EONull.h"
#include "Options.h"
#include "TestDatabase.h"

#include <QApplication>
#include <QButtonGroup>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>

using reference::Options;

namespace
{

// A row of a room list as the test reads it: "building floor door", the building blank when there is none.
QStringList salles(const eo::EODisplayGroup &groupe)
{
    QStringList liste;
    for (const eo::EORecord &salle : groupe.displayedObjects()) {
        QStringList parties;
        for (const char *cle : {"appellation", "salEtage", "salPorte"}) {
            const QVariant valeur = salle->valueForKey(QLatin1String(cle));
            parties.append(eo::isNullOrNone(valeur) ? QStringLiteral("-") : valeur.toString());
        }
        liste.append(parties.join(u' '));
    }
    return liste;
}

QStringList batiments(const eo::EODisplayGroup &groupe)
{
    QStringList liste;
    for (const eo::EORecord &batiment : groupe.displayedObjects())
        liste.append(batiment->valueForKey(QStringLiteral("appellation")).toString());
    return liste;
}

} // namespace

class TestOptions : public QObject
{
    Q_OBJECT

public:
    explicit TestOptions(TestDatabase::Backend backend) : m_backend(backend) {}

private:
    const TestDatabase::Backend m_backend;
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<Options> options;
    // Rooms by door.
    qint64 d2 = 0, a1 = 0, a9 = 0, x1 = 0, x2 = 0, x3 = 0;

    template <class Widget = QWidget> Widget *controle(const char *nom)
    {
        for (QWidget *vue : {options->afficheVue(), options->afficheBoutons()}) {
            if (auto *trouve = vue->findChild<Widget *>(QLatin1String(nom)))
                return trouve;
        }
        qFatal("no control %s", nom);
    }
    QPushButton *bouton(const char *nom) { return controle<QPushButton>(nom); }
    int compte(const QString &sql, const QVariantList &valeurs = {})
    {
        return db->scalar(sql, valeurs).toInt();
    }
    // Selects the row of a list whose first key (door or building name) is given.
    void choisir(eo::EODisplayGroup &groupe, const QString &cle, const QString &valeur)
    {
        const QList<eo::EORecord> &lignes = groupe.displayedObjects();
        for (int i = 0; i < lignes.size(); ++i) {
            if (lignes.at(i)->valueForKey(cle).toString() == valeur) {
                QVERIFY(groupe.setSelectionIndexes({i}));
                return;
            }
        }
        QFAIL(qPrintable(QStringLiteral("pas de ligne %1").arg(valeur)));
    }
    void mode(Options::Mode choisi)
    {
        controle<QRadioButton>(choisi == Options::Mode::correspondance ? "modeCorrespondance"
                                                                       : "modeBatiment")
            ->click();
    }

private slots:
    void init()
    {
        LOCAVIA_REQUIRE_BACKEND(m_backend);
        db = std::make_unique<TestDatabase>(m_backend);
        QVERIFY2(db->isValid(), qPrintable(db->error()));
        for (const auto &[code, nom] :
             {std::pair{"DRT", "Droit"}, std::pair{"ALP", "alpha"}, std::pair{"ZOO", "Zoologie"}})
            QCOMPARE(db->addBuilding(QLatin1String(code), QString::fromUtf8(nom)), QLatin1String(code));
        const QVariantMap option{{QStringLiteral("salReservable"), eo::eoNull()}};
        d2 = db->addRoom("DRT", "1", "D2");
        a9 = db->addRoom("ALP", "1", "A9", {{QStringLiteral("salReservable"), QStringLiteral("N")}});
        a1 = db->addRoom("ALP", "2", "A1");
        x1 = db->addRoom("DRT", "0", "X1", option);
        x2 = db->addRoom("ALP", "3", "X2", option);
        // An option room from another application: no building yet.
        db->exec(QStringLiteral("INSERT INTO SOLMA.SALLES (SAL_ETAGE, SAL_PORTE) VALUES ('2', 'X3')"));
        x3 = db->scalar(QStringLiteral("SELECT MAX(SAL_NUMERO) FROM SOLMA.SALLES")).toLongLong();
        for (qint64 salle : {d2, a9, a1, x1, x2, x3})
            QVERIFY(salle > 0);
        options = std::make_unique<Options>(db->dataBus());
        options->initObjet();
    }
    void cleanup()
    {
        options.reset();
        db.reset();
    }

    void avantLePremierRechargementRienNeSeFait()
    {
        QVERIFY(options->tableOption().displayedObjects().isEmpty());
        QVERIFY(options->tableSalle().displayedObjects().isEmpty());
        QVERIFY(options->tableBatiment().displayedObjects().isEmpty());
        for (Options::Mode choisi : {Options::Mode::correspondance, Options::Mode::rattachement}) {
            mode(choisi);
            options->miseEnCorrespondance(bouton("boutonCorresp"));
            options->ajouterAuBatiment(bouton("boutonAjouter"));
        }
        QVERIFY(db->alerts().isEmpty());
        QCOMPARE(compte(QStringLiteral("SELECT COUNT(*) FROM SALLES_VIX WHERE SAL_RESERVABLE IS NULL")), 3);
        QCOMPARE(compte(QStringLiteral("SELECT COUNT(*) FROM SOLMA.SALLE_CORRESPONDANCE")), 0);
    }

    void leRechargementRemplitLesTroisListes()
    {
        bouton("boutonRecharger")->click();
        // Sorted by building (a room without one first), floor and door, without regard to case; a room
        // that is not bookable ("N") is a managed room.
        QCOMPARE(salles(options->tableOption()), (QStringList{"- 2 X3", "alpha 3 X2", "Droit 0 X1"}));
        QCOMPARE(salles(options->tableSalle()), (QStringList{"alpha 1 A9", "alpha 2 A1", "Droit 1 D2"}));
        QCOMPARE(batiments(options->tableBatiment()), (QStringList{"alpha", "Droit", "Zoologie"}));
        for (eo::EODisplayGroup *groupe :
             {&options->tableOption(), &options->tableSalle(), &options->tableBatiment()})
            QCOMPARE(groupe->selectionIndexes(), QList<int>{0});
    }

    void lesModes_data()
    {
        QTest::addColumn<int>("tag"); // -1: no mode selected
        QTest::addColumn<QString>("vue");
        QTest::addColumn<bool>("corresp");
        QTest::addColumn<bool>("ajouter");

        QTest::newRow("correspondence") << int(Options::Mode::correspondance) << "salles" << true << false;
        QTest::newRow("attachment") << int(Options::Mode::rattachement) << "batiment" << false << true;
        QTest::newRow("none") << -1 << "batiment" << false << false;
    }
    void lesModes()
    {
        QFETCH(int, tag);
        QFETCH(QString, vue);
        QFETCH(bool, corresp);
        QFETCH(bool, ajouter);

        // The form starts in correspondence; the other mode first, so that each row changes something.
        auto *contenu = controle<QStackedWidget>("contenuView");
        QCOMPARE(contenu->currentWidget()->objectName(), QStringLiteral("salles"));
        QVERIFY(bouton("boutonCorresp")->isEnabled());
        QVERIFY(!bouton("boutonAjouter")->isEnabled());
        mode(Options::Mode::rattachement);
        mode(Options::Mode::correspondance);
        mode(Options::Mode::rattachement);
        if (tag >= 0) {
            mode(Options::Mode(tag));
        } else {
            auto *matrice = controle<QRadioButton>("modeBatiment")->group();
            matrice->setExclusive(false);
            controle<QRadioButton>("modeBatiment")->setChecked(false);
            options->changeMode(matrice);
        }
        QCOMPARE(contenu->currentWidget()->objectName(), vue);
        QCOMPARE(bouton("boutonCorresp")->isEnabled(), corresp);
        QCOMPARE(bouton("boutonAjouter")->isEnabled(), ajouter);
    }

    void uneMiseEnCorrespondance()
    {
        options->reloadOptions(nullptr);
        choisir(options->tableOption(), QStringLiteral("salPorte"), QStringLiteral("X2"));
        choisir(options->tableSalle(), QStringLiteral("salPorte"), QStringLiteral("A1"));
        bouton("boutonCorresp")->click();
        QVERIFY(db->alerts().isEmpty());
        // Matched, not attached: the database refuses a call that names both a room and a building.
        QCOMPARE(
            db->scalar(QStringLiteral("SELECT SAL_NUMERO_DESTINATION FROM SOLMA.SALLE_CORRESPONDANCE WHERE "
                                      "SAL_NUMERO_SOURCE = ?"),
                       {x2})
                .toLongLong(),
            a1);
        QCOMPARE(salles(options->tableOption()), (QStringList{"- 2 X3", "Droit 0 X1"}));
        QCOMPARE(salles(options->tableSalle()), (QStringList{"alpha 1 A9", "alpha 2 A1", "Droit 1 D2"}));
        options->reloadOptions(nullptr);
        QCOMPARE(salles(options->tableOption()), (QStringList{"- 2 X3", "Droit 0 X1"}));
    }

    void unRattachementMetLaSalleEnTeteDesSallesGerees()
    {
        options->reloadOptions(nullptr);
        mode(Options::Mode::rattachement);
        choisir(options->tableOption(), QStringLiteral("salPorte"), QStringLiteral("X3"));
        choisir(options->tableBatiment(), QStringLiteral("appellation"), QStringLiteral("Zoologie"));
        const eo::EORecord zoologie = options->tableBatiment().selectedObject();
        bouton("boutonAjouter")->click();
        QVERIFY(db->alerts().isEmpty());
        QCOMPARE(db->scalar(QStringLiteral("SELECT C_LOCAL FROM SOLMA.SALLES WHERE SAL_NUMERO = ?"), {x3})
                     .toString(),
                 QStringLiteral("ZOO"));
        QCOMPARE(compte(QStringLiteral("SELECT COUNT(*) FROM SOLMA.SALLE_CORRESPONDANCE")), 0);

        // In memory: first of the managed rooms, whatever its building's name, and no longer an option.
        QCOMPARE(salles(options->tableSalle()),
                 (QStringList{"Zoologie 2 X3", "alpha 1 A9", "alpha 2 A1", "Droit 1 D2"}));
        const eo::EORecord salle = options->tableSalle().displayedObjects().first();
        QCOMPARE(salle->valueForKey(QStringLiteral("cLocal")).toString(), QStringLiteral("ZOO"));
        QCOMPARE(eo::EOGenericRecord::fromVariant(salle->valueForKey(QStringLiteral("local"))), zoologie);
        QCOMPARE(salles(options->tableOption()), (QStringList{"alpha 3 X2", "Droit 0 X1"}));
        QCOMPARE(options->tableOption().selectionIndexes(), QList<int>{0});

        // Reloaded: what the database holds, in order.
        bouton("boutonRecharger")->click();
        QCOMPARE(salles(options->tableSalle()),
                 (QStringList{"alpha 1 A9", "alpha 2 A1", "Droit 1 D2", "Zoologie 2 X3"}));
        QCOMPARE(salles(options->tableOption()), (QStringList{"alpha 3 X2", "Droit 0 X1"}));
    }

    void unRefusLaisseLesListes_data()
    {
        QTest::addColumn<int>("tag");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("probleme");

        QTest::newRow("correspondence") << int(Options::Mode::correspondance)
                                        << "La salle %1 est déjà mise en correspondance avec la salle %2."
                                        << "La mise en correspondance n'a pas ete faite !!";
        QTest::newRow("attachment") << int(Options::Mode::rattachement)
                                    << "La salle %1 est déjà mise en correspondance avec la salle %2."
                                    << "L'ajout de la salle n'a pas ete fait !!";
    }
    void unRefusLaisseLesListes()
    {
        QFETCH(int, tag);
        QFETCH(QString, message);
        QFETCH(QString, probleme);

        options->reloadOptions(nullptr);
        mode(Options::Mode(tag));
        choisir(options->tableOption(), QStringLiteral("salPorte"), QStringLiteral("X1"));
        choisir(options->tableSalle(), QStringLiteral("salPorte"), QStringLiteral("D2"));
        // Another user matched the room meanwhile.
        QVERIFY(db->dataBus().executeProcedure(QStringLiteral("corresSalle"),
                                               {{QStringLiteral("clocal"), eo::eoNull()},
                                                {QStringLiteral("salnumerosource"), x1},
                                                {QStringLiteral("salnumerodestination"), a1}}));
        const QStringList optionsAvant = salles(options->tableOption());
        const QStringList sallesAvant = salles(options->tableSalle());

        bouton(Options::Mode(tag) == Options::Mode::correspondance ? "boutonCorresp" : "boutonAjouter")
            ->click();
        const QList<TestDatabase::Alert> alertes = db->takeAlerts();
        QCOMPARE(alertes.size(), 2);
        QCOMPARE(alertes.at(0).title, QStringLiteral("ERREUR..."));
        QCOMPARE(alertes.at(0).message, message.arg(x1).arg(a1));
        QCOMPARE(alertes.at(1).title, QStringLiteral("PROBLEME"));
        QCOMPARE(alertes.at(1).message, probleme);
        QCOMPARE(salles(options->tableOption()), optionsAvant);
        QCOMPARE(salles(options->tableSalle()), sallesAvant);
        QVERIFY(!db->dataBus().hasOpenTransaction());
        QCOMPARE(compte(QStringLiteral("SELECT COUNT(*) FROM SOLMA.SALLE_CORRESPONDANCE")), 1);
        QVERIFY(db->scalar(QStringLiteral("SELECT C_LOCAL FROM SOLMA.SALLES WHERE SAL_NUMERO = ?"), {x1})
                    .toString() == QStringLiteral("DRT"));
    }
};

class TestOptionsOnSQLite : public TestOptions
{
    Q_OBJECT
public:
    TestOptionsOnSQLite() : TestOptions(TestDatabase::Backend::SQLite) {}
};

class TestOptionsOnPostgreSQL : public TestOptions
{
    Q_OBJECT
public:
    TestOptionsOnPostgreSQL() : TestOptions(TestDatabase::Backend::PostgreSQL) {}
};

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    int status = 0;
    if (TestDatabase::backendSelected(TestDatabase::Backend::SQLite)) {
        TestOptionsOnSQLite test;
        status |= QTest::qExec(&test, argc, argv);
    }
    if (TestDatabase::backendSelected(TestDatabase::Backend::PostgreSQL)) {
        TestOptionsOnPostgreSQL test;
        status |= QTest::qExec(&test, argc, argv);
    }
    return status;
}

#include "tst_Options.moc"
