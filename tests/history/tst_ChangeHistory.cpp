// The change history that the database keeps, on the embedded database and on the server (the whole class
// runs once per backend): the rows each kind of write leaves, with the user and the values; nothing from a
// rolled-back save; lists replaced as a whole leave only their real changes; the login given again after
// the connection is opened anew; a building's history across its codes; every recorded field has a label.
// The stored state that the conflict checks compare: two reads are equal exactly when the room is.

#include "ChangeHistory.h"
#include "EONull.h"
#include "EOPostgreSQLAdaptor.h"
#include "EOPostgreSQLConnection.h"
#include "EOSQLiteAdaptor.h"
#include "HistoryFieldLabels.h"
#include "StoredState.h"
#include "TestDatabase.h"

#include <QCoreApplication>
#include <QTest>
#include <libpq-fe.h>
#include <memory>

using history::ChangeHistory;
using history::HistoryFieldLabels;

namespace
{

const QVariant null = eo::eoNull();

QVariantMap merged(QVariantMap arguments, const QVariantMap &overrides)
{
    for (auto it = overrides.constBegin(); it != overrides.constEnd(); ++it)
        arguments.insert(it.key(), it.value());
    return arguments;
}

// The arguments of majSalles that leave the test room as it is (with its custodian G1).
QVariantMap roomUpdate(const QVariant &room, const QVariantMap &overrides = {})
{
    QVariantMap update = TestDatabase::roomUpdateArguments(
        room, TestDatabase::roomArguments(QStringLiteral("ABC"), QStringLiteral("1"), QStringLiteral("A12")),
        {{"grpOrdre", "G1"}});
    return merged(update, overrides);
}

QVariantMap complement(const QVariant &room, const QVariantMap &overrides = {})
{
    return merged({{"salnumero", room},
                   {"tavhauteurMoyenPlafond", "2.80"},
                   {"tavnombrePortes", 2},
                   {"tavsurfaceVitree", null},
                   {"tavaccueil", "5"},
                   {"tavcirculation", null},
                   {"tavrestauration", null},
                   {"tavparking", null},
                   {"tavvieSocial", null},
                   {"tavsportif", null},
                   {"tavsanitaire", null}},
                  overrides);
}

QVariantMap buildingUpdate(const QString &oldCode, const QString &code, const QVariantMap &overrides = {})
{
    return merged({{"adradresse1", "1 avenue de l'Université"},
                   {"adradresse2", ""},
                   {"adrbp", ""},
                   {"adrcp", "64000"},
                   {"adrnom", "BATIMENT ALPHA"},
                   {"adrville", "PAU"},
                   {"batabrev", code},
                   {"majNoVoie", ""},
                   {"majBisTer", ""},
                   {"majCVoie", ""},
                   {"majNomVoie", ""},
                   {"majLocalite", "PAU"},
                   {"majCPays", "100"},
                   {"majCpEtranger", ""},
                   {"majCImplantation", "PAU"},
                   {"majAdrListeRouge", "O"},
                   {"oldCLocal", oldCode}},
                  overrides);
}

// The columns of a followed table that the history records (its keys left out).
QStringList followedColumns(const QString &table)
{
    if (table == u"DEPOSITAIRE")
        return {QStringLiteral("C_STRUCTURE")};
    if (table == u"PRISES")
        return {QStringLiteral("PRI_CODE"), QStringLiteral("PRI_TYPE")};
    if (table == u"DETAIL_SALLE")
        return {QStringLiteral("DSA_POURCENTAGE"), QStringLiteral("UNI_ORDRE")};
    if (table == u"DETAIL_POURCENTAGE")
        return {QStringLiteral("DET_POURCENTAGE")};
    if (table == u"LOCAL")
        return {QStringLiteral("C_LOCAL"), QStringLiteral("APPELLATION")};
    return {}; // every column but the key
}

} // namespace

class TestChangeHistory : public QObject
{
    Q_OBJECT

public:
    explicit TestChangeHistory(TestDatabase::Backend backend) : m_backend(backend) {}

private:
    enum Scenario {
        roomModified,
        roomUnchanged,
        complementCreated,
        complementModified,
        outletAdded,
        outletModified,
        outletUnchanged,
        outletRemoved,
        equipmentReplaced,
        equipmentReplacedAlike,
        equipmentLineRemoved,
        occupationReplaced,
        custodianRemoved,
        roomDeleted,
        buildingCreated,
        buildingModified,
    };

