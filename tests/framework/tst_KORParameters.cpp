// Parameter lookup on the embedded database: the entity with its fallback keys, a key/value table with the
// entity as fallback, a missing prefix, keys that carry SQL, and table names that are not names.

#include "EOException.h"
#include "KORParameters.h"
#include "TestDatabase.h"

#include <QTest>

using framework::KORParameters;

namespace
{

const QString solmaTable = QStringLiteral("SOLMA.SOLMA_PARAMETRES");

QStringList keysOf(const QList<eo::EORecord> &rows)
{
    QStringList keys;
    for (const eo::EORecord &row : rows)
        keys << row->valueForKey(QStringLiteral("paramKey")).toString();
    return keys;
}

} // namespace

class TestKORParameters : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void readsTheEntityWithItsFallback_data();
    void readsTheEntityWithItsFallback();
    void readsATableWithTheEntityAsFallback_data();
    void readsATableWithTheEntityAsFallback();
    void otherTypesReadTheSameKeyAgain();
    void withoutPrefixTheFallbackMatchesNothing_data();
    void withoutPrefixTheFallbackMatchesNothing();
    void keysAreData_data();
    void keysAreData();
    void refusesTableNamesThatAreNotNames_data();
    void refusesTableNamesThatAreNotNames();
    void remembersTheLastLookup();

private:
    std::unique_ptr<TestDatabase> db;
};

void TestKORParameters::init()
{
    db = std::make_unique<TestDatabase>();
    QVERIFY(db->isValid());
    db->exec(QStringLiteral(
        "INSERT INTO PARAMETRES (PARAM_KEY, PARAM_VALUE) VALUES "
        "('MAIL', 'inventaire@univ.fr'), ('TAUX', '3.50'), ('LOCAVIA_DEFAULT_STRING', 'valeur par défaut'), "
        "('LOCAVIA_DEFAULT_NUMBER', '42'), ('CLE''APOSTROPHE', 'avec apostrophe'), "
        "('(null)_DEFAULT_STRING', 'piège'), ('(null)_DEFAULT_NUMBER', '-1'), ('_DEFAULT_STRING', 'piège "
        "vide'), "
        "('PLUSIEURS', 'premier'), ('PLUSIEURS', 'second');"
        "INSERT INTO SOLMA.SOLMA_PARAMETRES (PARAM_KEY, PARAM_VALUE) VALUES "
        "('MIRL_USER', 'OUI'), ('MAIL', 'solma@univ.fr'), ('SEUIL', '7');"));
}

void TestKORParameters::cleanup()
{
    db.reset();
}

void TestKORParameters::readsTheEntityWithItsFallback_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QVariant>("value");

    QTest::newRow("string found") << QStringLiteral("MAIL") << QStringLiteral("STRING") << QStringList{"MAIL"}
                                  << QVariant("inventaire@univ.fr");
    QTest::newRow("number as stored")
        << QStringLiteral("TAUX") << QStringLiteral("NUMBER") << QStringList{"TAUX"} << QVariant("3.50");
    QTest::newRow("string fallback") << QStringLiteral("ABSENT") << QStringLiteral("STRING")
                                     << QStringList{"LOCAVIA_DEFAULT_STRING"}
                                     << QVariant("valeur par défaut");
    QTest::newRow("number fallback") << QStringLiteral("ABSENT") << QStringLiteral("NUMBER")
                                     << QStringList{"LOCAVIA_DEFAULT_NUMBER"} << QVariant("42");
    QTest::newRow("several rows, the first one")
        << QStringLiteral("PLUSIEURS") << QStringLiteral("STRING") << QStringList{"PLUSIEURS", "PLUSIEURS"}
        << QVariant("premier");
    QTest::newRow("key only in the table is not in the entity")
        << QStringLiteral("MIRL_USER") << QStringLiteral("STRING") << QStringList{"LOCAVIA_DEFAULT_STRING"}
        << QVariant("valeur par défaut");
}

