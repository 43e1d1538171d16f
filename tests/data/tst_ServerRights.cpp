// Rights held by the server, for each kind of login a department makes (docs/server.md): the suite itself
// connects as a room manager, never as the schemas' owner or a superuser; a room manager writes through
// the procedures only; a plain member of the clients' group reads, and every write procedure refuses it
// when called by hand (psql); a login outside the group reads nothing. Nobody but the triggers writes the
// change history, nobody erases it, and nobody may turn the triggers' function on a table of his own to
// write rows in another user's name.

#include "EOException.h"
#include "EOModelGroup.h"
#include "EOStoredProcedure.h"
#include "KORDataBusOC.h"
#include "TestDatabase.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QUrl>

using Role = TestDatabase::Role;
Q_DECLARE_METATYPE(TestDatabase::Role)

class TestServerRights : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> db;

    // Runs SQL with psql under a role's login (its password from the cluster's password file); answers
    // what psql printed, errors included with their SQL state (42501: a right is missing).
    QString as(Role role, const QString &sql)
    {
        QProcess psql;
        psql.setProcessChannelMode(QProcess::MergedChannels);
        psql.start(QStringLiteral("psql"),
                   {QStringLiteral("-X"), QStringLiteral("-w"), QStringLiteral("-q"), QStringLiteral("-At"),
                    QStringLiteral("-d"),
                    db->connectionDictionary(role).value(QStringLiteral("URL")).toString(),
                    QStringLiteral("-f"), QStringLiteral("-")});
        if (!psql.waitForStarted(10000))
            return QStringLiteral("psql n'a pas démarré");
        psql.write("\\set VERBOSITY verbose\n" + sql.toUtf8());
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
        for (const Role role : {Role::Member, Role::Outsider})
            QVERIFY2(!TestDatabase::login(role).isEmpty(), "the cluster names no plain member or outsider");
        db = std::make_unique<TestDatabase>(TestDatabase::Backend::PostgreSQL);
        QVERIFY2(db->isValid(), qPrintable(db->error()));
        QVERIFY(!db->addBuilding(QStringLiteral("SCI"), QStringLiteral("SCIENCES")).isEmpty());
    }

    void cleanup() { db.reset(); }

    // The suite meets the server as the department's users do: were its connection the schemas' owner, a
    // member of the owner's role or a superuser, every right the procedures and grants miss would go unseen.
    void theSuiteConnectsAsARoomManager_data()
    {
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("answer");
        QTest::newRow("superuser") << "SELECT rolsuper::text FROM pg_roles WHERE rolname = current_user"
                                   << "false";
        QTest::newRow("owner of a schema")
            << "SELECT bool_or(nspowner = (SELECT oid FROM pg_roles WHERE rolname = current_user))::text "
               "FROM pg_namespace WHERE nspname IN ('locavia', 'solma')"
            << "false";
        QTest::newRow("member of the owner's role")
            << "SELECT bool_or(pg_has_role(current_user, nspowner, 'MEMBER'))::text FROM pg_namespace "
               "WHERE nspname IN ('locavia', 'solma')"
            << "false";
        QTest::newRow("member of the clients' group")
            << "SELECT pg_has_role(current_user, 'locavia_utilisateurs', 'MEMBER')::text"
            << "true";
        QTest::newRow("a room manager by the reference schema")
            << "SELECT 'ok' FROM (SELECT locavia.check_rights()) AS rights"
            << "ok";
    }

    void theSuiteConnectsAsARoomManager()
    {
        QFETCH(QString, question);
        QFETCH(QString, answer);
        const QList<QVariantMap> rows = db->dataBus().executeSQLQuery(question);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().value(QStringLiteral("Attribute0")).toString(), answer);
    }

    // What each login may do, by hand as in psql.
    void whatEachRoleMay_data()
    {
        QTest::addColumn<Role>("role");
        QTest::addColumn<bool>("reads");
        QTest::addColumn<bool>("writesThroughProcedures");
        QTest::newRow("room manager") << Role::RoomManager << true << true;
        QTest::newRow("plain member") << Role::Member << true << false;
        QTest::newRow("outsider") << Role::Outsider << false << false;
    }

    void whatEachRoleMay()
    {
        QFETCH(Role, role);
        QFETCH(bool, reads);
        QFETCH(bool, writesThroughProcedures);
        const QString read = as(role, QStringLiteral("SELECT 'locaux : ' || COUNT(*) FROM solma.LOCAL;"));
        QVERIFY2(read.contains(QStringLiteral("locaux : 1")) == reads, qPrintable(read));

        const QString write = as(
            role,
            QStringLiteral("SELECT * FROM locavia.insunite(uniabrev => 'kg', unilibelle => 'kilogramme');"));
        QVERIFY2(write.contains(QStringLiteral("ERROR")) != writesThroughProcedures, qPrintable(write));

        // Writing by hand, outside the procedures, stays closed to every client.
        for (const QString &sql : {QStringLiteral("DELETE FROM locavia.UNITE;"),
                                   QStringLiteral("UPDATE solma.LOCAL SET C_LOCAL = 'XYZ';"),
                                   QStringLiteral("INSERT INTO locavia.UNITE (UNI_ABREV, UNI_LIBELLE) "
                                                  "VALUES ('g', 'gramme');")})
            QVERIFY2(as(role, sql).contains(QStringLiteral("ERROR:  42501")), qPrintable(sql));
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM UNITE")).toInt(),
                 writesThroughProcedures ? 1 : 0);
        QCOMPARE(db->scalar(QStringLiteral("SELECT C_LOCAL FROM SOLMA.LOCAL")).toString(),
                 QStringLiteral("SCI"));
    }

    // A save holds its room with a function that only a room manager may call; whatever a plain member
    // takes (the advisory lock the hold used to be, a lock of the table), a manager's hold goes through.
    void onlyARoomManagerHoldsARoom()
    {
        const qint64 room = db->addRoom(QStringLiteral("SCI"), QStringLiteral("1"), QStringLiteral("A12"));
        QVERIFY(room > 0);
        const QString hold = QStringLiteral("SELECT locavia.tenir_salle('%1');").arg(room);
        QVERIFY2(as(Role::Member, hold).contains(QStringLiteral("Droits insuffisants")), "plain member");
        QVERIFY2(as(Role::Outsider, hold).contains(QStringLiteral("ERROR:  42501")), "outsider");

        data::KORDataBusOC &member = db->dataBus(Role::Member);
        member.beginTransaction();
        member.executeSQLQuery(QStringLiteral("SELECT pg_advisory_lock(21313, ?)"), {room});
        member.executeSQLQuery(QStringLiteral("LOCK TABLE solma.SALLES IN ACCESS SHARE MODE"));
        db->dataBus().beginTransaction();
        const QList<QVariantMap> held =
            db->dataBus().executeSQLQuery(QStringLiteral("SELECT tenir_salle(?)"), {room});
        db->dataBus().rollbackTransaction();
        member.rollbackTransaction();
        QCOMPARE(held.value(0).value(QStringLiteral("Attribute0")).toInt(), 1);
    }

    void aPlainMemberWritesNothing_data()
    {
        QTest::addColumn<QString>("membership");
        QTest::newRow("no account") << QString();
        QTest::newRow("a group that does not manage rooms") << "G1";
    }

    void aPlainMemberWritesNothing()
    {
        QFETCH(QString, membership);
        const QString login = TestDatabase::login(Role::Member);
        if (!membership.isEmpty()) {
            QVERIFY(db->exec(
                QStringLiteral("INSERT INTO SOLMA.INDIVIDU (PERS_ID, NOM_USUEL) VALUES (7, 'Commis');"
                               "INSERT INTO SOLMA.REPART_COMPTE (CPT_LOGIN, PERS_ID) VALUES ('%1', 7);"
                               "INSERT INTO SOLMA.REPART_STRUCTURE (PERS_ID, C_STRUCTURE) "
                               "VALUES (7, '%2')")
                    .arg(login, membership)));
        }
        int procedures = 0;
        const QString output = as(Role::Member, everyWriteProcedure(&procedures));
        QVERIFY(procedures >= 19);
        QCOMPARE(output.count(QStringLiteral("Droits insuffisants : le compte « %1 »").arg(login)),
                 procedures);
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM SOLMA.LOCAL")).toInt(), 1);
    }

    void aStatementTheRightsRefuseIsToldInFrench()
    {
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("permission denied for table salles.*DELETE FROM"));
        QString message;
        try {
            db->dataBus().executeSQLQuery(QStringLiteral("DELETE FROM SOLMA.SALLES"));
        } catch (const eo::EOException &error) {
            message = error.message();
        }
        QVERIFY2(message.startsWith("Droits insuffisants") && message.contains("Demandez les droits"),
                 qPrintable(message));
    }

    void theHistoryRecordsAManagersWrites()
    {
        // A manager's save through the program: the history names the application's login and the role.
        data::KORDataBusOC &manager = db->dataBus();
        manager.setSessionLogin(QStringLiteral("durand"));
        QVariantMap result;
        QVERIFY(manager.executeProcedure(
            result, QStringLiteral("insSalle"),
            TestDatabase::roomArguments(QStringLiteral("SCI"), QStringLiteral("1"), QStringLiteral("A12"))));
        const qint64 salle = result.value(QStringLiteral("salNumero")).toLongLong();
        QVERIFY(salle > 0);
        QCOMPARE(
            db->scalar(QStringLiteral("SELECT string_agg(DISTINCT HIS_UTILISATEUR || ' ' || HIS_ROLE, ', ') "
                                      "FROM locavia.HISTORIQUE WHERE SAL_NUMERO = ?"),
                       {salle})
                .toString(),
            QStringLiteral("durand ") + TestDatabase::login(Role::RoomManager));
    }

    // Forging or erasing the history, by hand: each attempt fails and leaves the history as it was. The
    // first is the triggers' function attached to a temporary table named like the rooms, with another
    // user's login given to the session.
    void nobodyForgesOrErasesTheHistory_data()
    {
        QTest::addColumn<Role>("role");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("error");
        const QString forged =
            QStringLiteral("CREATE TEMPORARY TABLE %1 (sal_numero integer, sal_porte text);"
                           "CREATE TRIGGER historique AFTER INSERT ON pg_temp.%1 FOR EACH ROW "
                           "EXECUTE FUNCTION locavia.historique('sal_numero');"
                           "SELECT set_config('eo.login', 'durand', false);"
                           "INSERT INTO pg_temp.%1 SELECT n, 'Z' || n FROM generate_series(1, 1000) AS n;");
        const QString byHand = QStringLiteral(
            "SELECT locavia.historique_ecrire(1, NULL, 'SALLES', NULL, 'modification', "
            "'{\"sal_porte\": \"A12\"}'::jsonb, '{\"sal_porte\": \"Z99\"}'::jsonb, ARRAY[]::text[], false);");
        const QString denied = QStringLiteral("ERROR:  42501");
        for (const auto &[role, name] :
             {std::pair{Role::Member, "plain member"}, std::pair{Role::RoomManager, "room manager"}}) {
            QTest::addRow("%s: triggers' function on a table of his own", name)
                << role << forged.arg(QStringLiteral("salles"))
                << "42501: permission denied for function locavia.historique";
            QTest::addRow("%s: triggers' writer called by hand", name)
                << role << byHand << "42501: permission denied for function historique_ecrire";
            QTest::addRow("%s: a row written by hand", name)
                << role
                << "INSERT INTO locavia.HISTORIQUE (HIS_DATE, HIS_TRANSACTION, HIS_TABLE, HIS_CHAMP, "
                   "HIS_OPERATION) VALUES (now(), 1, 'SALLES', 'SAL_PORTE', 'modification');"
                << denied;
            QTest::addRow("%s: rows changed", name)
                << role << "UPDATE locavia.HISTORIQUE SET HIS_UTILISATEUR = 'durand';" << denied;
            QTest::addRow("%s: rows deleted", name) << role << "DELETE FROM locavia.HISTORIQUE;" << denied;
            QTest::addRow("%s: history emptied", name) << role << "TRUNCATE locavia.HISTORIQUE;" << denied;
        }
        // The function itself follows the inventory's tables only, whoever attached it elsewhere.
        QTest::newRow("owner: triggers' function on a table that is not the inventory's")
            << Role::Owner << forged.arg(QStringLiteral("local")) << "ne suit que les tables de l'inventaire";
    }

    void nobodyForgesOrErasesTheHistory()
    {
        QFETCH(Role, role);
        QFETCH(QString, sql);
        QFETCH(QString, error);
        QVERIFY(db->addRoom(QStringLiteral("SCI"), QStringLiteral("1"), QStringLiteral("A12")) > 0);
        const auto rows = [this] {
            return db->scalar(QStringLiteral("SELECT COUNT(*) FROM HISTORIQUE")).toInt();
        };
        const int before = rows();
        QVERIFY(before > 0);
        const QString output = as(role, QStringLiteral("\\set ON_ERROR_STOP 1\n") + sql);
        QVERIFY2(output.contains(error), qPrintable(output));
        QCOMPARE(rows(), before);
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM locavia.HISTORIQUE WHERE HIS_UTILISATEUR = "
                                           "'durand' OR HIS_ANCIENNE = 'A12'"))
                     .toInt(),
                 0);
    }
};

QTEST_GUILESS_MAIN(TestServerRights)
#include "tst_ServerRights.moc"