    const TestDatabase::Backend m_backend;
    std::unique_ptr<TestDatabase> db;
    qint64 room = 0;
    qint64 outlet = 0;
    qint64 mark = 0;

    bool onServer() const { return m_backend == TestDatabase::Backend::PostgreSQL; }

    bool call(const QString &procedure, const QVariantMap &arguments)
    {
        if (db->dataBus().executeProcedure(procedure, arguments))
            return true;
        const QList<TestDatabase::Alert> alerts = db->takeAlerts();
        qWarning("%s: %s", qPrintable(procedure), alerts.isEmpty() ? "" : qPrintable(alerts.last().message));
        return false;
    }

    // Several calls in one transaction, as the room tab replaces a list.
    bool transaction(const QList<std::pair<QString, QVariantMap>> &calls)
    {
        db->dataBus().beginTransaction();
        for (const auto &[procedure, arguments] : calls) {
            if (!db->dataBus().executeProcedureSansTransaction(procedure, arguments)) {
                db->dataBus().rollbackTransaction();
                return false;
            }
        }
        db->dataBus().commitTransaction();
        return true;
    }

    qint64 lastRow()
    {
        return db->scalar(QStringLiteral("SELECT MAX(HIS_ORDRE) FROM HISTORIQUE")).toLongLong();
    }

    // The rows written since the mark: "owner|TABLE|line|FIELD|old|new|operation", owner "S" for the test
    // room, "B:code" for a building, sorted.
    QStringList rowsSinceMark()
    {
        QStringList rows;
        for (const QVariantMap &r : db->dataBus().executeSQLQuery(
                 QStringLiteral("SELECT SAL_NUMERO, C_LOCAL, HIS_TABLE, HIS_LIGNE, HIS_CHAMP, HIS_ANCIENNE, "
                                "HIS_NOUVELLE, HIS_OPERATION FROM HISTORIQUE WHERE HIS_ORDRE > ?"),
                 {mark})) {
            QStringList values;
            for (int c = 0; c < 8; ++c) {
                const QVariant v = r.value(QStringLiteral("Attribute%1").arg(c));
                values.append(eo::isNullOrNone(v) ? QString() : v.toString());
            }
            const QString owner = !values[0].isEmpty()
                                      ? (values[0].toLongLong() == room ? QStringLiteral("S") : values[0])
                                      : QStringLiteral("B:") + values[1];
            // The test's outlet is "#": its number differs from one backend to the other.
            const QString line = values[2] == u"PRISES" && values[3] == QString::number(outlet)
                                     ? QStringLiteral("#")
                                     : values[3];
            rows.append(
                QStringList{owner, values[2], line, values[4], values[5], values[6], values[7]}.join(u'|'));
        }
        rows.sort();
        return rows;
    }

    QVariantMap equipment(qint64 type, int quantity)
    {
        return {{"salnumero", room}, {"tavtype", type}, {"dsapourcentage", quantity}, {"uniordre", 1}};
    }
    QVariantMap occupation(int percentage)
    {
        return {{"salnumero", room}, {"dettype", 1}, {"detpourcentage", percentage}, {"cstructure", "SCI"}};
    }

    void prepareScenario(int scenario)
    {
        if (scenario == complementModified)
            QVERIFY(call("insSalleTav", complement(room)));
    }