void TestKORParameters::readsTheEntityWithItsFallback()
{
    QFETCH(QString, key);
    QFETCH(QString, type);
    QFETCH(QStringList, keys);
    QFETCH(QVariant, value);

    KORParameters parameters(db->dataBus(), QStringLiteral("LOCAVIA"));
    QCOMPARE(keysOf(parameters.getValues(key, type)), keys);
    const QVariant read =
        type == QLatin1String("STRING") ? parameters.getStringValue(key) : parameters.getNumberValue(key);
    QCOMPARE(read.toString(), value.toString());
}

void TestKORParameters::readsATableWithTheEntityAsFallback_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stringValue");
    QTest::addColumn<QString>("numberValue");

    QTest::newRow("the table wins over the entity")
        << QStringLiteral("MAIL") << QStringLiteral("solma@univ.fr") << QStringLiteral("solma@univ.fr");
    QTest::newRow("only in the table")
        << QStringLiteral("MIRL_USER") << QStringLiteral("OUI") << QStringLiteral("OUI");
    QTest::newRow("number from the table as stored")
        << QStringLiteral("SEUIL") << QStringLiteral("7") << QStringLiteral("7");
    QTest::newRow("missing from the table: the entity")
        << QStringLiteral("TAUX") << QStringLiteral("3.50") << QStringLiteral("3.50");
    QTest::newRow("missing everywhere: the fallback of each type")
        << QStringLiteral("ABSENT") << QStringLiteral("valeur par défaut") << QStringLiteral("42");
}

void TestKORParameters::readsATableWithTheEntityAsFallback()
{
    QFETCH(QString, key);
    QFETCH(QString, stringValue);
    QFETCH(QString, numberValue);

    KORParameters parameters(db->dataBus(), QStringLiteral("LOCAVIA"));
    QCOMPARE(parameters.getStringValue(key, solmaTable).toString(), stringValue);
    QCOMPARE(parameters.getNumberValue(key, solmaTable).toString(), numberValue);
}

void TestKORParameters::otherTypesReadTheSameKeyAgain()
{
    KORParameters parameters(db->dataBus(), QStringLiteral("LOCAVIA"));
    QVERIFY(parameters.getValues(QStringLiteral("ABSENT"), QStringLiteral("DATE")).isEmpty());
    QVERIFY(parameters.getValues(QStringLiteral("ABSENT"), QStringLiteral("string")).isEmpty());
    QCOMPARE(keysOf(parameters.getValues(QStringLiteral("MAIL"), QStringLiteral("DATE"))),
             QStringList{"MAIL"});
    // Without any row the readers answer none.
    db->exec(QStringLiteral("DELETE FROM PARAMETRES WHERE PARAM_KEY LIKE 'LOCAVIA_%'"));
    QVERIFY(!parameters.getStringValue(QStringLiteral("ABSENT")).isValid());
    QVERIFY(!parameters.getNumberValue(QStringLiteral("ABSENT"), solmaTable).isValid());
}

void TestKORParameters::withoutPrefixTheFallbackMatchesNothing_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::newRow("absent") << QString();
    QTest::newRow("empty") << QStringLiteral("");
}

void TestKORParameters::withoutPrefixTheFallbackMatchesNothing()
{
    QFETCH(QString, prefix);
    KORParameters parameters(db->dataBus(), prefix);
    QVERIFY(parameters.getValues(QStringLiteral("ABSENT"), QStringLiteral("STRING")).isEmpty());
    QVERIFY(parameters.getValues(QStringLiteral("ABSENT"), QStringLiteral("NUMBER")).isEmpty());
    QVERIFY(!parameters.getStringValue(QStringLiteral("ABSENT")).isValid());
    QVERIFY(!parameters.getNumberValue(QStringLiteral("ABSENT"), solmaTable).isValid());
    // A key that has rows is read as usual.
    QCOMPARE(parameters.getStringValue(QStringLiteral("MAIL")).toString(),
             QStringLiteral("inventaire@univ.fr"));
}

void TestKORParameters::keysAreData_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("quote closing the literal") << QStringLiteral("x' or '1'='1");
    QTest::newRow("always-true condition") << QStringLiteral("' or 1=1 --");
    QTest::newRow("second statement") << QStringLiteral("x'; DELETE FROM PARAMETRES; --");
    QTest::newRow("qualifier syntax") << QStringLiteral("MAIL' or paramKey like '*");
    QTest::newRow("placeholder") << QStringLiteral("%@");
}

