// The same fetches give the same rooms on the embedded database and on the server (the class runs once per
// backend): qualifiers on attributes and key paths, like with its own wildcards, nulls, conjunctions, raw
// conditions in the system's Oracle-style SQL (to_number over counts kept as text, UPPER over accented
// descriptions, comparison operators given at run time), the case-insensitive sort in French order (the
// same as in memory, by one key and key by key), and every entity of the model read without error.

#include "BackendTestCase.h"
#include "EOAndQualifier.h"
#include "EOFetchRequest.h"
#include "EOModelGroup.h"
#include "EONull.h"
#include "EOSQLQualifier.h"
#include "TestDatabase.h"

#include <QCoreApplication>
#include <QTest>
#include <algorithm>
#include <memory>

using eo::EOSortOrdering;

namespace
{

QStringList sortedDoors(const QList<eo::EORecord> &rooms)
{
    QStringList doors;
    for (const eo::EORecord &room : rooms)
        doors.append(room->valueForKey(QStringLiteral("salPorte")).toString());
    doors.sort(Qt::CaseSensitive);
    return doors;
}

eo::EOQualifierPtr format(const QString &text, const QVariantList &arguments = {})
{
    return eo::EOQualifier::qualifierWithQualifierFormat(text, arguments);
}

eo::EOQualifierPtr raw(const QString &text, const QVariantList &arguments = {})
{
    return std::make_shared<eo::EOSQLQualifier>(QStringLiteral("SallesVix"), text, arguments);
}

} // namespace

class TestQualifierConformance : public BackendTestCase
{
    Q_OBJECT

private:
    void prepare() override
    {
        QCOMPARE(db->addBuilding(QStringLiteral("ABC"), QStringLiteral("BATIMENT ALPHA")),
                 QStringLiteral("ABC"));
        QCOMPARE(db->addBuilding(QStringLiteral("ABD"), QStringLiteral("annexe beta")),
                 QStringLiteral("ABD"));
        QVERIFY(db->addRoom("ABC", "1", "A12",
                            {{"salCapacite", 20},
                             {"salTableau", "4"},
                             {"salDescriptif", "L'amphi d'été"},
                             {"salEcran", "O"},
                             {"salReservable", "O"}}) > 0);
        QVERIFY(db->addRoom("ABC", "RDC", "B7",
                            {{"salCapacite", 35},
                             {"salTableau", "2"},
                             {"salDescriptif", "salle claire"},
                             {"salEcran", "N"},
                             {"salReservable", "N"}}) > 0);
        QVERIFY(db->addRoom("ABD", "1", "A120",
                            {{"salCapacite", 12},
                             {"salTableau", "1"},
                             {"salDescriptif", "Été comme hiver"},
                             {"salEcran", "O"},
                             {"salReservable", "N"}}) > 0);
        QVERIFY(db->addRoom("ABD", "2", "a12",
                            {{"salCapacite", eo::eoNull()},
                             {"salTableau", ""},
                             {"salDescriptif", ""},
                             {"salEcran", "O"},
                             {"salReservable", eo::eoNull()}}) > 0);
        // A count that another application stored as words: a search on counts must pass it by.
        QVERIFY(
            db->exec(QStringLiteral("UPDATE SOLMA.SALLES SET SAL_TABLEAU = 'x' WHERE SAL_PORTE = 'A120'")));
        QVERIFY(db->takeAlerts().isEmpty());
    }

private slots:

    void sameRooms_data()
    {
        QTest::addColumn<eo::EOQualifierPtr>("qualifier");
        QTest::addColumn<QStringList>("doors");

        QTest::newRow("equal") << format("salEtage=%@", {"1"}) << QStringList{"A12", "A120"};
        QTest::newRow("like, case kept")
            << format("salPorte like %@", {"A12*"}) << QStringList{"A12", "A120"};
        QTest::newRow("like, one character")
            << format("salPorte like %@", {"?12"}) << QStringList{"A12", "a12"};
        QTest::newRow("number") << format("salCapacite > 15") << QStringList{"A12", "B7"};
        QTest::newRow("number given as text") << format("salCapacite = %@", {"20"}) << QStringList{"A12"};
        QTest::newRow("null") << format("salReservable = nil") << QStringList{"a12"};
        QTest::newRow("not null") << format("salReservable != %@", {eo::eoNull()})
                                  << QStringList{"A12", "A120", "B7"};
        QTest::newRow("empty text stored as null") << format("salDescriptif = nil") << QStringList{"a12"};
        QTest::newRow("key path") << format("local.appellation like %@", {"*ALPHA"})
                                  << QStringList{"A12", "B7"};
        QTest::newRow("key path and null")
            << format("local.appellation=%@ and salReservable!=nil", {"annexe beta"}) << QStringList{"A120"};
        QTest::newRow("or") << format("salEtage = '1' or salEtage = 'RDC'")
                            << QStringList{"A12", "A120", "B7"};
        QTest::newRow("not") << format("not (salEcran = 'O')") << QStringList{"B7"};
        QTest::newRow("flag") << format("salEcran='O' and salReservable='N'") << QStringList{"A120"};
        QTest::newRow("raw to_number") << raw("to_number(SAL_TABLEAU) > 3") << QStringList{"A12"};
        QTest::newRow("raw to_number, operator given")
            << raw("to_number(SAL_TABLEAU) %s %@", {">=", "2"}) << QStringList{"A12", "B7"};
        QTest::newRow("raw upper on accents")
            << raw("UPPER(SAL_DESCRIPTIF) like '%%%@%%'", {QStringLiteral("été").toUpper()})
            << QStringList{"A12", "A120"};
        // What a user types between the wild cards of a criterion: the door's * and ? and the description's %
        // and _ are wild cards, the other sign of each is a character, and a quote is a quote.
        QTest::newRow("typed door wild cards")
            << format("salPorte like %@", {"*A1?*"}) << QStringList{"A12", "A120"};
        QTest::newRow("typed percent in a door is a character")
            << format("salPorte like %@", {"*1%*"}) << QStringList{};
        QTest::newRow("typed underscore in a description")
            << raw("UPPER(SAL_DESCRIPTIF) like '%%%@%%'", {QStringLiteral("D_ÉTÉ")}) << QStringList{"A12"};
        QTest::newRow("typed percent in a description")
            << raw("UPPER(SAL_DESCRIPTIF) like '%%%@%%'", {QStringLiteral("ÉTÉ%HIVER")})
            << QStringList{"A120"};
        QTest::newRow("typed star and quote in a description")
            << raw("UPPER(SAL_DESCRIPTIF) like '%%%@%%'", {QStringLiteral("L'AMPHI*")}) << QStringList{};
        QTest::newRow("typed quote in a description")
            << raw("UPPER(SAL_DESCRIPTIF) like '%%%@%%'", {QStringLiteral("L'AMPHI")}) << QStringList{"A12"};
        QTest::newRow("raw number") << raw("SAL_CAPACITE %s %@", {"<", "20"}) << QStringList{"A120"};
        QTest::newRow("raw text") << raw("SAL_ETAGE = %@", {"RDC"}) << QStringList{"B7"};
        QTest::newRow("raw and attribute")
            << eo::EOQualifierPtr(std::make_shared<eo::EOAndQualifier>(
                   QList<eo::EOQualifierPtr>{raw("to_number(SAL_TABLEAU) %s %@", {">", "0"}),
                                             format("salReservable!=%@", {eo::eoNull()})}))
            << QStringList{"A12", "B7"};
    }
    void sameRooms()
    {
        QFETCH(eo::EOQualifierPtr, qualifier);
        QFETCH(QStringList, doors);
        QCOMPARE(sortedDoors(db->dataBus().fetchArray(QStringLiteral("SallesVix"), qualifier, {})), doors);
    }