    void play(int scenario)
    {
        switch (scenario) {
        case roomModified:
            QVERIFY(call("majSalles", roomUpdate(room, {{"salEtage", "2"}, {"salCapacite", 25}})));
            break;
        case roomUnchanged:
            QVERIFY(call("majSalles", roomUpdate(room)));
            break;
        case complementCreated:
            QVERIFY(call("insSalleTav", complement(room)));
            break;
        case complementModified:
            QVERIFY(call("updSalleTav", complement(room, {{"tavnombrePortes", 3}, {"tavaccueil", null}})));
            break;
        case outletAdded:
            QVERIFY(call("insPrises", {{"salnumero", room}, {"pricode", "0456"}, {"pritype", "I"}}));
            break;
        case outletModified:
            QVERIFY(call("updPrises",
                         {{"priordre", outlet}, {"salnumero", room}, {"pricode", "0124"}, {"pritype", "T"}}));
            break;
        case outletUnchanged:
            QVERIFY(call("updPrises",
                         {{"priordre", outlet}, {"salnumero", room}, {"pricode", "0123"}, {"pritype", "T"}}));
            break;
        case outletRemoved:
            QVERIFY(call("delPrises", {{"priordre", outlet}}));
            break;
        case equipmentReplaced:
            QVERIFY(transaction({{"delDetailSalle", {{"salnumero", room}}},
                                 {"insDetailSalle", equipment(2, 3)},
                                 {"insDetailSalle", equipment(3, 7)}}));
            break;
        case equipmentReplacedAlike:
            QVERIFY(transaction({{"delDetailSalle", {{"salnumero", room}}},
                                 {"insDetailSalle", equipment(3, 4)},
                                 {"insDetailSalle", equipment(2, 3)}}));
            break;
        case equipmentLineRemoved:
            QVERIFY(transaction(
                {{"delDetailSalle", {{"salnumero", room}}}, {"insDetailSalle", equipment(2, 3)}}));
            break;
        case occupationReplaced:
            QVERIFY(transaction(
                {{"delDetailPourcentage", {{"salnumero", room}}}, {"insDetailPourcentage", occupation(60)}}));
            break;
        case custodianRemoved:
            QVERIFY(call("majSalles", roomUpdate(room, {{"grpOrdre", ""}})));
            break;
        case roomDeleted:
            QVERIFY(call("delSalles", {{"salnumero", room}}));
            break;
        case buildingCreated:
            QCOMPARE(
                db->addBuilding(QStringLiteral("DEF"), QStringLiteral("DROIT"), QStringLiteral("BAYONNE")),
                QStringLiteral("DEF"));
            break;
        case buildingModified:
            QVERIFY(call("majLocal", buildingUpdate("ABC", "ABD", {{"adrcp", "64100"}})));
            break;
        }
    }

private slots:
    void init()
    {
        LOCAVIA_REQUIRE_BACKEND(m_backend);
        db = std::make_unique<TestDatabase>(m_backend);
        QVERIFY2(db->isValid(), qPrintable(db->error()));
        QVERIFY(db->exec(QStringLiteral(
            "INSERT INTO UNITE (UNI_ORDRE, UNI_ABREV, UNI_LIBELLE) VALUES (1, 'u', 'unité');"
            "INSERT INTO TYPE_MATERIEL (TAV_TYPE, TAV_LIBELLE, TAV_NIVEAU) VALUES (1, 'Mobilier', 1);"
            "INSERT INTO TYPE_MATERIEL (TAV_TYPE, TAV_LIBELLE, TAV_NIVEAU, TAV_PERE, TAV_UNITE_ORDRE) "
            "VALUES (2, 'Chaise', 2, 1, 1), (3, 'Table', 2, 1, 1)")));
        QCOMPARE(db->addBuilding(QStringLiteral("ABC"), QStringLiteral("BATIMENT ALPHA")),
                 QStringLiteral("ABC"));
        room = db->addRoom(QStringLiteral("ABC"), QStringLiteral("1"), QStringLiteral("A12"),
                           {{"insCStructure", "G1"}});
        QVERIFY(room > 0);
        QVariantMap answer;
        QVERIFY(db->dataBus().executeProcedure(answer, QStringLiteral("insPrises"),
                                               {{"salnumero", room}, {"pricode", "0123"}, {"pritype", "T"}}));
        outlet = answer.value(QStringLiteral("priOrdre")).toLongLong();
        QVERIFY(transaction({{"insDetailSalle", equipment(2, 3)},
                             {"insDetailSalle", equipment(3, 4)},
                             {"insDetailPourcentage", occupation(50)}}));
        db->dataBus().setSessionLogin(QStringLiteral("dupont"));
    }
    void cleanup() { db.reset(); }

