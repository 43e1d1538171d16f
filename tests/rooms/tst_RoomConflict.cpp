// Two users modify the same room, each with a room tab of their own on a connection of their own, on the
// embedded database and on the server (the whole class runs once per backend): the second save finds what
// the first stored meanwhile, writes nothing, and asks; "Recharger", "Écraser" and "Annuler" each do what
// they say, whichever user saves first. A room deleted meanwhile, before a modification, or deleted twice
// is told apart; a save by someone else that changed nothing is no conflict.

#include "AlertPanel.h"
#include "EOModelGroup.h"
#include "RoomsFixture.h"

#include <QApplication>
#include <memory>

using namespace roomstest;
using rooms::Creation;
using rooms::Etat;

namespace
{

// What a user of one room tab sees: the choices asked and the alerts shown.
struct Choix {
    QString message;
    QStringList boutons;
};

} // namespace

class TestRoomConflict : public QObject
{
    Q_OBJECT

public:
    explicit TestRoomConflict(TestDatabase::Backend backend) : m_backend(backend) {}

private:
    enum Reponse { recharger, ecraser, annuler };

    const TestDatabase::Backend m_backend;
    std::unique_ptr<TestDatabase> db;
    // Bruno's connection: an editing context and a data bus of his own on the same database.
    std::unique_ptr<eo::EOEditingContext> contexteBruno;
    std::unique_ptr<data::KORDataBusOC> busBruno;
    std::unique_ptr<Creation> alice;
    std::unique_ptr<Creation> bruno;
    qint64 numero = 0;
    QList<Choix> choix;
    int reponse = annuler;

    QString alertes()
    {
        QStringList vues;
        for (const TestDatabase::Alert &alerte : db->takeAlerts())
            vues.append(alerte.title + QStringLiteral(": ") + alerte.message);
        return vues.join(QLatin1String(" | "));
    }

    // The room found by its door, shown read-only in the user's tab.
    void ouvrir(Creation &c)
    {
        bouton(c, "boutonRecherche")->click();
        champ(c, "localisationPorte")->setText(QStringLiteral("A12"));
        bouton(c, "boutonRecherche")->click();
        QCOMPARE(c.etat(), Etat::salleAffichee);
    }

    QString stocke(const QString &colonne)
    {
        return db
            ->scalar(QStringLiteral("SELECT %1 FROM SOLMA.SALLES WHERE SAL_NUMERO = ?").arg(colonne),
                     {numero})
            .toString();
    }
    QString quantite()
    {
        return db
            ->scalar(QStringLiteral("SELECT DSA_POURCENTAGE FROM DETAIL_SALLE WHERE SAL_NUMERO = ?"),
                     {numero})
            .toString();
    }
    // The equipment line's quantity changed in the form, as the equipment panel does.
    void changerQuantite(Creation &c, int valeur)
    {
        const eo::EORecord ligne = c.tables().tableDetailSalle.displayedObjects().value(0);
        QVERIFY(ligne);
        ligne->takeValueForKey(qint64(valeur), QStringLiteral("dsaPourcentage"));
    }
    QStringList auteurs(qint64 apres)
    {
        QStringList qui;
        for (const QVariantMap &r :
             db->dataBus().executeSQLQuery(QStringLiteral("SELECT DISTINCT HIS_UTILISATEUR FROM HISTORIQUE "
                                                          "WHERE SAL_NUMERO = ? AND HIS_ORDRE > ?"),
                                           {numero, apres}))
            qui.append(r.value(QStringLiteral("Attribute0")).toString());
        qui.sort();
        return qui;
    }
    qint64 repere()
    {
        return db->scalar(QStringLiteral("SELECT MAX(HIS_ORDRE) FROM HISTORIQUE")).toLongLong();
    }

private slots:
    void init()
    {
        LOCAVIA_REQUIRE_BACKEND(m_backend);
        db = std::make_unique<TestDatabase>(m_backend);
        QVERIFY2(db->isValid(), qPrintable(db->error()));
        materielDeReference(*db);
        QCOMPARE(db->addBuilding(QStringLiteral("SCI"), QStringLiteral("SCIENCES")), QStringLiteral("SCI"));
        // Every value as the form shows it, so that a save writes only what was typed.
        numero = db->addRoom(QStringLiteral("SCI"), QStringLiteral("1"), QStringLiteral("A12"),
                             {{"salReservable", "N"},
                              {"salPourAdministration", 0},
                              {"salPourDocumentation", 0},
                              {"salPourRecherche", 0},
                              {"salPourTechnique", 0}});
        QVERIFY(numero > 0);
        QVERIFY(db->exec(QStringLiteral("INSERT INTO SALLE_TAV (SAL_NUMERO, TAV_HAUTEUR_MOYEN_PLAFOND, "
                                        "TAV_SURFACE_VITREE, TAV_VIE_SOCIAL, TAV_ACCUEIL, TAV_SANITAIRE, "
                                        "TAV_CIRCULATION, TAV_RESTAURATION, TAV_PARKING, TAV_SPORTIF) "
                                        "VALUES (%1, 0, 0, 0, 0, 0, 0, 0, 0, 0)")
                             .arg(numero)));
        QVERIFY(db->dataBus().executeProcedure(
            QStringLiteral("insDetailSalle"),
            {{"salnumero", numero}, {"tavtype", 2}, {"dsapourcentage", 3}, {"uniordre", 1}}));
        db->dataBus().setSessionLogin(QStringLiteral("alice"));

        contexteBruno = std::make_unique<eo::EOEditingContext>(eo::EOModelGroup::defaultGroup());
        busBruno = std::make_unique<data::KORDataBusOC>();
        busBruno->initDataBusWithModel(QStringLiteral("Locavia"), contexteBruno.get());
        busBruno->setSessionLogin(QStringLiteral("bruno"));

        alice = std::make_unique<Creation>(db->dataBus());
        bruno = std::make_unique<Creation>(*busBruno);
        for (Creation *c : {alice.get(), bruno.get()}) {
            c->initObjet();
            ouvrir(*c);
        }
        choix.clear();
        reponse = annuler;
        platform::setChoicePresenter(
            [this](const QString &, const QString &message, const QStringList &boutons, int) {
                choix.append({message, boutons});
                return reponse;
            });
        db->takeAlerts();
    }