    void sameOrder()
    {
        const QList<EOSortOrdering> byBuildingFloorDoor{
            {QStringLiteral("appellation"), EOSortOrdering::Selector::CompareCaseInsensitiveAscending},
            {QStringLiteral("salEtage"), EOSortOrdering::Selector::CompareCaseInsensitiveAscending},
            {QStringLiteral("salPorte"), EOSortOrdering::Selector::CompareCaseInsensitiveAscending},
        };
        QStringList doors;
        for (const eo::EORecord &room :
             db->dataBus().fetchArray(QStringLiteral("SallesVix"), eo::EOQualifierPtr(), byBuildingFloorDoor))
            doors.append(room->valueForKey(QStringLiteral("salPorte")).toString());
        QCOMPARE(doors, (QStringList{"A120", "a12", "A12", "B7"}));
    }

    void sameValues()
    {
        const eo::EORecord room =
            db->dataBus().fetchObject(QStringLiteral("SallesVix"), QStringLiteral("salPorte=%@"), {"A12"});
        QVERIFY(room);
        QCOMPARE(room->valueForKey(QStringLiteral("salCapacite")), QVariant(qint64(20)));
        QCOMPARE(room->valueForKey(QStringLiteral("salSuperficie")), QVariant(35.5));
        QCOMPARE(room->valueForKey(QStringLiteral("salTableau")), QVariant(QStringLiteral("4")));
        QCOMPARE(room->valueForKey(QStringLiteral("salDescriptif")),
                 QVariant(QStringLiteral("L'amphi d'été")));
        QCOMPARE(room->valueForKeyPath(QStringLiteral("local.appellation")),
                 QVariant(QStringLiteral("BATIMENT ALPHA")));
        QCOMPARE(room->valueForKey(QStringLiteral("toTypeSalle_tsalLibelle")),
                 QVariant(QStringLiteral("Salle de cours")));
        QVERIFY(eo::isEONull(room->valueForKey(QStringLiteral("salIdentAcces"))));
        QVERIFY(eo::isEONull(room->valueForKey(QStringLiteral("tavSportif"))));
    }

    void frenchOrder_data()
    {
        QTest::addColumn<EOSortOrdering::Selector>("selector");
        QTest::addColumn<QStringList>("expected");
        // Accents and case are looked at after the letters: "É" among the e's, "Câ" among the ca's, "œ" as
        // "oe"; case last, lower case first; a space or a hyphen before any letter.
        const QStringList french{"Câblage",        "cable",  "chaise", "Chaise", "cote",   "côte",   "Côte",
                                 "Écran motorisé", "Entrée", "œil",    "Zone",   "Zone 2", "Zone-2", "zones"};
        QStringList reversed(french.rbegin(), french.rend());
        QTest::newRow("ascending") << EOSortOrdering::Selector::CompareCaseInsensitiveAscending << french;
        QTest::newRow("descending") << EOSortOrdering::Selector::CompareCaseInsensitiveDescending << reversed;
    }

    void frenchOrder()
    {
        QFETCH(EOSortOrdering::Selector, selector);
        QFETCH(QStringList, expected);
        // Stored in an order of their own, types of one family of the equipment catalogue.
        QStringList stored = expected;
        std::sort(stored.begin(), stored.end(),
                  [](const QString &a, const QString &b) { return qHash(a) < qHash(b); });
        for (const QString &label : stored) {
            QVERIFY(db->exec(
                QStringLiteral(
                    "INSERT INTO TYPE_MATERIEL (TAV_LIBELLE, TAV_NIVEAU, TAV_PERE) VALUES ('%1', 2, 77)")
                    .arg(QString(label).replace(QLatin1Char('\''), QLatin1String("''")))));
        }
        const QList<EOSortOrdering> order{EOSortOrdering(QStringLiteral("tavLibelle"), selector)};
        const QList<eo::EORecord> fetched =
            db->dataBus().fetchArray(QStringLiteral("TypeMateriel"), QStringLiteral("tavPere=77"), {}, order);
        const auto labels = [](const QList<eo::EORecord> &records) {
            QStringList list;
            for (const eo::EORecord &record : records)
                list.append(record->valueForKey(QStringLiteral("tavLibelle")).toString());
            return list;
        };
        QCOMPARE(labels(fetched), expected);
        // Sorted again in memory (a list's header clicked), the order stays.
        QList<eo::EORecord> shuffled = fetched;
        std::reverse(shuffled.begin(), shuffled.end());
        QCOMPARE(labels(EOSortOrdering::sortedArrayUsingKeyOrderArray(shuffled, order)), expected);
    }