    void everyKindOfWriteLeavesItsRows_data()
    {
        QTest::addColumn<int>("scenario");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("whole"); // false: the rows expected are among others

        QTest::newRow("room modified") << int(roomModified)
                                       << QStringList{"S|SALLES||SAL_CAPACITE|20|25|modification",
                                                      "S|SALLES||SAL_ETAGE|1|2|modification"}
                                       << true;
        // The custodian is deleted and given again by every save: nothing to record.
        QTest::newRow("room saved unchanged") << int(roomUnchanged) << QStringList{} << true;
        QTest::newRow("complement created")
            << int(complementCreated)
            << QStringList{"S|SALLE_TAV||TAV_ACCUEIL||5|création",
                           "S|SALLE_TAV||TAV_HAUTEUR_MOYEN_PLAFOND||2.8|création",
                           "S|SALLE_TAV||TAV_NOMBRE_PORTES||2|création"}
            << true;
        QTest::newRow("complement modified") << int(complementModified)
                                             << QStringList{"S|SALLE_TAV||TAV_ACCUEIL|5||modification",
                                                            "S|SALLE_TAV||TAV_NOMBRE_PORTES|2|3|modification"}
                                             << true;
        // Its rows name the new outlet, whose number is known only once it is written.
        QTest::newRow("outlet added") << int(outletAdded) << QStringList{} << true;
        QTest::newRow("outlet modified")
            << int(outletModified) << QStringList{"S|PRISES|#|PRI_CODE|0123|0124|modification"} << true;
        QTest::newRow("outlet saved unchanged") << int(outletUnchanged) << QStringList{} << true;
        QTest::newRow("outlet removed")
            << int(outletRemoved)
            << QStringList{"S|PRISES|#|PRI_CODE|0123||suppression", "S|PRISES|#|PRI_TYPE|T||suppression"}
            << true;
        // Replaced as a whole: only the quantity that differs.
        QTest::newRow("equipment replaced")
            << int(equipmentReplaced) << QStringList{"S|DETAIL_SALLE|3|DSA_POURCENTAGE|4|7|modification"}
            << true;
        QTest::newRow("equipment replaced alike") << int(equipmentReplacedAlike) << QStringList{} << true;
        QTest::newRow("equipment line removed")
            << int(equipmentLineRemoved)
            << QStringList{"S|DETAIL_SALLE|3|DSA_POURCENTAGE|4||suppression",
                           "S|DETAIL_SALLE|3|UNI_ORDRE|1||suppression"}
            << true;
        QTest::newRow("occupation replaced")
            << int(occupationReplaced)
            << QStringList{"S|DETAIL_POURCENTAGE|SCI/1|DET_POURCENTAGE|50|60|modification"} << true;
        QTest::newRow("custodian removed")
            << int(custodianRemoved) << QStringList{"S|DEPOSITAIRE||C_STRUCTURE|G1||suppression"} << true;
        QTest::newRow("room deleted")
            << int(roomDeleted)
            << QStringList{"S|DEPOSITAIRE||C_STRUCTURE|G1||suppression",
                           "S|DETAIL_POURCENTAGE|SCI/1|DET_POURCENTAGE|50||suppression",
                           "S|DETAIL_SALLE|2|DSA_POURCENTAGE|3||suppression",
                           "S|PRISES|#|PRI_TYPE|T||suppression",
                           "S|SALLES||SAL_ETAGE|1||suppression",
                           "S|SALLES||SAL_PORTE|A12||suppression"}
            << false;
        QTest::newRow("building created")
            << int(buildingCreated)
            << QStringList{"B:DEF|ADRESSE||CODE_POSTAL||64000|création",
                           "B:DEF|ADRESSE||VILLE||BAYONNE|création",
                           "B:DEF|LOCAL||APPELLATION||DROIT|création", "B:DEF|LOCAL||C_LOCAL||DEF|création"}
            << false;
        // The address changes first, under the former code; the rooms follow the new code.
        QTest::newRow("building modified")
            << int(buildingModified)
            << QStringList{"B:ABC|ADRESSE||CODE_POSTAL|64000|64100|modification",
                           "B:ABD|LOCAL||C_LOCAL|ABC|ABD|modification",
                           "S|SALLES||C_LOCAL|ABC|ABD|modification"}
            << true;
    }