void TestKORParameters::keysAreData()
{
    QFETCH(QString, key);
    KORParameters parameters(db->dataBus(), QStringLiteral("LOCAVIA"));

    // Nothing matches such a key: the string readers fall back to the default row instead of reading the
    // first row of a widened condition.
    QVERIFY(parameters.getValues(key, solmaTable, QStringLiteral("STRING")).isEmpty());
    QCOMPARE(parameters.getStringValue(key, solmaTable).toString(), QStringLiteral("valeur par défaut"));
    QCOMPARE(keysOf(parameters.getValues(key, QStringLiteral("STRING"))),
             QStringList{"LOCAVIA_DEFAULT_STRING"});
    QCOMPARE(db->scalar(QStringLiteral("SELECT count(*) FROM PARAMETRES")).toInt(), 10);

    // A quote is part of a key like any other character.
    QCOMPARE(parameters.getStringValue(QStringLiteral("CLE'APOSTROPHE")).toString(),
             QStringLiteral("avec apostrophe"));
}

void TestKORParameters::refusesTableNamesThatAreNotNames_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("schema and table") << QStringLiteral("SOLMA.SOLMA_PARAMETRES") << true;
    QTest::newRow("table alone") << QStringLiteral("PARAMETRES") << true;
    QTest::newRow("lower case") << QStringLiteral("solma.solma_parametres") << true;
    QTest::newRow("empty") << QStringLiteral("") << false;
    QTest::newRow("condition") << QStringLiteral("PARAMETRES where 1=1 --") << false;
    QTest::newRow("second statement") << QStringLiteral("PARAMETRES; DROP TABLE PARAMETRES") << false;
    QTest::newRow("three parts") << QStringLiteral("a.b.c") << false;
    QTest::newRow("leading digit") << QStringLiteral("1PARAMETRES") << false;
    QTest::newRow("quoted") << QStringLiteral("\"PARAMETRES\"") << false;
    QTest::newRow("trailing dot") << QStringLiteral("SOLMA.") << false;
    QTest::newRow("blank") << QStringLiteral("SOLMA SOLMA_PARAMETRES") << false;
}

void TestKORParameters::refusesTableNamesThatAreNotNames()
{
    QFETCH(QString, table);
    QFETCH(bool, accepted);

    QCOMPARE(KORParameters::isTableName(table), accepted);
    KORParameters parameters(db->dataBus(), QStringLiteral("LOCAVIA"));
    if (accepted) {
        // Both tables have the columns; only the schema's has MIRL_USER.
        const bool inSolma = table.contains(u'.');
        QCOMPARE(parameters.getValues(QStringLiteral("MIRL_USER"), table, QStringLiteral("STRING")).size(),
                 inSolma ? 1 : 0);
    } else {
        QVERIFY_THROWS_EXCEPTION(eo::EOException, parameters.getValues(QStringLiteral("MIRL_USER"), table,
                                                                       QStringLiteral("STRING")));
        QVERIFY_THROWS_EXCEPTION(eo::EOException,
                                 parameters.getStringValue(QStringLiteral("MIRL_USER"), table));
    }
    QCOMPARE(db->scalar(QStringLiteral("SELECT count(*) FROM PARAMETRES")).toInt(), 10);
}

void TestKORParameters::remembersTheLastLookup()
{
    KORParameters::LastLookup last;
    KORParameters parameters(db->dataBus(), QStringLiteral("LOCAVIA"), &last);

    parameters.getStringValue(QStringLiteral("ABSENT"));
    QVERIFY2(last.qualifierText.contains(QLatin1String("LOCAVIA_DEFAULT_STRING")),
             qPrintable(last.qualifierText));
    QVERIFY(last.qualifier);
    QCOMPARE(last.result.size(), 1);

    parameters.getStringValue(QStringLiteral("MAIL"), solmaTable);
    QCOMPARE(last.result.size(), 1);
    QCOMPARE(last.result.first().toMap().value(QStringLiteral("Attribute0")).toString(),
             QStringLiteral("solma@univ.fr"));
}

QTEST_MAIN(TestKORParameters)
#include "tst_KORParameters.moc"
