// Two users save the same room at the same moment on the server, each in a process of its own: one changes
// an equipment line, the other the floor, so that neither save's first transaction sees the other's change
// by itself. Whichever goes first, the other finds the room changed and writes nothing ("Annuler"): nothing
// of the first save is lost. Both at once, and each a little before the other with both saves slowed down
// once they hold the room, so that the second save begins while the first is still writing.

#include "RoomsFixture.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>
#include <cstdlib>
#include <iterator>
#include <memory>

class TestRoomConflictProcesses : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> db;
    qint64 numero = 0;

    QString stocke(const QString &sql) { return db->scalar(sql, {numero}).toString(); }

private slots:
    void init()
    {
        LOCAVIA_REQUIRE_BACKEND(TestDatabase::Backend::PostgreSQL);
        db = std::make_unique<TestDatabase>(TestDatabase::Backend::PostgreSQL);
        QVERIFY2(db->isValid(), qPrintable(db->error()));
        roomstest::materielDeReference(*db);
        QCOMPARE(db->addBuilding(QStringLiteral("SCI"), QStringLiteral("SCIENCES")), QStringLiteral("SCI"));
        numero = db->addRoom(QStringLiteral("SCI"), QStringLiteral("1"), QStringLiteral("A12"),
                             {{"salReservable", "N"}});
        QVERIFY(numero > 0);
        QVERIFY(db->dataBus().executeProcedure(
            QStringLiteral("insDetailSalle"),
            {{"salnumero", numero}, {"tavtype", 2}, {"dsapourcentage", 3}, {"uniordre", 1}}));
    }
    void cleanup() { db.reset(); }

    void twoSavesAtOnceLoseNothing()
    {
        const QString client =
            QCoreApplication::applicationDirPath() + QStringLiteral("/locavia_room_conflict_client");
        const QString url = db->connectionDictionary().value(QStringLiteral("URL")).toString();
        struct Tour {
            int decalage; // how long the floor's save starts after the equipment's (negative: before), ms
            int pause;    // how long each save waits once it holds the room, ms
        };
        const Tour tours[] = {{0, 0}, {0, 0}, {100, 400}, {-100, 400}};
        for (int tour = 0; tour < int(std::size(tours)); ++tour) {
            const QString etageAvant = stocke("SELECT SAL_ETAGE FROM SOLMA.SALLES WHERE SAL_NUMERO = ?");
            const QString quantiteAvant =
                stocke("SELECT DSA_POURCENTAGE FROM DETAIL_SALLE WHERE SAL_NUMERO = ?");
            const QString etage = QString::number(10 + tour);
            const QString quantite = QString::number(20 + tour);
            const qint64 repere =
                db->scalar(QStringLiteral("SELECT MAX(HIS_ORDRE) FROM HISTORIQUE")).toLongLong();

            std::unique_ptr<QProcess> processus[2];
            const QStringList changements[2] = {{"--quantite", quantite}, {"--etage", etage}};
            const char *logins[2] = {"alice", "bruno"};
            for (int i = 0; i < 2; ++i) {
                processus[i] = std::make_unique<QProcess>();
                processus[i]->setProcessChannelMode(QProcess::ForwardedErrorChannel);
                processus[i]->start(client, QStringList{"--url", url, "--login", logins[i], "--porte", "A12",
                                                        "--pause", QString::number(tours[tour].pause)} +
                                                changements[i]);
                QVERIFY(processus[i]->waitForStarted(30000));
            }
            for (auto &p : processus) {
                while (!p->canReadLine())
                    QVERIFY2(p->waitForReadyRead(60000), "a client never got ready");
                QCOMPARE(p->readLine().trimmed(), QByteArray("pret"));
            }
            QProcess &premier = tours[tour].decalage >= 0 ? *processus[0] : *processus[1];
            QProcess &second = tours[tour].decalage >= 0 ? *processus[1] : *processus[0];
            premier.write("go\n");
            premier.waitForBytesWritten(1000);
            QThread::msleep(ulong(std::abs(tours[tour].decalage)));
            second.write("go\n");
            second.waitForBytesWritten(1000);
            QJsonObject rapports[2];
            for (int i = 0; i < 2; ++i) {
                QVERIFY(processus[i]->waitForFinished(60000));
                rapports[i] =
                    QJsonDocument::fromJson(processus[i]->readAllStandardOutput().trimmed()).object();
                QVERIFY2(rapports[i].value("alertes").toArray().isEmpty(),
                         qPrintable(QJsonDocument(rapports[i]).toJson()));
            }
            const bool conflitQuantite = rapports[0].value("conflit").toBool();
            const bool conflitEtage = rapports[1].value("conflit").toBool();
            QVERIFY2(
                conflitQuantite != conflitEtage,
                qPrintable(
                    QStringLiteral("tour %1 : %2 / %3").arg(tour).arg(conflitQuantite).arg(conflitEtage)));
            // The first save whole, nothing of the second.
            const QString etageApres = stocke("SELECT SAL_ETAGE FROM SOLMA.SALLES WHERE SAL_NUMERO = ?");
            const QString quantiteApres =
                stocke("SELECT DSA_POURCENTAGE FROM DETAIL_SALLE WHERE SAL_NUMERO = ?");
            QCOMPARE(etageApres, conflitEtage ? etageAvant : etage);
            QCOMPARE(quantiteApres, conflitQuantite ? quantiteAvant : quantite);
            QCOMPARE(
                db->scalar(QStringLiteral("SELECT string_agg(DISTINCT HIS_UTILISATEUR, ',') FROM HISTORIQUE "
                                          "WHERE HIS_ORDRE > ?"),
                           {repere})
                    .toString(),
                QString::fromLatin1(conflitEtage ? "alice" : "bruno"));
        }
    }
};

QTEST_GUILESS_MAIN(TestRoomConflictProcesses)
#include "tst_RoomConflictProcesses.moc"