    void everyKindOfWriteLeavesItsRows()
    {
        QFETCH(int, scenario);
        QFETCH(QStringList, expected);
        QFETCH(bool, whole);
        prepareScenario(scenario);
        mark = lastRow();
        play(scenario);
        QStringList rows = rowsSinceMark();
        if (scenario == outletAdded) {
            // The new outlet's number is known only now.
            const QString added = db->scalar(QStringLiteral("SELECT MAX(PRI_ORDRE) FROM PRISES")).toString();
            expected = {QStringLiteral("S|PRISES|%1|PRI_CODE||0456|création").arg(added),
                        QStringLiteral("S|PRISES|%1|PRI_TYPE||I|création").arg(added)};
            whole = true;
        }
        if (whole) {
            QCOMPARE(rows, expected);
        } else {
            for (const QString &row : std::as_const(expected))
                QVERIFY2(rows.contains(row), qPrintable(row + QStringLiteral(" not in ") + rows.join(" ; ")));
        }
        // Who wrote, and when: the login given to the connection, and on the server the role too.
        const QList<QVariantMap> who = db->dataBus().executeSQLQuery(
            QStringLiteral("SELECT DISTINCT HIS_UTILISATEUR, HIS_ROLE FROM HISTORIQUE WHERE HIS_ORDRE > ?"),
            {mark});
        if (!rows.isEmpty()) {
            QCOMPARE(who.size(), 1);
            QCOMPARE(who.first().value("Attribute0").toString(), QStringLiteral("dupont"));
            QCOMPARE(eo::isNullOrNone(who.first().value("Attribute1")), !onServer());
            const QDateTime when = ChangeHistory::dateUtc(
                db->scalar(QStringLiteral("SELECT MAX(HIS_DATE) FROM HISTORIQUE")).toString());
            QVERIFY2(qAbs(when.secsTo(QDateTime::currentDateTimeUtc())) < 120, qPrintable(when.toString()));
        }
    }

    void aRolledBackSaveLeavesNoRow()
    {
        mark = lastRow();
        db->dataBus().beginTransaction();
        QVERIFY(db->dataBus().executeProcedureSansTransaction(QStringLiteral("majSalles"),
                                                              roomUpdate(room, {{"salEtage", "3"}})));
        QVERIFY(db->dataBus().executeProcedureSansTransaction(QStringLiteral("delDetailSalle"),
                                                              {{"salnumero", room}}));
        QVERIFY(!db->dataBus().executeProcedureSansTransaction(QStringLiteral("insDetailSalle"),
                                                               equipment(99, 1)));
        db->dataBus().rollbackTransaction();
        QCOMPARE(rowsSinceMark(), QStringList{});
        // The next save still nets out its replaced lines: the transaction's number was not kept.
        QVERIFY(transaction({{"delDetailSalle", {{"salnumero", room}}},
                             {"insDetailSalle", equipment(2, 3)},
                             {"insDetailSalle", equipment(3, 4)}}));
        QCOMPARE(rowsSinceMark(), QStringList{});
    }

