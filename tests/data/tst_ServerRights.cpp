// Rights held by the server: a member of the clients' group who is not a room manager may read, but every
// write procedure refuses it when called by hand (psql), exactly as the client's rights test would refuse
// the user; once the account belongs to a group allowed to manage the rooms, the procedures write, and the
// change history records the manager's writes while staying closed to anyone's own.

#include "EOException.h"
#include "EOModelGroup.h"
#include "EOStoredProcedure.h"
#include "KORDataBusOC.h"
#include "TestDatabase.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QUrl>

class TestServerRights : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> db;
    QString m_login;

    // Runs SQL with psql as the plain member; answers what psql printed, errors included.
    QString asMember(const QString &sql)
    {
        QUrl url(db->connectionDictionary().value(QStringLiteral("URL")).toString());
        url.setUserName(m_login);
        QProcess psql;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PGPASSWORD"), QStringLiteral("commis-mdp"));
        environment.remove(QStringLiteral("PGPASSFILE"));
        psql.setProcessEnvironment(environment);
        psql.setProcessChannelMode(QProcess::MergedChannels);
        psql.start(QStringLiteral("psql"),
                   {QStringLiteral("-X"), QStringLiteral("-w"), QStringLiteral("-q"), QStringLiteral("-d"),
                    url.toString(), QStringLiteral("-f"), QStringLiteral("-")});
        if (!psql.waitForStarted(10000))
            return QStringLiteral("psql n'a pas démarré");
        psql.write(sql.toUtf8());
        psql.closeWriteChannel();
        psql.waitForFinished(60000);
        return QString::fromUtf8(psql.readAll());
    }

    // Every write procedure of the model, called with its arguments left out.
    static QString everyWriteProcedure(int *count)
    {
        const eo::EOModel *model = eo::EOModelGroup::defaultGroup().modelNamed(QStringLiteral("Locavia"));
        QString sql;
        *count = 0;
        for (const QString &name : model->storedProcedureNames()) {
            const eo::EOStoredProcedure *procedure = model->storedProcedureNamed(name);
            const QString function = procedure->externalName.isEmpty() ? name : procedure->externalName;
            sql += QStringLiteral("SELECT * FROM locavia.%1();\n").arg(function.toLower());
            ++*count;
        }
        return sql;
    }

