// The SQL the layer writes, run on a small embedded database: the conditions find the rows they mean, with
// wildcards, literal % and _, quotes and backslashes, joins that keep rooms without a building, and raw
// numeric comparisons on counts kept as text.

#include "EOAdaptor.h"
#include "EOAndQualifier.h"
#include "EONull.h"
#include "EOQualifier.h"
#include "EOSQLExpression.h"
#include "EOSQLQualifier.h"
#include "EOTestModel.h"
#include "EOTestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace eo;
using Selector = EOSortOrdering::Selector;

class TestEOSQLiteFetch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void conditionsFindTheirRows_data();
    void conditionsFindTheirRows();
    void rawConditionsFindTheirRows_data();
    void rawConditionsFindTheirRows();
    void orderOfARoomList();

private:
    QList<int> roomsFound(const EOQualifierPtr &qualifier, const QList<EOSortOrdering> &orderings = {});

    QTemporaryDir m_directory;
    std::unique_ptr<EOModel> m_model;
    std::unique_ptr<EOAdaptor> m_adaptor;
};

void TestEOSQLiteFetch::initTestCase()
{
    QVERIFY(m_directory.isValid());
    const QString inventory = m_directory.filePath(QStringLiteral("essai.db"));
    for (const QString &path : {inventory, m_directory.filePath(QStringLiteral("solma.db"))}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly)); // an empty file is an empty database
    }
    m_model = makeTestModel();
    m_adaptor = EOAdaptor::adaptorWithConnectionDictionary(
        {{QStringLiteral("URL"), QStringLiteral("sqlite://") + inventory}});

    const QStringList schema{
        "CREATE TABLE SALLE (SAL_NUMERO INTEGER PRIMARY KEY, C_LOCAL TEXT, APPELLATION TEXT, SAL_ETAGE TEXT, "
        "SAL_PORTE TEXT, SAL_CAPACITE INTEGER, SAL_SUPERFICIE NUMERIC, SAL_TABLEAU TEXT, SAL_RESERVABLE "
        "TEXT, "
        "SAL_ECRAN TEXT, SAL_DESCRIPTIF TEXT, TSAL_NUMERO INTEGER, BUR_ORDRE INTEGER)",
        "CREATE TABLE LOCAL (C_LOCAL TEXT PRIMARY KEY, APPELLATION TEXT, ADR_ORDRE INTEGER)",
        "CREATE TABLE ADRESSE (ADR_ORDRE INTEGER PRIMARY KEY, VILLE TEXT, CODE_POSTAL TEXT)",
        "CREATE TABLE TYPE_SALLE (TSAL_NUMERO INTEGER PRIMARY KEY, TSAL_LIBELLE TEXT)",
        "INSERT INTO ADRESSE VALUES (1, 'Lyon', '69007'), (2, 'Bron', '69500')",
        "INSERT INTO LOCAL VALUES ('SCI', 'Bât. Sciences', 1), ('LET', 'lettres', 2), ('DRO', 'Droit', 1)",
        "INSERT INTO TYPE_SALLE VALUES (1, 'Amphi'), (2, 'TP')",
        "INSERT INTO SALLE VALUES "
        "(1, 'SCI', 'Bât. Sciences', '1', 'A12', 30, 25.5, '2', 'O', 'O', 'Salle 50% équipée', 1, 1), "
        "(2, 'SCI', 'Bât. Sciences', '1', 'a12b', 10, NULL, '10', 'N', 'N', 'Vue sur l''aile_nord', 2, 7), "
        "(3, 'LET', 'lettres', '2', 'XA12', 120, 100, ' 3', 'O', NULL, 'AMPHI C\\D', NULL, 3), "
        "(4, 'ZZZ', NULL, '01', 'B1', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL), "
        "(5, 'LET', 'lettres', 'RDC', 'c3', 20, 12.5, 'x', 'O', 'O', '50 places aileXnord', 2, 5), "
        "(6, 'DRO', 'Droit', '1', 'A1', 50, 40, '1', 'O', 'N', NULL, 1, 6)",
    };
    for (const QString &statement : schema)
        m_adaptor->rawRows(statement, {});
}