    void theLoginIsGivenAgainToANewConnection()
    {
        db->dataBus().setSessionLogin(QStringLiteral("martin"));
        if (onServer()) {
            // The server ends the session, as a restart would; the next write opens a new one.
            auto *adaptor = static_cast<eo::EOPostgreSQLAdaptor *>(db->dataBus().dataBusAdaptor());
            const int pid = PQbackendPID(adaptor->handle());
            const auto parameters =
                eo::EOPostgreSQLConnection::parametersForDictionary(db->connectionDictionary());
            const eo::EOPostgreSQLConnection::Handle other = eo::EOPostgreSQLConnection::connect(parameters);
            eo::EOPostgreSQLConnection::execute(
                other.get(), parameters, QStringLiteral("SELECT pg_terminate_backend(%1, 5000)").arg(pid));
        } else {
            db->dataBus().dataBusAdaptor()->close();
        }
        mark = lastRow();
        QVERIFY(call("majSalles", roomUpdate(room, {{"salEtage", "4"}})));
        QCOMPARE(
            db->scalar(QStringLiteral("SELECT HIS_UTILISATEUR FROM HISTORIQUE WHERE HIS_ORDRE > ?"), {mark})
                .toString(),
            QStringLiteral("martin"));

        // Without a login, the server names the database role; the embedded database nobody.
        db->dataBus().setSessionLogin(QString());
        mark = lastRow();
        QVERIFY(call("majSalles", roomUpdate(room, {{"salEtage", "5"}})));
        const QVariant who =
            db->scalar(QStringLiteral("SELECT HIS_UTILISATEUR FROM HISTORIQUE WHERE HIS_ORDRE > ?"), {mark});
        if (onServer())
            QCOMPARE(who.toString(),
                     db->scalar(QStringLiteral("SELECT HIS_ROLE FROM HISTORIQUE WHERE HIS_ORDRE > ?"), {mark})
                         .toString());
        else
            QVERIFY(eo::isNullOrNone(who));
    }

    void theReaderGivesTheNewestFirst()
    {
        mark = lastRow();
        QVERIFY(call("majSalles", roomUpdate(room, {{"salEtage", "2"}})));
        QVERIFY(call("majSalles", roomUpdate(room, {{"salEtage", "3"}})));
        const QList<history::Change> changes = ChangeHistory::deLaSalle(db->dataBus(), room, mark);
        QCOMPARE(changes.size(), 2);
        QCOMPARE(changes.at(0).nouvelle, QStringLiteral("3"));
        QCOMPARE(changes.at(1).nouvelle, QStringLiteral("2"));
        QVERIFY(changes.at(0).transaction != changes.at(1).transaction);
        QCOMPARE(ChangeHistory::derniereTransaction(changes).size(), 1);
        QCOMPARE(ChangeHistory::dernierDeLaSalle(db->dataBus(), room), changes.at(0).ordre);
        // The whole history of the room, its creation included.
        QVERIFY(ChangeHistory::deLaSalle(db->dataBus(), room).size() > 20);
        const QStringList summary = ChangeHistory::resume(changes, ChangeHistory::references(db->dataBus()));
        QCOMPARE(summary.size(), 4);
        QVERIFY2(summary.at(0).startsWith(QStringLiteral("Par dupont le ")), qPrintable(summary.at(0)));
        QCOMPARE(summary.at(1), QStringLiteral("  • Étage : 2 → 3"));
    }

    void aBuildingsHistoryFollowsItsCodes()
    {
        // ABC becomes ABD; a new building then takes the code ABC.
        QVERIFY(call("majLocal", buildingUpdate("ABC", "ABD", {{"adradresse2", "ESCALIER B"}})));
        QCOMPARE(db->addBuilding(QStringLiteral("ABC"), QStringLiteral("NOUVEAU")), QStringLiteral("ABC"));
        QVERIFY(call("majLocal", buildingUpdate("ABC", "ABC", {{"adrnom", "NOUVEAU"}, {"adrcp", "64200"}})));

        QStringList former;
        for (const history::Change &c : ChangeHistory::duBatiment(db->dataBus(), QStringLiteral("ABD")))
            former.append(c.champ + QLatin1Char('=') + c.nouvelle);
        QVERIFY2(former.contains(QStringLiteral("APPELLATION=BATIMENT ALPHA")), qPrintable(former.join(" ")));
        QVERIFY(former.contains(QStringLiteral("C_LOCAL=ABD")));
        QVERIFY(former.contains(QStringLiteral("ADR_ADRESSE2=ESCALIER B")));
        QVERIFY(!former.contains(QStringLiteral("APPELLATION=NOUVEAU")));
        QVERIFY(!former.contains(QStringLiteral("CODE_POSTAL=64200")));

        QStringList present;
        for (const history::Change &c : ChangeHistory::duBatiment(db->dataBus(), QStringLiteral("ABC")))
            present.append(c.champ + QLatin1Char('=') + c.nouvelle);
        QVERIFY(present.contains(QStringLiteral("APPELLATION=NOUVEAU")));
        QVERIFY(present.contains(QStringLiteral("CODE_POSTAL=64200")));
        QVERIFY2(!present.contains(QStringLiteral("APPELLATION=BATIMENT ALPHA")),
                 qPrintable(present.join(" ")));
        QCOMPARE(ChangeHistory::codeQuitte(db->dataBus(), QStringLiteral("ABC"), 0).value(0).nouvelle,
                 QStringLiteral("ABD"));
    }

