// The data bus over the embedded database and over the server (the test class runs once per backend): the
// fetch family's rules, transactions, procedure calls and their alerts, raw queries, new records, and values
// that must stay data whatever they contain.

#include "BackendTestCase.h"
#include "DataFolder.h"
#include "EOAndQualifier.h"
#include "EODisplayGroup.h"
#include "EOException.h"
#include "EOModelGroup.h"
#include "EONull.h"
#include "EOSQLQualifier.h"
#include "NSCursorExtensions.h"
#include "Resources.h"
#include "SqliteDatabaseInstaller.h"
#include "TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScopeGuard>
#include <QTest>

using eo::EOQualifier;
using eo::EOSortOrdering;

namespace
{

class RecordingDelegate : public eo::EODisplayGroupDelegate
{
public:
    void displayGroupDidChangeSelection(eo::EODisplayGroup *) override { ++selectionChanges; }
    void displayGroupDidFetchObjects(eo::EODisplayGroup *, const QList<eo::EORecord> &objects) override
    {
        ++fetches;
        lastFetchCount = int(objects.size());
    }
    int selectionChanges = 0;
    int fetches = 0;
    int lastFetchCount = -1;
};

QStringList doors(const QList<eo::EORecord> &rooms)
{
    QStringList result;
    for (const eo::EORecord &room : rooms)
        result.append(room->valueForKey(QStringLiteral("salPorte")).toString());
    return result;
}

const QList<EOSortOrdering> byBuildingFloorDoor{
    {QStringLiteral("appellation"), EOSortOrdering::Selector::CompareCaseInsensitiveAscending},
    {QStringLiteral("salEtage"), EOSortOrdering::Selector::CompareCaseInsensitiveAscending},
    {QStringLiteral("salPorte"), EOSortOrdering::Selector::CompareCaseInsensitiveAscending},
};

} // namespace

class TestKORDataBusOC : public BackendTestCase
{
    Q_OBJECT

private:
    void addThreeRooms()
    {
        QVERIFY(!db->addBuilding(QStringLiteral("SCI"), QStringLiteral("SCIENCES")).isEmpty());
        QVERIFY(!db->addBuilding(QStringLiteral("ARC"), QStringLiteral("archives")).isEmpty());
        QVERIFY(db->addRoom(QStringLiteral("SCI"), QStringLiteral("1"), QStringLiteral("B12")) > 0);
        QVERIFY(db->addRoom(QStringLiteral("ARC"), QStringLiteral("0"), QStringLiteral("A1")) > 0);
        QVERIFY(db->addRoom(QStringLiteral("SCI"), QStringLiteral("1"), QStringLiteral("a10")) > 0);
        QVERIFY(db->takeAlerts().isEmpty());
    }

private slots:

    void fetchSortsInMemoryAndFillsGroups()
    {
        addThreeRooms();
        auto &bus = db->dataBus();
        // Sorted by building name, floor and door without regard to case.
        const auto sorted =
            bus.fetchArray(QStringLiteral("SallesVix"), eo::EOQualifierPtr(), byBuildingFloorDoor);
        QCOMPARE(doors(sorted), (QStringList{"A1", "a10", "B12"}));
        QCOMPARE(sorted.first()->valueForKeyPath(QStringLiteral("local.appellation")).toString(),
                 QStringLiteral("archives"));
        // No rows: an empty array, sort orderings or not.
        QVERIFY(bus.fetchArray(QStringLiteral("SallesVix"), QStringLiteral("salEtage=%@"),
                               {QStringLiteral("9")}, byBuildingFloorDoor)
                    .isEmpty());
        QCOMPARE(bus.lastQualifier()->description(), QStringLiteral("(salEtage = '9')"));

        eo::EODisplayGroup group;
        RecordingDelegate delegate;
        group.setDelegate(&delegate);
        bus.fetchTable(&group, QStringLiteral("SallesVix"), eo::EOQualifierPtr(), byBuildingFloorDoor, true);
        QCOMPARE(group.selectionIndexes(), QList<int>{0});
        QCOMPARE(delegate.fetches, 1);
        QCOMPARE(delegate.lastFetchCount, 3);
        QCOMPARE(delegate.selectionChanges, 1);
        // The plain member of the family does not inform the delegate, and select-first off selects nothing
        // new.
        group.clearSelection();
        bus.fetchTablePlain(&group, QStringLiteral("SallesVix"), eo::EOQualifierPtr(), byBuildingFloorDoor,
                            false);
        QCOMPARE(delegate.fetches, 1);
        QVERIFY(group.selectionIndexes().isEmpty());
        bus.clearTable(&group);
        QVERIFY(group.displayedObjects().isEmpty());
    }