    void cleanup()
    {
        platform::setChoicePresenter({});
        alice.reset();
        bruno.reset();
        busBruno.reset();
        contexteBruno.reset();
        db.reset();
    }

    void theSecondSaveAsksAndEachAnswerDoesWhatItSays_data()
    {
        QTest::addColumn<bool>("aliceDAbord");
        QTest::addColumn<int>("choisie");
        for (const bool aliceDAbord : {true, false}) {
            const char *ordre = aliceDAbord ? "Alice first" : "Bruno first";
            QTest::addRow("%s, Recharger", ordre) << aliceDAbord << int(recharger);
            QTest::addRow("%s, Écraser", ordre) << aliceDAbord << int(ecraser);
            QTest::addRow("%s, Annuler", ordre) << aliceDAbord << int(annuler);
        }
    }

    void theSecondSaveAsksAndEachAnswerDoesWhatItSays()
    {
        QFETCH(bool, aliceDAbord);
        QFETCH(int, choisie);
        Creation &premier = aliceDAbord ? *alice : *bruno;
        Creation &second = aliceDAbord ? *bruno : *alice;
        const QString nomPremier = aliceDAbord ? QStringLiteral("alice") : QStringLiteral("bruno");
        const QString nomSecond = aliceDAbord ? QStringLiteral("bruno") : QStringLiteral("alice");

        // Both begin; the first changes the floor and saves; the second changes the places.
        bouton(premier, "boutonModifier")->click();
        bouton(second, "boutonModifier")->click();
        champ(premier, "localisationEtage")->setText(QStringLiteral("2"));
        champ(second, "architecturePlaces")->setText(QStringLiteral("30"));
        bouton(premier, "boutonCreer")->click();
        QCOMPARE(premier.etat(), Etat::salleAffichee);
        QVERIFY(choix.isEmpty());
        const qint64 avant = repere();

        reponse = choisie;
        bouton(second, "boutonCreer")->click();
        QCOMPARE(alertes(), QString());
        QCOMPARE(choix.size(), 1);
        QCOMPARE(choix.first().boutons, (QStringList{"Recharger", "Écraser", "Annuler"}));
        const QString &message = choix.first().message;
        QVERIFY2(message.startsWith(
                     QStringLiteral("Cette salle a été modifiée pendant votre modification.\n\nPar %1 le ")
                         .arg(nomPremier)),
                 qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("  • Étage : 1 → 2")), qPrintable(message));