QList<int> TestEOSQLiteFetch::roomsFound(const EOQualifierPtr &qualifier,
                                         const QList<EOSortOrdering> &orderings)
{
    const EOEntity &salle = m_model->entity(QStringLiteral("Salle"));
    EOSQLExpression expression(salle, m_adaptor->dialect());
    EOFetchRequest fetch;
    fetch.entityName = salle.name;
    fetch.qualifier = qualifier;
    fetch.sortOrderings = orderings;
    const QString sql = expression.selectStatement(fetch);
    QList<EOAttribute::Type> types;
    for (const EOAttribute &attribute : salle.attributes())
        types.append(attribute.type);
    QList<int> numbers;
    for (const QList<QVariant> &row : m_adaptor->selectRows(sql, expression.bindings(), types))
        numbers.append(row.at(0).toInt());
    if (orderings.isEmpty())
        std::sort(numbers.begin(), numbers.end());
    return numbers;
}

void TestEOSQLiteFetch::conditionsFindTheirRows_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QVariantList>("arguments");
    QTest::addColumn<QList<int>>("rooms");

    QTest::newRow("every room, even without building")
        << QString() << QVariantList{} << QList<int>{1, 2, 3, 4, 5, 6};
    QTest::newRow("bookable flag set")
        << "salReservable!=%@" << QVariantList{eoNull()} << QList<int>{1, 2, 3, 5, 6};
    QTest::newRow("bookable flag null") << "salReservable=nil" << QVariantList{} << QList<int>{4};
    QTest::newRow("flag") << "salEcran='O'" << QVariantList{} << QList<int>{1, 5};
    QTest::newRow("floor exactly 1") << "salEtage=%@" << QVariantList{"1"} << QList<int>{1, 2, 6};
    QTest::newRow("number from a text") << "salNumero=%@" << QVariantList{"3"} << QList<int>{3};
    QTest::newRow("%d") << "salNumero=%d" << QVariantList{5} << QList<int>{5};
    QTest::newRow("door like, case counts")
        << "salPorte like %@" << QVariantList{"*A12*"} << QList<int>{1, 3};
    QTest::newRow("door caseInsensitiveLike")
        << "salPorte caseInsensitiveLike %@" << QVariantList{"*a12*"} << QList<int>{1, 2, 3};
    QTest::newRow("one character") << "salPorte like %@" << QVariantList{"A1?"} << QList<int>{1};
    QTest::newRow("literal percent") << "salDescriptif like %@" << QVariantList{"*50%*"} << QList<int>{1};
    QTest::newRow("literal underscore")
        << "salDescriptif like %@" << QVariantList{"*aile_n*"} << QList<int>{2};
    QTest::newRow("quote in a pattern")
        << "salDescriptif like %@" << QVariantList{"*l'aile*"} << QList<int>{2};
    QTest::newRow("backslash in a pattern")
        << "salDescriptif like %@" << QVariantList{"*C\\D"} << QList<int>{3};
    QTest::newRow("quote in a value")
        << "salDescriptif = %@" << QVariantList{"Vue sur l'aile_nord"} << QList<int>{2};
    QTest::newRow("injection attempt is a value")
        << "salDescriptif = '%@'" << QVariantList{"x' or '1'='1"} << QList<int>{};
    QTest::newRow("building like") << "local.appellation like %@" << QVariantList{"*Sciences*"}
                                   << QList<int>{1, 2};
    QTest::newRow("no building") << "local.appellation = nil" << QVariantList{} << QList<int>{4};
    QTest::newRow("building and flag")
        << "local.appellation=%@ and salReservable!=nil" << QVariantList{"lettres"} << QList<int>{3, 5};
    QTest::newRow("town in two steps")
        << "local.toAdresse.ville = %@" << QVariantList{"Lyon"} << QList<int>{1, 2, 6};
    QTest::newRow("flattened town") << "villeSalle = %@" << QVariantList{"Bron"} << QList<int>{3, 5};
    QTest::newRow("flattened type") << "typeLibelle = %@" << QVariantList{"Amphi"} << QList<int>{1, 6};
    QTest::newRow("key against key") << "salNumero = burOrdre" << QVariantList{} << QList<int>{1, 3, 5, 6};
    QTest::newRow("decimal") << "salSuperficie > %@" << QVariantList{"25.4"} << QList<int>{1, 3, 6};
    QTest::newRow("not") << "not salEcran = 'O'" << QVariantList{} << QList<int>{2, 6};
}