    void refreshRuleCoversOneFetch()
    {
        addThreeRooms();
        auto &bus = db->dataBus();
        const auto qualifier =
            EOQualifier::qualifierWithQualifierFormat(QStringLiteral("salPorte=%@"), {"B12"});
        const eo::EORecord room = bus.fetchObject(QStringLiteral("SallesVix"), qualifier);
        QVERIFY(room);
        db->exec(QStringLiteral("UPDATE SOLMA.SALLES SET SAL_CAPACITE = 99 WHERE SAL_PORTE = 'B12'"));

        bus.notRefreshFetchedObjects();
        QVERIFY(!bus.refreshesNextFetch());
        const eo::EORecord kept = bus.fetchObject(QStringLiteral("SallesVix"), qualifier);
        QCOMPARE(kept.get(), room.get()); // one record per row
        QCOMPARE(kept->valueForKey(QStringLiteral("salCapacite")).toInt(), 20);
        QVERIFY(bus.refreshesNextFetch());

        const eo::EORecord refreshed = bus.fetchObject(QStringLiteral("SallesVix"), qualifier);
        QCOMPARE(refreshed.get(), room.get());
        QCOMPARE(room->valueForKey(QStringLiteral("salCapacite")).toInt(), 99);
    }

    void fetchObjectAnswersFirstOrNone()
    {
        addThreeRooms();
        auto &bus = db->dataBus();
        QVERIFY(!bus.fetchObject(QStringLiteral("SallesVix"), QStringLiteral("salPorte=%@"), {"ZZZ"}));
        const eo::EORecord first =
            bus.fetchObject(QStringLiteral("SallesVix"), QStringLiteral("salEtage=%@"), {"1"});
        QVERIFY(first);
        QCOMPARE(first->valueForKey(QStringLiteral("salEtage")).toString(), QStringLiteral("1"));
    }

    void refetchWithSameSelectionKeepsTheIndex()
    {
        addThreeRooms();
        auto &bus = db->dataBus();
        eo::EODisplayGroup group;
        group.setSortOrderings(byBuildingFloorDoor);
        // Nothing shown: nothing is fetched.
        bus.refetchWithSameSelection(&group, QStringLiteral("SallesVix"));
        QVERIFY(bus.lastFetch().entityName.isEmpty());

        bus.fetchTable(&group, QStringLiteral("SallesVix"), eo::EOQualifierPtr(), byBuildingFloorDoor, true);
        QVERIFY(group.setSelectionIndexes({2}));
        db->exec(QStringLiteral("DELETE FROM SOLMA.SALLES WHERE SAL_PORTE = 'A1'"));
        bus.refetchWithSameSelection(&group, QStringLiteral("SallesVix"));
        QCOMPARE(group.displayedObjects().size(), 2);
        QCOMPARE(group.selectionIndexes(), QList<int>{1});

        QVERIFY(group.setSelectionIndexes({0}));
        db->exec(QStringLiteral("DELETE FROM SOLMA.SALLES"));
        bus.refetchWithSameSelection(&group, QStringLiteral("SallesVix"));
        QVERIFY(group.displayedObjects().isEmpty());
        QVERIFY(group.selectionIndexes().isEmpty());
    }