    // The room as the conflict check reads it: its record, custodian, outlets and lists.
    QList<history::StoredState::Requete> roomState() const
    {
        const QVariantList key{room};
        return {{QStringLiteral("SELECT * FROM SOLMA.SALLES WHERE SAL_NUMERO = ?"), key},
                {QStringLiteral("SELECT * FROM SALLE_TAV WHERE SAL_NUMERO = ?"), key},
                {QStringLiteral(
                     "SELECT C_STRUCTURE FROM SOLMA.DEPOSITAIRE WHERE SAL_NUMERO = ? ORDER BY C_STRUCTURE"),
                 key},
                {QStringLiteral("SELECT PRI_ORDRE, PRI_CODE, PRI_TYPE FROM PRISES WHERE SAL_NUMERO = ? "
                                "ORDER BY PRI_ORDRE"),
                 key},
                {QStringLiteral("SELECT TAV_TYPE, DSA_POURCENTAGE, UNI_ORDRE FROM DETAIL_SALLE "
                                "WHERE SAL_NUMERO = ? ORDER BY TAV_TYPE"),
                 key},
                {QStringLiteral("SELECT C_STRUCTURE, DET_TYPE, DET_POURCENTAGE FROM DETAIL_POURCENTAGE "
                                "WHERE SAL_NUMERO = ? ORDER BY C_STRUCTURE, DET_TYPE, DET_POURCENTAGE"),
                 key}};
    }

    void theStoredStateDiffersExactlyWhenTheRoomDoes_data()
    {
        QTest::addColumn<int>("scenario");
        QTest::addColumn<bool>("differs");
        QTest::newRow("record changed") << int(roomModified) << true;
        QTest::newRow("record saved unchanged") << int(roomUnchanged) << false;
        QTest::newRow("complement given") << int(complementCreated) << true;
        QTest::newRow("a field emptied") << int(complementModified) << true;
        QTest::newRow("outlet added") << int(outletAdded) << true;
        QTest::newRow("outlet changed") << int(outletModified) << true;
        QTest::newRow("outlet saved unchanged") << int(outletUnchanged) << false;
        QTest::newRow("lines replaced") << int(equipmentReplaced) << true;
        QTest::newRow("lines given again in another order") << int(equipmentReplacedAlike) << false;
        QTest::newRow("occupation replaced") << int(occupationReplaced) << true;
        QTest::newRow("custodian removed") << int(custodianRemoved) << true;
        QTest::newRow("room deleted") << int(roomDeleted) << true;
    }

    void theStoredStateDiffersExactlyWhenTheRoomDoes()
    {
        QFETCH(int, scenario);
        QFETCH(bool, differs);
        prepareScenario(scenario);
        const QStringList before = history::StoredState::lire(db->dataBus(), roomState());
        QVERIFY(before.value(0).startsWith(QLatin1String("0: ")));
        play(scenario);
        const QStringList after = history::StoredState::lire(db->dataBus(), roomState());
        QCOMPARE(after != before, differs);
        // A room that no longer exists has no record line: the check tells it apart from a changed one.
        QCOMPARE(after.value(0).startsWith(QLatin1String("0: ")), scenario != roomDeleted);
    }