    void frenchOrderKeyByKey_data()
    {
        QTest::addColumn<EOSortOrdering::Selector>("selector");
        QTest::addColumn<QStringList>("expected");
        // Rooms by building, floor and door: each key by its letters first, so that the door decides between
        // "Rdc" and "RDC"; accents and case order only the rows whose keys all tie, key by key.
        const QStringList ascending{"Étage 1|a", "étage 1|B", "RDC|A12", "Rdc|A12B", "Rdc|CX1", "RDC|cx1"};
        QTest::newRow("ascending") << EOSortOrdering::Selector::CompareCaseInsensitiveAscending << ascending;
        QTest::newRow("descending") << EOSortOrdering::Selector::CompareCaseInsensitiveDescending
                                    << QStringList(ascending.rbegin(), ascending.rend());
    }

    void frenchOrderKeyByKey()
    {
        QFETCH(EOSortOrdering::Selector, selector);
        QFETCH(QStringList, expected);
        QCOMPARE(db->addBuilding(QStringLiteral("ORD"), QStringLiteral("Ordre")), QStringLiteral("ORD"));
        // Stored in the reverse of the order expected.
        for (const QString &room : QStringList(expected.rbegin(), expected.rend()))
            QVERIFY(db->addRoom("ORD", room.section(QLatin1Char('|'), 0, 0),
                                room.section(QLatin1Char('|'), 1)) > 0);
        const QList<EOSortOrdering> order{EOSortOrdering(QStringLiteral("appellation"), selector),
                                          EOSortOrdering(QStringLiteral("salEtage"), selector),
                                          EOSortOrdering(QStringLiteral("salPorte"), selector)};
        const auto rooms = [](const QList<eo::EORecord> &records) {
            QStringList list;
            for (const eo::EORecord &record : records)
                list.append(record->valueForKey(QStringLiteral("salEtage")).toString() + QLatin1Char('|') +
                            record->valueForKey(QStringLiteral("salPorte")).toString());
            return list;
        };
        // The database's own order, before the data bus sorts again in memory.
        eo::EOFetchRequest request;
        request.entityName = QStringLiteral("SallesVix");
        request.qualifier = format(QStringLiteral("cLocal='ORD'"));
        request.sortOrderings = order;
        const QList<eo::EORecord> fetched = db->editingContext().objectsWithFetchRequest(request);
        QCOMPARE(rooms(fetched), expected);
        QList<eo::EORecord> shuffled = fetched;
        std::reverse(shuffled.begin(), shuffled.end());
        QCOMPARE(rooms(EOSortOrdering::sortedArrayUsingKeyOrderArray(shuffled, order)), expected);
    }

    void everyEntityReads()
    {
        const eo::EOModel &model = db->model();
        for (const QString &entity : model.entityNames()) {
            try {
                db->dataBus().fetchArray(entity, eo::EOQualifierPtr(), {});
            } catch (const eo::EOException &error) {
                QFAIL(qPrintable(entity + QStringLiteral(" : ") + error.message()));
            }
        }
        QCOMPARE(
            db->dataBus()
                .fetchArray(QStringLiteral("StructureZebVix"), QStringLiteral("lcStructure='DEPOS'"), {}, {})
                .value(0)
                ->valueForKey(QStringLiteral("perelcStructure")),
            QVariant(QStringLiteral("SCIENCES")));
    }
};

QTEST_GUILESS_MAIN(TestQualifierConformance)

#include "tst_QualifierConformance.moc"