    void waitMessageRestoresTheApplicationTitle()
    {
        addThreeRooms();
        auto &bus = db->dataBus();
        QStringList titles;
        bus.setTitleHooks([&titles](const QString &title) { titles.append(title); },
                          [] { return QStringLiteral("Locavia - (locavia.db)"); });
        const auto qualifier =
            EOQualifier::qualifierWithQualifierFormat(QStringLiteral("salEtage=%@"), {"1"});
        QCOMPARE(bus.fetchEntityName(QStringLiteral("SallesVix"), qualifier, {}).size(), 2);
        QCOMPARE(titles, (QStringList{"Veuillez Patienter, RECHERCHE : SallesVix -> (salEtage = '1')",
                                      "Locavia - (locavia.db)"}));
        // A failing fetch gives the title back too, and its error reaches the caller.
        titles.clear();
        const auto bad = EOQualifier::qualifierWithQualifierFormat(QStringLiteral("inconnue=%@"), {"1"});
        QVERIFY_THROWS_EXCEPTION(eo::EOException, bus.fetchEntityName(QStringLiteral("SallesVix"), bad, {}));
        QCOMPARE(titles.last(), QStringLiteral("Locavia - (locavia.db)"));
    }

    void transactionsOpenOnceAndEndWhateverIsOpen()
    {
        auto &bus = db->dataBus();
        QVERIFY(!bus.hasOpenTransaction());
        bus.beginTransaction();
        bus.beginTransaction(); // opens nothing more
        QVERIFY(bus.hasOpenTransaction());
        QVERIFY(!db->addBuilding(QStringLiteral("TMP"), QStringLiteral("TEMPORAIRE")).isEmpty()); // commits
        QVERIFY(!bus.hasOpenTransaction());

        bus.beginTransaction();
        QVariantMap unit{{"uniabrev", "kg"}, {"unilibelle", "Kilogramme"}};
        QVERIFY(bus.executeProcedureSansTransaction(QStringLiteral("insUnite"), unit));
        QVERIFY(bus.hasOpenTransaction());
        bus.rollbackTransaction();
        QVERIFY(!bus.hasOpenTransaction());
        QCOMPARE(db->scalar(QStringLiteral("SELECT count(*) FROM UNITE")).toInt(), 0);
        bus.commitTransaction(); // nothing open: nothing happens
        QCOMPARE(db->scalar(QStringLiteral("SELECT count(*) FROM SOLMA.LOCAL WHERE C_LOCAL = 'TMP'")).toInt(),
                 1);
    }

    void procedureFailuresAlertAndRollBack()
    {
        auto &bus = db->dataBus();
        QVERIFY(!bus.executeProcedure(QStringLiteral("procedureInconnue"), {}));
        auto alerts = db->takeAlerts();
        QCOMPARE(alerts.size(), 1);
        QCOMPARE(alerts.first().title, QStringLiteral("ERREUR..."));
        QVERIFY(alerts.first().message.contains(QStringLiteral("procedureInconnue")));
        QCOMPARE(bus.lastError(), 0);
        QVERIFY(!bus.hasOpenTransaction());
        QCOMPARE(bus.executerStringFonction(QStringLiteral("procedureInconnue"), {}), QString());
        QCOMPARE(bus.executerIntFonction(QStringLiteral("procedureInconnue"), {}), 0);
        QCOMPARE(bus.executerNumberFonction(QStringLiteral("procedureInconnue"), {}).toInt(), 0);
        QCOMPARE(db->takeAlerts().size(), 3);

        // A refusal of the database: the message reaches the alert, nothing stays written.
        QVERIFY(!bus.executeProcedure(QStringLiteral("insUnite"),
                                      {{"uniabrev", "abcdefgh"}, {"unilibelle", "Trop"}}));
        alerts = db->takeAlerts();
        QCOMPARE(alerts.size(), 1);
        QVERIFY(!alerts.first().message.isEmpty());
        QCOMPARE(db->scalar(QStringLiteral("SELECT count(*) FROM UNITE")).toInt(), 0);

        // An argument the procedure does not declare is refused, not ignored.
        QVERIFY(!bus.executeProcedure(QStringLiteral("delUnite"), {{"uniordre", 1}, {"autre", 2}}));
        QVERIFY(db->takeAlerts().first().message.contains(QStringLiteral("autre")));

        // Without a transaction of its own, the caller rolls back; the call still shows its alert.
        bus.beginTransaction();
        QVERIFY(!bus.executeProcedureSansTransaction(QStringLiteral("insUnite"), {{"uniabrev", ""}}));
        QVERIFY(bus.hasOpenTransaction());
        bus.rollbackTransaction();
        QCOMPARE(db->takeAlerts().size(), 1);
    }