void TestEOSQLiteFetch::conditionsFindTheirRows()
{
    QFETCH(QString, format);
    QFETCH(QVariantList, arguments);
    QFETCH(QList<int>, rooms);
    const EOQualifierPtr qualifier =
        format.isEmpty() ? EOQualifierPtr() : EOQualifier::qualifierWithQualifierFormat(format, arguments);
    QCOMPARE(roomsFound(qualifier), rooms);
}

void TestEOSQLiteFetch::rawConditionsFindTheirRows_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QVariantList>("arguments");
    QTest::addColumn<QList<int>>("rooms");

    QTest::newRow("capacity below 20") << "SAL_CAPACITE %s %@" << QVariantList{"<", "20"} << QList<int>{2};
    QTest::newRow("capacity equal 20") << "SAL_CAPACITE %s %@" << QVariantList{"=", "20"} << QList<int>{5};
    QTest::newRow("surface above 12.5")
        << "SAL_SUPERFICIE %s %@" << QVariantList{">", "12.5"} << QList<int>{1, 3, 6};
    // "10" > "2" as numbers, not as texts; " 3" reads as 3; "x" as no number.
    QTest::newRow("boards counted as text")
        << "to_number(SAL_TABLEAU) %s %@" << QVariantList{">", "2"} << QList<int>{2, 3};
    QTest::newRow("description contains")
        << "UPPER(SAL_DESCRIPTIF) like '%%%@%%'" << QVariantList{"AMPHI"} << QList<int>{3};
    QTest::newRow("description with backslash")
        << "UPPER(SAL_DESCRIPTIF) like '%%%@%%'" << QVariantList{"C\\D"} << QList<int>{3};
    // The text's own % and _ are wild cards of the pattern, as the format means them; a quote is a quote.
    QTest::newRow("percent typed in a description is a wild card")
        << "UPPER(SAL_DESCRIPTIF) like '%%%@%%'" << QVariantList{"50%"} << QList<int>{1, 5};
    QTest::newRow("underscore typed in a description is a wild card")
        << "UPPER(SAL_DESCRIPTIF) like '%%%@%%'" << QVariantList{"AILE_NORD"} << QList<int>{2, 5};
    QTest::newRow("description with quote and underscore")
        << "UPPER(SAL_DESCRIPTIF) like '%%%@%%'" << QVariantList{"L'AILE_N"} << QList<int>{2};
    QTest::newRow("description injection attempt")
        << "UPPER(SAL_DESCRIPTIF) like '%%%@%%'" << QVariantList{"' OR '1'='1"} << QList<int>{};
}

void TestEOSQLiteFetch::rawConditionsFindTheirRows()
{
    QFETCH(QString, format);
    QFETCH(QVariantList, arguments);
    QFETCH(QList<int>, rooms);
    const auto raw = std::make_shared<EOSQLQualifier>(QStringLiteral("Salle"), format, arguments);
    QCOMPARE(roomsFound(raw), rooms);

    // The same in the room search's conjunction with the base condition.
    const auto search = std::make_shared<EOAndQualifier>(QList<EOQualifierPtr>{
        raw, EOQualifier::qualifierWithQualifierFormat(QStringLiteral("salReservable!=%@"), {eoNull()})});
    QCOMPARE(roomsFound(search), rooms);
}

void TestEOSQLiteFetch::orderOfARoomList()
{
    const QList<EOSortOrdering> order{
        EOSortOrdering(QStringLiteral("appellation"), Selector::CompareCaseInsensitiveAscending),
        EOSortOrdering(QStringLiteral("salEtage"), Selector::CompareCaseInsensitiveAscending),
        EOSortOrdering(QStringLiteral("salPorte"), Selector::CompareCaseInsensitiveAscending)};
    // The room without building name first, then Bât. Sciences, Droit, lettres without regard to case.
    QCOMPARE(roomsFound({}, order), (QList<int>{4, 1, 2, 6, 3, 5}));

    const QList<EOSortOrdering> byTown{
        EOSortOrdering(QStringLiteral("villeSalle"), Selector::CompareDescending),
        EOSortOrdering(QStringLiteral("salNumero"), Selector::CompareDescending)};
    QCOMPARE(roomsFound({}, byTown), (QList<int>{6, 2, 1, 5, 3, 4}));
}

QTEST_GUILESS_MAIN(TestEOSQLiteFetch)
#include "tst_eosqlitefetch.moc"
