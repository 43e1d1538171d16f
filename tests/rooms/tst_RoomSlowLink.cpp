// The room tab on the server through a slow link: a relay that holds every chunk 20 ms each way. What the
// user sees must not depend on the link (the alerts and the rollback of a refused save, the message of a
// connection lost in the middle of a transaction, the form after a move in the result list, even when the
// link fails while the room's lists are on their way), and the round trips that a save, a move, the tab's
// start-up and single calls cost are counted by the relay and by the adaptor alike.

#include "BugFixApplication.h"
#include "EOModelGroup.h"
#include "EOPostgreSQLAdaptor.h"
#include "LatencyRelay.h"
#include "PanelsFixture.h"
#include "RoomsFixture.h"
#include "SaveTransaction.h"

#include <QRegularExpression>

#include <QUrl>
#include <algorithm>

using rooms::Creation;
using rooms::Etat;
using namespace roomstest;

namespace
{

constexpr int Delay = 20;

QString texte(const QVariant &valeur)
{
    return valeur.toString();
}

} // namespace

class TestRoomSlowLink : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> db;
    Salles salles;
    std::unique_ptr<LatencyRelay> relais;
    std::unique_ptr<eo::EOEditingContext> contexte;
    std::unique_ptr<data::KORDataBusOC> busLent; // the test database through the relay

    eo::EOPostgreSQLAdaptor &adaptateur(data::KORDataBusOC &bus)
    {
        return *static_cast<eo::EOPostgreSQLAdaptor *>(bus.dataBusAdaptor());
    }

    // The relay's and the adaptor's counts of what body() costs; they must agree.
    qint64 allersRetours(data::KORDataBusOC &bus, const std::function<void()> &corps)
    {
        relais->resetRoundTrips();
        const qint64 avant = adaptateur(bus).roundTrips();
        corps();
        const qint64 vus = relais->roundTrips();
        const qint64 comptes = adaptateur(bus).roundTrips() - avant;
        if (vus != comptes)
            qWarning("relais %lld, adaptateur %lld", (long long)vus, (long long)comptes);
        return vus == comptes ? vus : -1;
    }

    QStringList alertesVues()
    {
        QStringList vues;
        for (const TestDatabase::Alert &alerte : db->takeAlerts())
            vues.append(alerte.title + QStringLiteral(": ") + alerte.message);
        return vues;
    }

    QVariant valeur(const QString &sql, const QVariantList &valeurs = {}) { return db->scalar(sql, valeurs); }

    // Every list of the form for two rooms: custodians and occupations that name groups, outlets, a
    // configuration, an equipment line, an office.
    void listesDesSalles()
    {
        QVERIFY(db->exec(
            QStringLiteral(
                "INSERT INTO SOLMA.DEPOSITAIRE (SAL_NUMERO, C_STRUCTURE) VALUES (%1, 'G1'), (%2, 'SCI');"
                "INSERT INTO DETAIL_POURCENTAGE (SAL_NUMERO, DET_TYPE, DET_POURCENTAGE, C_STRUCTURE) VALUES "
                "(%1, 1, 60, 'SCI'), (%1, 2, 40, 'G1'), (%2, 1, 100, 'SCI');"
                "INSERT INTO CONFIGURATION (SAL_NUMERO, CONF_LIBELLE, CONF_CAPACITE) VALUES (%1, 'Examen', "
                "20);"
                "INSERT INTO PRISES (SAL_NUMERO, PRI_CODE, PRI_TYPE) VALUES (%1, '101', 'I'), (%1, '102', "
                "'T');"
                "INSERT INTO DETAIL_SALLE (SAL_NUMERO, TAV_TYPE, DSA_POURCENTAGE, UNI_ORDRE) VALUES (%2, 2, "
                "30, "
                "1);"
                "INSERT INTO SOLMA.INDIVIDU (PERS_ID, NOM_USUEL, PRENOM) VALUES (77, 'Martin', 'Anne');"
                "INSERT INTO SOLMA.REPART_BUREAU (BUR_ORDRE, PERS_ID) VALUES (%1, 77)")
                .arg(salles.a12)
                .arg(salles.xa12)));
    }

    // A room tab on that data bus, its result list holding every bookable room.
    static void chercherTout(Creation &creation)
    {
        creation.initObjet();
        bouton(creation, "boutonRecherche")->click();
        bouton(creation, "boutonRecherche")->click();
    }

    // Where a room is in the result list; -1 when it is not there.
    static int ligneDe(Creation &creation, qint64 numero)
    {
        const QList<eo::EORecord> trouvees = creation.tables().tableSalles.displayedObjects();
        const auto salle = std::find_if(trouvees.cbegin(), trouvees.cend(), [numero](const eo::EORecord &s) {
            return s->valueForKey(QStringLiteral("salNumero")).toLongLong() == numero;
        });
        return salle == trouvees.cend() ? -1 : int(salle - trouvees.cbegin());
    }

    // Everything the form shows of a room: its fields, then the rows of its lists with the groups they name.
    static QStringList formulaire(Creation &creation)
    {
        QStringList vu;
        for (const QLineEdit *champ : creation.afficheVue()->findChildren<QLineEdit *>())
            vu.append(champ->objectName() + QLatin1Char('=') + champ->text());
        for (const QCheckBox *caseACocher : creation.afficheVue()->findChildren<QCheckBox *>())
            vu.append(caseACocher->objectName() + QLatin1Char('=') +
                      QString::number(caseACocher->isChecked()));
        for (const QComboBox *popUp : creation.afficheVue()->findChildren<QComboBox *>())
            vu.append(popUp->objectName() + QLatin1Char('=') + popUp->currentText());
        rooms::RoomDisplayGroups &t = creation.tables();
        for (const eo::EODisplayGroup *liste :
             {&t.tableDepositaire, &t.tablePrise, &t.tableConf, &t.tableDetailSalle,
              &t.tableDetailPourcentage, &t.tableRepartBureau}) {
            vu.append(QStringLiteral("%1 lignes").arg(liste->displayedObjects().size()));
            for (int r = 0; r < liste->rowCount(); ++r) {
                for (int c = 0; c < liste->columnCount(); ++c)
                    vu.append(liste->data(liste->index(r, c)).toString());
            }
        }
        return vu;
    }

    // A new room of building Droit with two equipment lines, two occupation lines and two outlets (numbered
    // from prise).
    void nouvelleSalle(Creation &creation, const QString &porte, int prise)
    {
        bouton(creation, "boutonCreer")->click();
        QCOMPARE(creation.etat(), Etat::creation);
        saisir(creation, "localisationBatiment", "Droit");
        saisir(creation, "localisationEtage", "3");
        saisir(creation, "localisationPorte", porte);
        saisir(creation, "typePopup", "Bureau");
        rooms::RoomDisplayGroups &t = creation.tables();
        t.tableDetailSalle.setObjectArray({ligne({{"tavType", 3}, {"dsaPourcentage", 4}, {"uniOrdre", 1}}),
                                           ligne({{"tavType", 5}, {"dsaPourcentage", 6}, {"uniOrdre", 2}})});
        t.tableDetailPourcentage.setObjectArray(
            {ligne({{"cStructure", "SCI"}, {"detType", 1}, {"detPourcentage", 30}}),
             ligne({{"cStructure", "SCI"}, {"detType", 2}, {"detPourcentage", 25}})});
        t.tablePrise.setObjectArray(
            {ligne({{"priCode", QString::number(prise)}, {"priType", "V"}, {"priOrdre", qint64(-1)}}),
             ligne({{"priCode", QString::number(prise + 1)}, {"priType", "I"}, {"priOrdre", qint64(-1)}})});
    }

    // What is stored of the room of a door: its equipment, occupations and outlets ("" when it is absent).
    QString salleStockee(const QString &porte)
    {
        const QVariant numero =
            valeur(QStringLiteral("SELECT SAL_NUMERO FROM SOLMA.SALLES WHERE SAL_PORTE = ?"), {porte});
        if (!numero.isValid() || numero.toString().isEmpty())
            return {};
        const auto compte = [&](const char *table) {
            return texte(valeur(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE SAL_NUMERO = ?")
                                    .arg(QString::fromLatin1(table)),
                                {numero}));
        };
        return QStringLiteral("matériels %1, occupations %2, prises %3")
            .arg(compte("DETAIL_SALLE"), compte("DETAIL_POURCENTAGE"), compte("PRISES"));
    }