    void refusedCallInsideATransactionKeepsTheOthers()
    {
        // The room save's pattern: several calls in one transaction, one of them refused; the caller goes on
        // and commits what was accepted.
        auto &bus = db->dataBus();
        bus.beginTransaction();
        QVERIFY(bus.executeProcedureSansTransaction(QStringLiteral("insUnite"),
                                                    {{"uniabrev", "kg"}, {"unilibelle", "kilogramme"}}));
        QVERIFY(!bus.executeProcedureSansTransaction(QStringLiteral("insUnite"),
                                                     {{"uniabrev", "kg"}, {"unilibelle", "encore"}}));
        QVERIFY(bus.executeProcedureSansTransaction(QStringLiteral("insUnite"),
                                                    {{"uniabrev", "g"}, {"unilibelle", "gramme"}}));
        QVERIFY(bus.hasOpenTransaction());
        bus.commitTransaction();
        const auto alerts = db->takeAlerts();
        QCOMPARE(alerts.size(), 1);
        QCOMPARE(alerts.first().message,
                 QStringLiteral("L'abréviation « kg » est déjà utilisée par une autre unité."));
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM UNITE")).toInt(), 2);
        QCOMPARE(
            db->scalar(QStringLiteral("SELECT UNI_LIBELLE FROM UNITE WHERE UNI_ABREV = 'kg'")).toString(),
            QStringLiteral("kilogramme"));
    }

    void outputValuesAccumulate()
    {
        auto &bus = db->dataBus();
        QVERIFY(
            bus.executeProcedure(QStringLiteral("insUnite"), {{"uniabrev", "m"}, {"unilibelle", "Mètre"}}));
        const QVariant unit = bus.myExecutedProcResult().value(QStringLiteral("uniOrdre"));
        QVERIFY(unit.toInt() > 0);
        QVERIFY(bus.executeProcedure(
            QStringLiteral("insTypeMat"),
            {{"tavlibelle", "Mobilier"}, {"tavniveau", 1}, {"tavpere", -1}, {"tavuniteOrdre", -1}}));
        QVERIFY(bus.myExecutedProcResult().value(QStringLiteral("tavType")).toInt() > 0);
        QCOMPARE(bus.myExecutedProcResult().value(QStringLiteral("uniOrdre")), unit);
        QVERIFY(bus.lastReturnValues().contains(QStringLiteral("tavType")));
        QVERIFY(!bus.lastReturnValues().contains(QStringLiteral("uniOrdre")));

        // The non-transactional call leaves the output on the adaptor channel, not in the accumulated ones.
        bus.beginTransaction();
        QVERIFY(bus.executeProcedureSansTransaction(QStringLiteral("insUnite"),
                                                    {{"uniabrev", "l"}, {"unilibelle", "Litre"}}));
        const QVariant litre =
            bus.dataBusAdaptorChannel()->returnValuesForLastStoredProcedureInvocation().value(
                QStringLiteral("uniOrdre"));
        bus.commitTransaction();
        QVERIFY(litre.toInt() > unit.toInt());
        QCOMPARE(bus.myExecutedProcResult().value(QStringLiteral("uniOrdre")), unit);
    }