    // Inside a transaction, after the hold that comes first in the same round trip: the same state, and on
    // the server the record locked (the embedded database's transaction holds the whole file already).
    void theStoredStateAfterTheHold()
    {
        db->dataBus().beginTransaction();
        const history::StoredState::Requete hold{QStringLiteral("SELECT tenir_salle(?)"), {room}};
        const QStringList state =
            history::StoredState::lire(db->dataBus(), roomState(), onServer() ? &hold : nullptr);
        QString lockedByThisTransaction;
        if (onServer()) {
            // A row locked by a transaction carries its number in xmax until the transaction ends.
            lockedByThisTransaction =
                db->dataBus()
                    .executeSQLQuery(
                        QStringLiteral("SELECT xmax::text = (pg_current_xact_id()::text::bigint "
                                       "% 4294967296)::text FROM SOLMA.SALLES WHERE SAL_NUMERO = ?"),
                        {room})
                    .value(0)
                    .value(QStringLiteral("Attribute0"))
                    .toString();
        }
        db->dataBus().rollbackTransaction();
        QCOMPARE(state, history::StoredState::lire(db->dataBus(), roomState()));
        if (onServer())
            QVERIFY2(lockedByThisTransaction == u"1" || lockedByThisTransaction == u"true",
                     qPrintable(lockedByThisTransaction));
    }

    void everyRecordedFieldHasALabel_data()
    {
        QTest::addColumn<QString>("table");
        for (const char *table : {"SALLES", "SALLE_TAV", "DEPOSITAIRE", "PRISES", "DETAIL_SALLE",
                                  "DETAIL_POURCENTAGE", "LOCAL", "ADRESSE"})
            QTest::newRow(table) << QString::fromLatin1(table);
    }

    void everyRecordedFieldHasALabel()
    {
        QFETCH(QString, table);
        const bool reference =
            table == u"SALLES" || table == u"DEPOSITAIRE" || table == u"LOCAL" || table == u"ADRESSE";
        QStringList columns = followedColumns(table);
        if (columns.isEmpty()) {
            const QString key =
                table == u"ADRESSE" ? QStringLiteral("ADR_ORDRE") : QStringLiteral("SAL_NUMERO");
            const QList<QVariantMap> rows =
                onServer() ? db->dataBus().executeSQLQuery(
                                 QStringLiteral("SELECT upper(column_name) FROM information_schema.columns "
                                                "WHERE table_schema = ? AND table_name = lower(?)"),
                                 {reference ? QStringLiteral("solma") : QStringLiteral("locavia"), table})
                           : db->dataBus().executeSQLQuery(
                                 QStringLiteral("SELECT name FROM pragma_table_info(?, ?)"),
                                 {table, reference ? QStringLiteral("SOLMA") : QStringLiteral("main")});
            for (const QVariantMap &row : rows)
                columns.append(row.value(QStringLiteral("Attribute0")).toString());
            columns.removeAll(key);
        }
        QVERIFY(!columns.isEmpty());
        for (const QString &column : std::as_const(columns)) {
            // A column without its French label would show under its SQL name.
            QVERIFY2(!HistoryFieldLabels::champ(table, column, QStringLiteral("1")).contains(column),
                     qPrintable(table + QLatin1Char('.') + column));
            // The embedded database's triggers name every column they follow (the server's follow them all).
            if (!onServer()) {
                const QString triggers =
                    db->scalar(QStringLiteral("SELECT group_concat(sql, ' ') FROM sqlite_temp_master "
                                              "WHERE type = 'trigger' AND tbl_name = ?"),
                               {table})
                        .toString();
                QVERIFY2(triggers.contains(QStringLiteral("'%1'").arg(column)),
                         qPrintable(table + QLatin1Char('.') + column));
            }
        }
    }
};

class TestChangeHistoryOnSQLite : public TestChangeHistory
{
    Q_OBJECT
public:
    TestChangeHistoryOnSQLite() : TestChangeHistory(TestDatabase::Backend::SQLite) {}
};

class TestChangeHistoryOnPostgreSQL : public TestChangeHistory
{
    Q_OBJECT
public:
    TestChangeHistoryOnPostgreSQL() : TestChangeHistory(TestDatabase::Backend::PostgreSQL) {}
};

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    int status = 0;
    if (TestDatabase::backendSelected(TestDatabase::Backend::SQLite)) {
        TestChangeHistoryOnSQLite test;
        status |= QTest::qExec(&test, argc, argv);
    }
    if (TestDatabase::backendSelected(TestDatabase::Backend::PostgreSQL)) {
        TestChangeHistoryOnPostgreSQL test;
        status |= QTest::qExec(&test, argc, argv);
    }
    return status;
}

#include "tst_ChangeHistory.moc"