private slots:
    void init()
    {
        LOCAVIA_REQUIRE_BACKEND(TestDatabase::Backend::PostgreSQL);
        db = std::make_unique<TestDatabase>(TestDatabase::Backend::PostgreSQL);
        QVERIFY2(db->isValid(), qPrintable(db->error()));
        salles = peupler(*db);
        materielDeReference(*db);
        const QVariantMap direct = db->model().connectionDictionary();
        const QUrl serveur(direct.value(QStringLiteral("URL")).toString());
        relais = std::make_unique<LatencyRelay>(serveur.host(), quint16(serveur.port(5432)), Delay);
        QVERIFY(relais->port() != 0);
        // The adaptor keeps the dictionary the model has when the data bus is made.
        const QVariantMap lent = relais->relayedDictionary(direct);
        db->model().setConnectionDictionary(lent);
        contexte = std::make_unique<eo::EOEditingContext>(eo::EOModelGroup::defaultGroup());
        busLent = std::make_unique<data::KORDataBusOC>();
        busLent->initDataBusWithModel(db->model().name(), contexte.get());
        db->model().setConnectionDictionary(direct);
        // The connection's own opening is not what the tests count.
        busLent->executeSQLQuery(QStringLiteral("SELECT 1"));
        QCOMPARE(relais->relayedUrl(QStringLiteral("postgresql://u@10.0.0.1:5999/base?sslmode=disable")),
                 QStringLiteral("postgresql://u@127.0.0.1:%1/base?sslmode=disable").arg(relais->port()));
    }

    void cleanup()
    {
        // The server's test database is emptied between tests, not its triggers.
        if (db && db->isValid())
            db->exec(QStringLiteral("DROP TRIGGER IF EXISTS panne_simulee ON locavia.DETAIL_SALLE"));
        busLent.reset();
        contexte.reset();
        relais.reset();
        db.reset();
    }

    // Each query waits for its answer; a transaction's first call travels with its BEGIN, its commit alone.
    void singleCalls_data()
    {
        QTest::addColumn<int>("requetes");
        QTest::addColumn<int>("procedures"); // each in a transaction of its own
        QTest::addColumn<int>("attendus");

        QTest::newRow("one query") << 1 << 0 << 1;
        QTest::newRow("three queries") << 3 << 0 << 3;
        QTest::newRow("one procedure") << 0 << 1 << 2;
        QTest::newRow("two procedures and a query") << 1 << 2 << 5;
    }

    void singleCalls()
    {
        QFETCH(int, requetes);
        QFETCH(int, procedures);
        QFETCH(int, attendus);
        const qint64 vus = allersRetours(*busLent, [&] {
            for (int i = 0; i < requetes; ++i)
                busLent->executeSQLQuery(QStringLiteral("SELECT ?"), {i});
            for (int i = 0; i < procedures; ++i) {
                QVERIFY(busLent->executeProcedure(
                    QStringLiteral("insUnite"),
                    {{QStringLiteral("uniabrev"), QStringLiteral("r%1").arg(i)},
                     {QStringLiteral("unilibelle"), QStringLiteral("relais %1").arg(i)}}));
            }
        });
        QCOMPARE(vus, qint64(attendus));
        QCOMPARE(valeur(QStringLiteral("SELECT COUNT(*) FROM UNITE WHERE UNI_ABREV LIKE 'r%'")).toInt(),
                 procedures);
        QCOMPARE(alertesVues(), QStringList());
    }

    // A save whose equipment lines are refused goes back on each line's step and shows the same alerts, and
    // stores the same, through the slow link as on the loopback.
    void aSaveRefusedAtItsThirdCallAsOnTheLoopback()
    {
        QVERIFY(db->exec(
            QStringLiteral("CREATE FUNCTION locavia.panne_simulee() RETURNS trigger LANGUAGE plpgsql AS "
                           "$$ BEGIN RAISE EXCEPTION 'Panne simulée'; END $$;"
                           "CREATE TRIGGER panne_simulee BEFORE INSERT ON locavia.DETAIL_SALLE FOR EACH ROW "
                           "EXECUTE FUNCTION locavia.panne_simulee();")));
        QMap<QString, QStringList> alertes;
        QMap<QString, QString> stockees;
        for (const auto &[porte, bus] : {std::pair<QString, data::KORDataBusOC *>{"P1", &db->dataBus()},
                                         std::pair<QString, data::KORDataBusOC *>{"P2", busLent.get()}}) {
            Creation creation(*bus);
            creation.initObjet();
            nouvelleSalle(creation, porte, porte == u"P1" ? 710 : 720);
            bouton(creation, "boutonCreer")->click();
            QCOMPARE(creation.etat(), Etat::salleAffichee);
            alertes.insert(porte, alertesVues());
            stockees.insert(porte, salleStockee(porte));
        }
        QCOMPARE(alertes.value("P2"), alertes.value("P1"));
        // Each equipment line is a step of its own: each refused line is told.
        QCOMPARE(alertes.value("P2").size(), 4);
        QVERIFY(alertes.value("P2").first().startsWith(QStringLiteral("ERREUR...: ")));
        QVERIFY(alertes.value("P2").first().contains(QStringLiteral("Panne simulée")));
        QCOMPARE(alertes.value("P2").last(),
                 QStringLiteral("ATTENTION: Probleme enregistrement de materiels !!"));
        QCOMPARE(stockees.value("P2"), QStringLiteral("matériels 0, occupations 2, prises 2"));
        QCOMPARE(stockees.value("P1"), stockees.value("P2"));
    }

    // The link fails while a transaction's call is on its way: the user reads that the connection was lost
    // and that nothing was stored, and nothing of the transaction is; the next call opens a new connection.
    void aConnectionLostInATransactionWritesNothing()
    {
        const auto unite = [](const QString &abreviation) {
            return QVariantMap{{QStringLiteral("uniabrev"), abreviation},
                               {QStringLiteral("unilibelle"), QStringLiteral("coupure")}};
        };
        busLent->beginTransaction();
        QVERIFY(busLent->executeProcedureSansTransaction(QStringLiteral("insUnite"), unite("c1")));
        relais->dropNextRequest();
        QVERIFY(!busLent->executeProcedureSansTransaction(QStringLiteral("insUnite"), unite("c2")));
        busLent->rollbackTransaction();
        QCOMPARE(relais->drops(), 1);
        const QStringList alertes = alertesVues();
        QCOMPARE(alertes.size(), 1);
        QVERIFY2(
            alertes.first().startsWith(
                QStringLiteral("ERREUR...: La connexion au serveur de base de données « 127.0.0.1:%1 » a été "
                               "perdue.")
                    .arg(relais->port())),
            qPrintable(alertes.first()));
        QVERIFY(alertes.first().contains(QStringLiteral("rien n'a été enregistré")));
        QCOMPARE(valeur(QStringLiteral("SELECT COUNT(*) FROM UNITE WHERE UNI_LIBELLE = 'coupure'")).toInt(),
                 0);

        QVERIFY(busLent->executeProcedure(QStringLiteral("insUnite"), unite("c3")));
        QCOMPARE(valeur(QStringLiteral("SELECT COUNT(*) FROM UNITE WHERE UNI_LIBELLE = 'coupure'")).toInt(),
                 1);
    }

    // The link fails as the save's writes and its commit are on their way, the request lost or the answer
    // lost after the server did the work: a new connection asks the server what became of the save. Lost
    // before the server had it, nothing is stored, the user hears so and the form stays as typed; lost after,
    // the room is stored whole and shown. Either way, clicking again stores the room once.
    void aLinkLostAtTheCommitIsAskedAgain_data()
    {
        QTest::addColumn<bool>("reponsePerdue");
        QTest::addColumn<QString>("alerte");
        QTest::addColumn<int>("etat");
        QTest::newRow("the request lost")
            << false << "confirme que rien n'a été enregistré" << int(Etat::creation);
        QTest::newRow("the answer lost")
            << true << "confirme que tout a été enregistré" << int(Etat::salleAffichee);
    }

    void aLinkLostAtTheCommitIsAskedAgain()
    {
        QFETCH(bool, reponsePerdue);
        QFETCH(QString, alerte);
        QFETCH(int, etat);
        Creation creation(*busLent);
        creation.initObjet();
        nouvelleSalle(creation, QStringLiteral("N41"), 740);
        // The steps and the commit go in the round trip that follows the journal's "commit".
        data::SaveTransaction::setJournal([&](const QString &evenement) {
            if (evenement != u"commit")
                return;
            if (reponsePerdue)
                relais->dropNextAnswer();
            else
                relais->dropNextRequest();
        });
        bouton(creation, "boutonCreer")->click();
        data::SaveTransaction::setJournal({});
        QCOMPARE(relais->drops(), 1);
        QCOMPARE(int(creation.etat()), etat);
        const QStringList alertes = alertesVues();
        QVERIFY2(alertes.join('\n').contains(alerte), qPrintable(alertes.join('\n')));
        QCOMPARE(salleStockee(QStringLiteral("N41")),
                 reponsePerdue ? QStringLiteral("matériels 2, occupations 2, prises 2") : QString());

        if (!reponsePerdue) {
            bouton(creation, "boutonCreer")->click();
            QCOMPARE(alertesVues(), QStringList());
            QCOMPARE(creation.etat(), Etat::salleAffichee);
        }
        QCOMPARE(salleStockee(QStringLiteral("N41")), QStringLiteral("matériels 2, occupations 2, prises 2"));
        QCOMPARE(valeur(QStringLiteral("SELECT COUNT(*) FROM SOLMA.SALLES WHERE SAL_PORTE = 'N41'")).toInt(),
                 1);
    }

    // The server cannot be reached at all after the link broke at the commit: the save is told as uncertain
    // and the form stays as typed; once the server answers again, the next click finds the room stored and
    // shows it instead of storing it a second time.
    void anUnconfirmedSaveIsNeverMadeTwice()
    {
        Creation creation(*busLent);
        creation.initObjet();
        nouvelleSalle(creation, QStringLiteral("N42"), 760);
        data::SaveTransaction::setJournal([&](const QString &evenement) {
            if (evenement != u"commit")
                return;
            relais->dropNextAnswer();
            relais->refuseConnections(true);
        });
        bouton(creation, "boutonCreer")->click();
        data::SaveTransaction::setJournal({});
        QCOMPARE(creation.etat(), Etat::creation);
        QStringList alertes = alertesVues();
        QVERIFY2(alertes.size() == 1 &&
                     alertes.first().contains(QStringLiteral("a peut-être été fait, ou pas")),
                 qPrintable(alertes.join('\n')));
        // Still unreachable: nothing is written, the user hears so.
        bouton(creation, "boutonCreer")->click();
        QCOMPARE(creation.etat(), Etat::creation);
        alertes = alertesVues();
        QVERIFY2(alertes.size() == 1 && alertes.first().contains(QStringLiteral("ne répond toujours pas")),
                 qPrintable(alertes.join('\n')));
        // Back: the room was stored, and is shown rather than stored again.
        relais->refuseConnections(false);
        bouton(creation, "boutonCreer")->click();
        QCOMPARE(creation.etat(), Etat::salleAffichee);
        alertes = alertesVues();
        QVERIFY2(alertes.size() == 1 &&
                     alertes.first().contains(QStringLiteral("pas enregistrée une seconde fois")),
                 qPrintable(alertes.join('\n')));
        QCOMPARE(valeur(QStringLiteral("SELECT COUNT(*) FROM SOLMA.SALLES WHERE SAL_PORTE = 'N42'")).toInt(),
                 1);
        QCOMPARE(
            texte(creation.tables().tableSalles.selectedObject()->valueForKey(QStringLiteral("salPorte"))),
            QStringLiteral("N42"));
    }

    // What a save and a move in the result list cost on the slow link, counted by the relay.
    void roundTripsOfASaveAndOfAMove()
    {
        Creation creation(*busLent);
        creation.initObjet();
        nouvelleSalle(creation, QStringLiteral("R1"), 730);
        const qint64 sauvegarde = allersRetours(*busLent, [&] { bouton(creation, "boutonCreer")->click(); });
        QCOMPARE(creation.etat(), Etat::salleAffichee);
        QCOMPARE(alertesVues(), QStringList());
        QCOMPARE(salleStockee(QStringLiteral("R1")), QStringLiteral("matériels 2, occupations 2, prises 2"));
        QVERIFY2(sauvegarde > 0 && sauvegarde <= SaveRoundTrips, qPrintable(QString::number(sauvegarde)));

        // The same room modified: the room held and checked, then written.
        bouton(creation, "boutonModifier")->click();
        QCOMPARE(creation.etat(), Etat::modification);
        saisir(creation, "localisationEtage", "4");
        const qint64 modification =
            allersRetours(*busLent, [&] { bouton(creation, "boutonCreer")->click(); });
        QCOMPARE(creation.etat(), Etat::salleAffichee);
        QCOMPARE(alertesVues(), QStringList());
        QCOMPARE(texte(valeur(QStringLiteral("SELECT SAL_ETAGE FROM SOLMA.SALLES WHERE SAL_PORTE = 'R1'"))),
                 QStringLiteral("4"));
        QVERIFY2(modification > 0 && modification <= ModificationRoundTrips,
                 qPrintable(QString::number(modification)));
        // The room was let go with the commit: another session may hold it at once.
        QCOMPARE(
            db->query(QStringLiteral("SELECT 1 FROM SOLMA.SALLES WHERE SAL_PORTE = 'R1' FOR UPDATE NOWAIT"))
                .size(),
            1);

        bouton(creation, "boutonRecherche")->click();
        bouton(creation, "boutonRecherche")->click();
        eo::EODisplayGroup &trouvees = creation.tables().tableSalles;
        QVERIFY(trouvees.displayedObjects().size() > 2);
        const qint64 deplacement = allersRetours(*busLent, [&] { trouvees.setSelectionIndexes({2}); });
        QCOMPARE(
            texte(creation.tables().tableSalles.selectedObject()->valueForKey(QStringLiteral("salPorte"))),
            texte(trouvees.displayedObjects().at(2)->valueForKey(QStringLiteral("salPorte"))));
        QVERIFY2(deplacement > 0 && deplacement <= MoveRoundTrips, qPrintable(QString::number(deplacement)));
    }

    // Every move shows through the slow link what it shows on the loopback, the groups that the custodian and
    // the occupations name included, in at most two round trips: the room's lists at once, then the groups.
    void aMoveShowsWhatTheLoopbackShows()
    {
        listesDesSalles();
        Creation proche(db->dataBus());
        Creation lointaine(*busLent);
        chercherTout(proche);
        chercherTout(lointaine);
        eo::EODisplayGroup &ici = proche.tables().tableSalles;
        eo::EODisplayGroup &la = lointaine.tables().tableSalles;
        const int nombre = int(la.displayedObjects().size());
        QVERIFY(nombre > 3);
        QCOMPARE(int(ici.displayedObjects().size()), nombre);
        const int a12 = ligneDe(lointaine, salles.a12);
        const int xa12 = ligneDe(lointaine, salles.xa12);
        QVERIFY(a12 > 0 && xa12 > 0);
        int avecGroupes = 0;
        // Back and forth from the first room, selected by the search: rooms with lists and without follow
        // each other.
        for (const int ligne : {1, a12, 0, xa12, a12, 1}) {
            ici.setSelectionIndexes({ligne});
            const qint64 vus = allersRetours(*busLent, [&] { la.setSelectionIndexes({ligne}); });
            const QStringList attendu = formulaire(proche);
            QCOMPARE(formulaire(lointaine), attendu);
            QVERIFY2(vus > 0 && vus <= MoveRoundTrips, qPrintable(QString::number(vus)));
            if (attendu.contains(QStringLiteral("Dépositaires sciences")) ||
                attendu.contains(QStringLiteral("Faculté des sciences")))
                ++avecGroupes;
        }
        QCOMPARE(avecGroupes, 3);
        QCOMPARE(alertesVues(), QStringList());
    }

    // The link fails while a move's lists are on their way: nothing is said, the lists are read again on a
    // new connection and the form is the one the loopback shows.
    void aMoveWhoseListsLoseTheLinkStillFillsTheForm()
    {
        listesDesSalles();
        Creation proche(db->dataBus());
        Creation lointaine(*busLent);
        chercherTout(proche);
        chercherTout(lointaine);
        const int ligne = ligneDe(lointaine, salles.a12);
        QVERIFY(ligne > 0);
        proche.tables().tableSalles.setSelectionIndexes({ligne});
        relais->dropNextRequest();
        lointaine.tables().tableSalles.setSelectionIndexes({ligne});
        QCOMPARE(relais->drops(), 1);
        QCOMPARE(alertesVues(), QStringList());
        QCOMPARE(formulaire(lointaine), formulaire(proche));
        QVERIFY(formulaire(lointaine).contains(QStringLiteral("101")));
    }

    // The room tab's start-up reads the room types and the buildings at once.
    void theTabStartsInOneRoundTrip()
    {
        const qint64 vus = allersRetours(*busLent, [&] {
            Creation creation(*busLent);
            creation.initObjet();
            QCOMPARE(creation.tables().tableBatiments.displayedObjects().size(), 6);
        });
        QCOMPARE(vus, StartupRoundTrips);
    }

private:
    // What they cost now. A save: its first reads at once, the record's first call, its last calls with the
    // commit, every other transaction at once, then the stored room and its lists at once and the groups
    // they name. A modification holds and reads the room at once and lets it go with its last writes. A
    // move reads the room's lists at once, then the groups they name.
    static constexpr qint64 SaveRoundTrips = 5;
    static constexpr qint64 MoveRoundTrips = 2;
    static constexpr qint64 StartupRoundTrips = 1;
    static constexpr qint64 ModificationRoundTrips = 5;
};

int main(int argc, char *argv[])
{
    widgets::BugFixApplication application(argc, argv);
    TestRoomSlowLink test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_RoomSlowLink.moc"