    void valuesStayData_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("quote") << QStringLiteral("l'amphi d'été");
        QTest::newRow("percent") << QStringLiteral("100% libre");
        QTest::newRow("underscore") << QStringLiteral("salle_b");
        QTest::newRow("backslash") << QStringLiteral("C:\\salle\\");
        QTest::newRow("sql") << QStringLiteral("x' OR '1'='1");
        QTest::newRow("qualifier syntax") << QStringLiteral("a') or (salEtage != nil");
    }
    void valuesStayData()
    {
        QFETCH(QString, text);
        auto &bus = db->dataBus();
        QVERIFY(!db->addBuilding(QStringLiteral("SCI"), QStringLiteral("SCIENCES")).isEmpty());
        const qint64 plain = db->addRoom(QStringLiteral("SCI"), QStringLiteral("1"), QStringLiteral("P1"),
                                         {{"salDescriptif", QStringLiteral("sans rien de spécial")}});
        const qint64 special = db->addRoom(QStringLiteral("SCI"), QStringLiteral("1"), QStringLiteral("P2"),
                                           {{"salDescriptif", text}});
        QVERIFY(plain > 0 && special > 0);
        QVERIFY(db->takeAlerts().isEmpty());

        // Stored and read back exactly (procedure arguments).
        const auto exact =
            bus.fetchArray(QStringLiteral("SallesVix"), QStringLiteral("salDescriptif=%@"), {text}, {});
        QCOMPARE(exact.size(), 1);
        QCOMPARE(exact.first()->valueForKey(QStringLiteral("salDescriptif")).toString(), text);
        // Inside a quoted placeholder of a qualifier.
        QCOMPARE(
            bus.fetchArray(QStringLiteral("SallesVix"), QStringLiteral("salDescriptif = '%@'"), {text}, {})
                .size(),
            1);
        // In a like value only * and ? are wildcards.
        const auto liked =
            bus.fetchArray(QStringLiteral("SallesVix"), QStringLiteral("salDescriptif like %@"),
                           {QStringLiteral("*") + text + QStringLiteral("*")}, {});
        QCOMPARE(doors(liked), QStringList{"P2"});
        // In a raw condition.
        const auto raw = std::make_shared<eo::EOSQLQualifier>(
            QStringLiteral("SallesVix"), QStringLiteral("UPPER(SAL_DESCRIPTIF) like '%%%@%%'"),
            QVariantList{text.toUpper()});
        QCOMPARE(doors(bus.fetchArray(QStringLiteral("SallesVix"), raw, {})), QStringList{"P2"});
        // In the raw parameter query.
        db->exec(
            QStringLiteral("INSERT INTO SOLMA.SOLMA_PARAMETRES (PARAM_KEY, PARAM_VALUE) VALUES ('K', 'V')"));
        QVERIFY(bus.executeSQLQuery(
                       QStringLiteral("select param_value from SOLMA.SOLMA_PARAMETRES where param_key = ?"),
                       {text})
                    .isEmpty());
        QCOMPARE(db->scalar(QStringLiteral("SELECT count(*) FROM SOLMA.SALLES")).toInt(), 2);
    }

    void wildcardsOfTheCallersOnly()
    {
        auto &bus = db->dataBus();
        QVERIFY(!db->addBuilding(QStringLiteral("SCI"), QStringLiteral("SCIENCES")).isEmpty());
        for (const QString &door : {QStringLiteral("A12"), QStringLiteral("A12B"), QStringLiteral("XA12"),
                                    QStringLiteral("A1"), QStringLiteral("a12")})
            QVERIFY(db->addRoom(QStringLiteral("SCI"), QStringLiteral("1"), door) > 0);
        const auto found = bus.fetchArray(QStringLiteral("SallesVix"), QStringLiteral("salPorte like %@"),
                                          {"*A12*"}, byBuildingFloorDoor);
        // like is case-sensitive: the lower-case door is not found.
        QCOMPARE(doors(found), (QStringList{"A12", "A12B", "XA12"}));
        QCOMPARE(bus.fetchArray(QStringLiteral("SallesVix"), QStringLiteral("salPorte like %@"), {"A?2"}, {})
                     .size(),
                 1);
        QVERIFY(bus.fetchArray(QStringLiteral("SallesVix"), QStringLiteral("salPorte like %@"), {"A1%"}, {})
                    .isEmpty());
        QVERIFY(bus.fetchArray(QStringLiteral("SallesVix"), QStringLiteral("salPorte like %@"), {"A_2"}, {})
                    .isEmpty());
    }

    void longValuesAreRefusedOrFoundCleanly()
    {
        auto &bus = db->dataBus();
        QVERIFY(!db->addBuilding(QStringLiteral("SCI"), QStringLiteral("SCIENCES")).isEmpty());
        const QString huge(10000, QLatin1Char('x'));
        QVERIFY(bus.fetchArray(QStringLiteral("SallesVix"), QStringLiteral("salDescriptif=%@"), {huge}, {})
                    .isEmpty());
        const auto raw = std::make_shared<eo::EOSQLQualifier>(
            QStringLiteral("SallesVix"), QStringLiteral("UPPER(SAL_DESCRIPTIF) like '%%%@%%'"),
            QVariantList{huge});
        QVERIFY(bus.fetchArray(QStringLiteral("SallesVix"), raw, {}).isEmpty());
        // A description longer than its column is refused by the procedure with a message, nothing written.
        QCOMPARE(db->addRoom(QStringLiteral("SCI"), QStringLiteral("1"), QStringLiteral("L1"),
                             {{"salDescriptif", huge}}),
                 qint64(-1));
        const auto alerts = db->takeAlerts();
        QCOMPARE(alerts.size(), 1);
        QCOMPARE(alerts.first().title, QStringLiteral("ERREUR..."));
        QCOMPARE(db->scalar(QStringLiteral("SELECT count(*) FROM SOLMA.SALLES")).toInt(), 0);
    }

    void rawQueriesNameColumnsInOrder()
    {
        db->exec(QStringLiteral(
            "INSERT INTO SOLMA.SOLMA_PARAMETRES (PARAM_KEY, PARAM_VALUE) VALUES ('MIRL_USER', 'NON')"));
        const auto rows = db->dataBus().executeSQLQuery(
            QStringLiteral("select param_value, param_key from SOLMA.SOLMA_PARAMETRES where param_key = ?"),
            {QStringLiteral("MIRL_USER")});
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().value(QStringLiteral("Attribute0")).toString(), QStringLiteral("NON"));
        QCOMPARE(rows.first().value(QStringLiteral("Attribute1")).toString(), QStringLiteral("MIRL_USER"));
        QVERIFY_THROWS_EXCEPTION(
            eo::EOException, db->dataBus().executeSQLQuery(QStringLiteral("select nothing from nowhere")));
    }

    void newRecordsFromTheEntityDescription()
    {
        auto &bus = db->dataBus();
        QVERIFY(!bus.newObjectLikeEntity(QStringLiteral("EntiteInconnue")));
        QVERIFY(!bus.newObjectInEntity(QStringLiteral("EntiteInconnue")));
        const eo::EORecord like = bus.newObjectLikeEntity(QStringLiteral("Prises"));
        QVERIFY(like);
        QVERIFY(eo::isEONull(like->valueForKey(QStringLiteral("priCode"))));
        QVERIFY(!db->editingContext().insertedObjects().contains(like));
        const eo::EORecord inserted = bus.newObjectInEntity(QStringLiteral("Prises"));
        QVERIFY(db->editingContext().insertedObjects().contains(inserted));
    }

    void badEntitiesAndKeysAreErrors()
    {
        auto &bus = db->dataBus();
        try {
            bus.fetchArray(QStringLiteral("EntiteInconnue"), eo::EOQualifierPtr(), {});
            QFAIL("an unknown entity must raise");
        } catch (const eo::EOException &error) {
            QCOMPARE(error.kind(), eo::EOException::Kind::Model);
            QVERIFY(error.message().contains(QStringLiteral("EntiteInconnue")));
        }
        QVERIFY_THROWS_EXCEPTION(eo::EOException, bus.fetchArray(QStringLiteral("SallesVix"),
                                                                 QStringLiteral("salEtage = = 1"), {}, {}));
        QVERIFY(bus.fetchArray(QStringLiteral("SallesVix"), eo::EOQualifierPtr(), {}).isEmpty());
    }

    void traitementExceptionKeepsTheMessage()
    {
        QCOMPARE(data::KORDataBusOC::traitementException(
                     QStringLiteral("ORA-20001: Le batiment existe deja\nORA-06512: at line 4")),
                 QStringLiteral("Le batiment existe deja\n"));
        QCOMPARE(data::KORDataBusOC::traitementException(QStringLiteral("ORA-20002: Sans suite")),
                 QStringLiteral("Sans suite"));
        QCOMPARE(data::KORDataBusOC::traitementException(QStringLiteral("court")), QString());
    }

    void waitCursorCallsDoNotNest()
    {
        data::StartWaitCursor();
        data::StartWaitCursor();
        QVERIFY(data::isWaitCursorShown());
        data::StopWaitCursor();
        QVERIFY(!QGuiApplication::overrideCursor());
        // Every fetch ends with the arrow cursor, even a failing one.
        QVERIFY_THROWS_EXCEPTION(
            eo::EOException, db->dataBus().fetchArray(QStringLiteral("Inconnue"), eo::EOQualifierPtr(), {}));
        QVERIFY(!QGuiApplication::overrideCursor());
    }
};