        switch (choisie) {
        case recharger:
            // The stored room, the typed places dropped, nothing written.
            QCOMPARE(second.etat(), Etat::salleAffichee);
            QVERIFY(!bouton(second, "boutonCreer")->isChecked());
            QCOMPARE(champ(second, "localisationEtage")->text(), QStringLiteral("2"));
            QCOMPARE(champ(second, "architecturePlaces")->text(), QStringLiteral("20"));
            QCOMPARE(stocke("SAL_ETAGE") + "/" + stocke("SAL_CAPACITE"), QStringLiteral("2/20"));
            QCOMPARE(auteurs(avant), QStringList{});
            break;
        case ecraser:
            // Written over the first user's floor, as the second user chose.
            QCOMPARE(second.etat(), Etat::salleAffichee);
            QCOMPARE(stocke("SAL_ETAGE") + "/" + stocke("SAL_CAPACITE"), QStringLiteral("1/30"));
            QCOMPARE(auteurs(avant), QStringList{nomSecond});
            break;
        case annuler:
            // Still modifying, everything typed kept; a second try asks again.
            QCOMPARE(second.etat(), Etat::modification);
            QVERIFY(bouton(second, "boutonCreer")->isChecked());
            QCOMPARE(champ(second, "architecturePlaces")->text(), QStringLiteral("30"));
            QCOMPARE(stocke("SAL_ETAGE") + "/" + stocke("SAL_CAPACITE"), QStringLiteral("2/20"));
            bouton(second, "boutonCreer")->click();
            QCOMPARE(choix.size(), 2);
            QCOMPARE(auteurs(avant), QStringList{});
            break;
        }
    }

    void aListChangedMeanwhileIsAConflictToo()
    {
        bouton(*alice, "boutonModifier")->click();
        bouton(*bruno, "boutonModifier")->click();
        changerQuantite(*alice, 5);
        bouton(*alice, "boutonCreer")->click();
        QCOMPARE(quantite(), QStringLiteral("5"));

        champ(*bruno, "localisationEtage")->setText(QStringLiteral("3"));
        reponse = recharger;
        bouton(*bruno, "boutonCreer")->click();
        QCOMPARE(choix.size(), 1);
        QVERIFY2(choix.first().message.contains(QStringLiteral("  • Matériel « Chaise » : quantité : 3 → 5")),
                 qPrintable(choix.first().message));
        QCOMPARE(stocke("SAL_ETAGE"), QStringLiteral("1"));
        QCOMPARE(quantite(), QStringLiteral("5"));
        // Bruno's form shows the stored line now.
        QCOMPARE(bruno->tables()
                     .tableDetailSalle.displayedObjects()
                     .value(0)
                     ->valueForKey("dsaPourcentage")
                     .toInt(),
                 5);
    }

    void aSaveThatChangedNothingIsNoConflict()
    {
        bouton(*alice, "boutonModifier")->click();
        bouton(*bruno, "boutonModifier")->click();
        bouton(*alice, "boutonCreer")->click();
        champ(*bruno, "localisationEtage")->setText(QStringLiteral("4"));
        bouton(*bruno, "boutonCreer")->click();
        QVERIFY(choix.isEmpty());
        QCOMPARE(alertes(), QString());
        QCOMPARE(stocke("SAL_ETAGE"), QStringLiteral("4"));
    }

    void aRoomDeletedMeanwhile_data()
    {
        QTest::addColumn<QString>("quand");
        QTest::addColumn<QString>("message");
        QTest::newRow("while it is modified") << "save"
                                              << "vos modifications ne peuvent pas être enregistrées.";
        QTest::newRow("before its modification begins") << "modify"
                                                        << "elle ne peut plus être modifiée.";
        QTest::newRow("deleted twice") << "delete"
                                       << "";
    }

    void aRoomDeletedMeanwhile()
    {
        QFETCH(QString, quand);
        QFETCH(QString, message);
        if (quand == u"save")
            bouton(*bruno, "boutonModifier")->click();
        bouton(*alice, "boutonSupprimer")->click();
        QCOMPARE(alertes(), QString());
        QCOMPARE(
            db->scalar(QStringLiteral("SELECT COUNT(*) FROM SOLMA.SALLES WHERE SAL_NUMERO = ?"), {numero})
                .toInt(),
            0);

        bouton(*bruno, quand == u"save"     ? "boutonCreer"
                       : quand == u"modify" ? "boutonModifier"
                                            : "boutonSupprimer")
            ->click();
        const QList<TestDatabase::Alert> vues = db->takeAlerts();
        QCOMPARE(vues.size(), 1);
        const QString attendu = message.isEmpty()
                                    ? QStringLiteral("Cette salle a déjà été supprimée par alice le ")
                                    : QStringLiteral("Cette salle a été supprimée par alice le ");
        QVERIFY2(vues.first().message.startsWith(attendu), qPrintable(vues.first().message));
        QVERIFY2(vues.first().message.endsWith(message.isEmpty() ? QStringLiteral(".") : message),
                 qPrintable(vues.first().message));
        // The list no longer offers the room; nothing is being typed.
        QVERIFY(bruno->tables().tableSalles.displayedObjects().isEmpty());
        QCOMPARE(bruno->etat(), Etat::repos);
        QVERIFY(!bouton(*bruno, "boutonCreer")->isChecked());
        QVERIFY(choix.isEmpty());
    }
};

class TestRoomConflictOnSQLite : public TestRoomConflict
{
    Q_OBJECT
public:
    TestRoomConflictOnSQLite() : TestRoomConflict(TestDatabase::Backend::SQLite) {}
};

class TestRoomConflictOnPostgreSQL : public TestRoomConflict
{
    Q_OBJECT
public:
    TestRoomConflictOnPostgreSQL() : TestRoomConflict(TestDatabase::Backend::PostgreSQL) {}
};

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    int status = 0;
    if (TestDatabase::backendSelected(TestDatabase::Backend::SQLite)) {
        TestRoomConflictOnSQLite test;
        status |= QTest::qExec(&test, argc, argv);
    }
    if (TestDatabase::backendSelected(TestDatabase::Backend::PostgreSQL)) {
        TestRoomConflictOnPostgreSQL test;
        status |= QTest::qExec(&test, argc, argv);
    }
    return status;
}

#include "tst_RoomConflict.moc"