private slots:
    void init()
    {
        LOCAVIA_REQUIRE_BACKEND(TestDatabase::Backend::PostgreSQL);
        db = std::make_unique<TestDatabase>(TestDatabase::Backend::PostgreSQL);
        QVERIFY2(db->isValid(), qPrintable(db->error()));
        m_login = QStringLiteral("commis_%1").arg(QCoreApplication::applicationPid());
        QVERIFY(db->exec(QStringLiteral("DROP ROLE IF EXISTS %1; CREATE ROLE %1 LOGIN PASSWORD 'commis-mdp' "
                                        "IN ROLE locavia_utilisateurs")
                             .arg(m_login)));
        QVERIFY(db->exec(QStringLiteral("INSERT INTO SOLMA.SOLMA_PARAMETRES (PARAM_KEY, PARAM_VALUE) VALUES "
                                        "('SALLE_STRUCTURE', 'SCI')")));
        QVERIFY(!db->addBuilding(QStringLiteral("SCI"), QStringLiteral("SCIENCES")).isEmpty());
    }

    void cleanup()
    {
        if (db && db->isValid())
            db->exec(QStringLiteral("DROP ROLE IF EXISTS %1").arg(m_login));
        db.reset();
    }

    void aPlainMemberReadsButWritesNothing_data()
    {
        QTest::addColumn<QString>("membership");
        QTest::newRow("no account") << QString();
        QTest::newRow("a group that does not manage rooms") << "G1";
    }

    void aPlainMemberReadsButWritesNothing()
    {
        QFETCH(QString, membership);
        if (!membership.isEmpty()) {
            QVERIFY(db->exec(
                QStringLiteral("INSERT INTO SOLMA.INDIVIDU (PERS_ID, NOM_USUEL) VALUES (7, 'Commis');"
                               "INSERT INTO SOLMA.REPART_COMPTE (CPT_LOGIN, PERS_ID) VALUES ('%1', 7);"
                               "INSERT INTO SOLMA.REPART_STRUCTURE (PERS_ID, C_STRUCTURE) "
                               "VALUES (7, '%2')")
                    .arg(m_login, membership)));
        }
        QVERIFY(asMember(QStringLiteral("SELECT 'salles : ' || COUNT(*) FROM locavia.SALLES_VIX;"))
                    .contains(QStringLiteral("salles : 0")));
        int procedures = 0;
        const QString output = asMember(everyWriteProcedure(&procedures));
        QVERIFY(procedures >= 19);
        QCOMPARE(output.count(QStringLiteral("Droits insuffisants : le compte « %1 »").arg(m_login)),
                 procedures);
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM SOLMA.LOCAL")).toInt(), 1);
    }

    void aRoomManagerWrites()
    {
        QVERIFY(db->exec(
            QStringLiteral("INSERT INTO SOLMA.INDIVIDU (PERS_ID, NOM_USUEL) VALUES (7, 'Commis');"
                           "INSERT INTO SOLMA.REPART_COMPTE (CPT_LOGIN, PERS_ID) VALUES ('%1', 7);"
                           "INSERT INTO SOLMA.REPART_STRUCTURE (PERS_ID, C_STRUCTURE) VALUES (7, 'SCI')")
                .arg(m_login)));
        const QString output = asMember(
            QStringLiteral("SELECT * FROM locavia.insunite(uniabrev => 'kg', unilibelle => 'kilogramme');"));
        QVERIFY2(!output.contains(QStringLiteral("ERR")), qPrintable(output));
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM UNITE")).toInt(), 1);
        // Writing by hand, outside the procedures, stays closed to the clients.
        QVERIFY(asMember(QStringLiteral("DELETE FROM locavia.UNITE;")).contains(QStringLiteral("ERR")));
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM UNITE")).toInt(), 1);
    }

    void aStatementTheRightsRefuseIsToldInFrench()
    {
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("permission denied for table salles.*DELETE FROM"));
        QString message;
        try {
            db->roomManagerBus().executeSQLQuery(QStringLiteral("DELETE FROM SOLMA.SALLES"));
        } catch (const eo::EOException &error) {
            message = error.message();
        }
        QVERIFY2(message.startsWith("Droits insuffisants") && message.contains("Demandez les droits"),
                 qPrintable(message));
    }

    void theHistoryRecordsAManagersWritesOnly()
    {
        // A manager's save through the program: the history names the application's login and the role.
        data::KORDataBusOC &manager = db->roomManagerBus();
        manager.setSessionLogin(QStringLiteral("durand"));
        QVariantMap result;
        QVERIFY(manager.executeProcedure(
            result, QStringLiteral("insSalle"),
            TestDatabase::roomArguments(QStringLiteral("SCI"), QStringLiteral("1"), QStringLiteral("A12"))));
        const qint64 salle = result.value(QStringLiteral("salNumero")).toLongLong();
        QVERIFY(salle > 0);
        const QString qui =
            QStringLiteral("SELECT string_agg(DISTINCT HIS_UTILISATEUR || ' ' || HIS_ROLE, ', ') "
                           "FROM locavia.HISTORIQUE WHERE SAL_NUMERO = ?");
        QVERIFY2(db->scalar(qui, {salle}).toString().startsWith(QStringLiteral("durand gestionnaire_")),
                 qPrintable(db->scalar(qui, {salle}).toString()));
        const int lignes = db->scalar(QStringLiteral("SELECT COUNT(*) FROM locavia.HISTORIQUE")).toInt();
        QVERIFY(lignes > 0);

        // A plain member writes no history of its own, by hand or through the triggers' function.
        const QStringList essais{
            QStringLiteral("INSERT INTO locavia.HISTORIQUE (HIS_DATE, HIS_TRANSACTION, HIS_TABLE, HIS_CHAMP, "
                           "HIS_OPERATION) VALUES (now(), 1, 'SALLES', 'SAL_PORTE', 'modification');"),
            QStringLiteral("SELECT locavia.historique_ecrire(%1, NULL, 'SALLES', NULL, 'modification', "
                           "'{\"sal_porte\": \"A12\"}'::jsonb, '{\"sal_porte\": \"Z99\"}'::jsonb, "
                           "ARRAY[]::text[], false);")
                .arg(salle),
            QStringLiteral("DELETE FROM locavia.HISTORIQUE;")};
        for (const QString &essai : essais)
            QVERIFY2(asMember(essai).contains(QStringLiteral("ERR")), qPrintable(essai));
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM locavia.HISTORIQUE")).toInt(), lignes);
    }
};

QTEST_GUILESS_MAIN(TestServerRights)
#include "tst_ServerRights.moc"