class TestDatabaseFiles : public QObject
{
    Q_OBJECT
private slots:
    void missingOrCorruptFilesGiveFrenchErrors()
    {
        TestDatabase db;
        QVERIFY(db.isValid());
        auto &model = db.model();
        QVariantMap dictionary = model.connectionDictionary();

        auto fetchWith = [&](const QString &url) {
            QVariantMap d = dictionary;
            d.insert(QStringLiteral("URL"), url);
            model.setConnectionDictionary(d);
            eo::EOEditingContext context(eo::EOModelGroup::defaultGroup());
            data::KORDataBusOC bus;
            bus.initDataBusWithModel(model.name(), &context);
            bus.fetchArray(QStringLiteral("TypeSalle"), eo::EOQualifierPtr(), {});
        };
        try {
            fetchWith(QStringLiteral("sqlite://") + db.directory() + QStringLiteral("/absente.db"));
            QFAIL("a missing database must raise");
        } catch (const eo::EOException &error) {
            QCOMPARE(error.kind(), eo::EOException::Kind::Connection);
            QVERIFY(error.message().contains(QStringLiteral("introuvable")));
        }
        QFile corrupt(db.directory() + QStringLiteral("/corrompue.db"));
        QVERIFY(corrupt.open(QIODevice::WriteOnly));
        corrupt.write(QByteArray(4096, 'z'));
        corrupt.close();
        try {
            fetchWith(QStringLiteral("sqlite://") + corrupt.fileName());
            QFAIL("a corrupt database must raise");
        } catch (const eo::EOException &error) {
            QCOMPARE(error.kind(), eo::EOException::Kind::Connection);
            QVERIFY(error.message().contains(QStringLiteral("n'est pas une base")));
        }
        try {
            fetchWith(QStringLiteral("mysql://serveur/base"));
            QFAIL("an unknown kind of database must raise");
        } catch (const eo::EOException &error) {
            QCOMPARE(error.kind(), eo::EOException::Kind::Connection);
        }
        model.setConnectionDictionary(dictionary);
    }

    // What the embedded database opens and attaches comes from the model's dictionary: the data folder in
    // its URL, the attached files with their schema names, the hint given when the database is missing.
    void theDictionaryNamesTheFilesOfTheEmbeddedDatabase_data()
    {
        QTest::addColumn<QString>("url"); // %1: the test's folder
        QTest::addColumn<QVariantMap>("attached");
        QTest::addColumn<QString>("refusal"); // what the message says; empty when the fetch works
        const QVariantMap solma{{"SOLMA", "solma.db"}};
        QTest::newRow("the model's folder") << "sqlite://%1/locavia.db" << solma << "";
        QTest::newRow("the user's data folder") << "sqlite:///${LOCAVIA_DATA}/locavia.db" << solma << "";
        QTest::newRow("attached from elsewhere")
            << "sqlite://%1/locavia.db" << QVariantMap{{"SOLMA", "%1/ailleurs/solma.db"}} << "";
        QTest::newRow("attached file missing")
            << "sqlite://%1/locavia.db" << QVariantMap{{"SOLMA", "absente.db"}}
            << "rattachée sous le nom SOLMA, est introuvable";
        QTest::newRow("nothing attached") << "sqlite://%1/locavia.db" << QVariantMap() << "SOLMA";
        QTest::newRow("schema name that is not a name")
            << "sqlite://%1/locavia.db" << QVariantMap{{"SOLMA AS X; --", "solma.db"}}
            << "n'est pas un nom SQL";
        QTest::newRow("database missing") << "sqlite://%1/absente.db" << solma
                                          << "est introuvable : corrigez l'adresse URL du modèle ou "
                                             "installez la base. Lancez l'installation.";
    }
    void theDictionaryNamesTheFilesOfTheEmbeddedDatabase()
    {
        QFETCH(QString, url);
        QFETCH(QVariantMap, attached);
        QFETCH(QString, refusal);
        TestDatabase db;
        QVERIFY(db.isValid());
        const QString folder = db.directory();
        // The user's data folder of this test only, whoever runs it.
        const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", (folder + QStringLiteral("/donnees")).toUtf8());
        const auto restore = qScopeGuard([&] { qputenv("XDG_DATA_HOME", dataHome); });
        data::SqliteDatabaseInstaller::install(data::DataFolder::path(), platform::resourcesDirectory());
        QVERIFY(QDir(folder).mkdir(QStringLiteral("ailleurs")));
        QVERIFY(
            QFile::copy(folder + QStringLiteral("/solma.db"), folder + QStringLiteral("/ailleurs/solma.db")));
        for (auto it = attached.begin(); it != attached.end(); ++it)
            it.value() = it.value().toString().replace(QStringLiteral("%1"), folder);

        eo::EOModel &model = db.model();
        const QVariantMap kept = model.connectionDictionary();
        QVariantMap dictionary = kept;
        dictionary.insert(QStringLiteral("URL"), url.replace(QStringLiteral("%1"), folder));
        dictionary.insert(QStringLiteral("attachedDatabases"), attached);
        dictionary.insert(QStringLiteral("installHint"), QStringLiteral("Lancez l'installation."));
        model.setConnectionDictionary(dictionary);
        QString message;
        try {
            eo::EOEditingContext context(eo::EOModelGroup::defaultGroup());
            data::KORDataBusOC bus;
            bus.initDataBusWithModel(model.name(), &context);
            // A view that reads both files: the attached one is there under its schema name.
            bus.fetchArray(QStringLiteral("SallesVix"), eo::EOQualifierPtr(), {});
        } catch (const eo::EOException &error) {
            message = error.message();
        }
        model.setConnectionDictionary(kept);
        if (refusal.isEmpty())
            QVERIFY2(message.isEmpty(), qPrintable(message));
        else
            QVERIFY2(message.contains(refusal), qPrintable(message));
    }
};

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    TestKORDataBusOC onEachBackend;
    TestDatabaseFiles files;
    return QTest::qExec(&onEachBackend, argc, argv) | QTest::qExec(&files, argc, argv);
}

#include "tst_KORDataBusOC.moc"
