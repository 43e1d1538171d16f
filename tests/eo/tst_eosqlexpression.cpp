// The SQL written for qualifiers and fetches, for the embedded database and for the server: joins for key
// paths, flattened attributes, null tests, like patterns, bound values only, and the order.

#include "EOException.h"
#include "EOFetchRequest.h"
#include "EONull.h"
#include "EOQualifier.h"
#include "EOSQLDialect.h"
#include "EOSQLExpression.h"
#include "EOTestModel.h"
#include "EOTestSupport.h"
#include "EOValues.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace eo;
using Selector = EOSortOrdering::Selector;

namespace
{

const EOSQLDialect &dialectNamed(const QString &name)
{
    static const EOSQLiteDialect sqlite;
    static const EOPostgreSQLDialect postgresql;
    return name == QLatin1String("postgresql") ? static_cast<const EOSQLDialect &>(postgresql) : sqlite;
}

// The expected SQL is written with "?" placeholders; the server numbers them in order.
QString withPlaceholders(const QString &sql, const QString &dialect)
{
    if (dialect != QLatin1String("postgresql"))
        return sql;
    QString numbered;
    int next = 1;
    for (const QChar c : sql) {
        if (c == u'?')
            numbered += QStringLiteral("$%1").arg(next++);
        else
            numbered += c;
    }
    return numbered;
}

int placeholderCount(const QString &sql, const QString &dialect)
{
    if (dialect == QLatin1String("postgresql"))
        return int(sql.count(QRegularExpression(QStringLiteral("\\$\\d+"))));
    return int(sql.count(QLatin1Char('?')));
}

// The alias given to the table of a LEFT JOIN on "table alias ON condition", or "" when there is none.
QString joinAlias(const QString &sql, const QString &table)
{
    const QRegularExpression join(QStringLiteral(" LEFT JOIN %1 (t\\d+) ON ").arg(table));
    return join.match(sql).captured(1);
}

} // namespace

class TestEOSQLExpression : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void condition_data();
    void condition();
    void keyPathJoinIsReusedAcrossSelectListAndCondition_data();
    void keyPathJoinIsReusedAcrossSelectListAndCondition();
    void everyValueIsBound_data();
    void everyValueIsBound();
    void sortOrderings_data();
    void sortOrderings();
    void caseInsensitiveOrderOnNumbersComparesNumbers_data();
    void caseInsensitiveOrderOnNumbersComparesNumbers();
    void distinctOnlyWithoutPrimaryKey();
    void unknownKeyIsAModelError_data();
    void unknownKeyIsAModelError();

private:
    std::unique_ptr<EOModel> m_model;
};

void TestEOSQLExpression::initTestCase()
{
    m_model = makeTestModel();
    QVERIFY(m_model);
}

static void addDialectRows(const char *name, const QString &format, const QVariantList &arguments,
                           const QString &sql, const QVariantList &bindings)
{
    for (const char *dialect : {"sqlite", "postgresql"}) {
        QTest::addRow("%s %s", dialect, name)
            << QString::fromLatin1(dialect) << format << arguments
            << withPlaceholders(sql, QString::fromLatin1(dialect)) << bindings;
    }
}

void TestEOSQLExpression::condition_data()
{
    QTest::addColumn<QString>("dialect");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QVariantList>("arguments");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QVariantList>("bindings");

    addDialectRows("number key, text argument", "salNumero=%@", {"12"}, "t0.SAL_NUMERO = ?", {qint64(12)});
    addDialectRows("number key, %d", "salNumero=%d", {12}, "t0.SAL_NUMERO = ?", {qint64(12)});
    addDialectRows("text key, number argument", "salEtage=%@", {1}, "t0.SAL_ETAGE = ?", {"1"});
    addDialectRows("!= null marker", "salReservable!=%@", {eoNull()}, "t0.SAL_RESERVABLE IS NOT NULL", {});
    addDialectRows("!= nil", "salReservable != nil", {}, "t0.SAL_RESERVABLE IS NOT NULL", {});
    addDialectRows("<> nil", "salReservable <> nil", {}, "t0.SAL_RESERVABLE IS NOT NULL", {});
    addDialectRows("= nil", "salReservable=nil", {}, "t0.SAL_RESERVABLE IS NULL", {});
    addDialectRows("= none", "salReservable=%@", {QVariant()}, "t0.SAL_RESERVABLE IS NULL", {});
    addDialectRows("flag literal", "salEcran='O'", {}, "t0.SAL_ECRAN = ?", {"O"});
    addDialectRows("like wildcards", "salPorte like %@", {"*A1?*"}, "t0.SAL_PORTE LIKE ? ESCAPE '\\'",
                   {"%A1_%"});
    addDialectRows("like literal percent and underscore", "salPorte like %@", {"50%_x*"},
                   "t0.SAL_PORTE LIKE ? ESCAPE '\\'", {"50\\%\\_x%"});
    addDialectRows("like literal backslash", "salPorte like %@", {"a\\b"}, "t0.SAL_PORTE LIKE ? ESCAPE '\\'",
                   {"a\\\\b"});
    addDialectRows("like quote", "salPorte like %@", {"*l'aile*"}, "t0.SAL_PORTE LIKE ? ESCAPE '\\'",
                   {"%l'aile%"});
    addDialectRows("caseInsensitiveLike", "salPorte caseInsensitiveLike %@", {"*a12*"},
                   "UPPER(t0.SAL_PORTE) LIKE UPPER(?) ESCAPE '\\'", {"%a12%"});
    addDialectRows("<", "salCapacite < 20", {}, "t0.SAL_CAPACITE < ?", {qint64(20)});
    addDialectRows(">", "salCapacite > %@", {"20"}, "t0.SAL_CAPACITE > ?", {qint64(20)});
    addDialectRows("<=", "salCapacite <= 20", {}, "t0.SAL_CAPACITE <= ?", {qint64(20)});
    addDialectRows(">=", "salCapacite >= 20", {}, "t0.SAL_CAPACITE >= ?", {qint64(20)});
    addDialectRows("!=", "salCapacite != 20", {}, "t0.SAL_CAPACITE <> ?", {qint64(20)});
    addDialectRows("decimal", "salSuperficie > %@", {"12.5"}, "t0.SAL_SUPERFICIE > ?", {12.5});
    addDialectRows("ordering against null holds for none", "salCapacite < %@", {eoNull()}, "1 = 0", {});
    addDialectRows("key path", "local.appellation like %@", {"*Sciences*"},
                   "t1.APPELLATION LIKE ? ESCAPE '\\'", {"%Sciences%"});
    addDialectRows("same relationship twice, one join", "local.appellation = %@ and local.cLocal = %@",
                   {"Sciences", "SCI"}, "(t1.APPELLATION = ?) AND (t1.C_LOCAL = ?)", {"Sciences", "SCI"});
    addDialectRows("two-step key path", "local.toAdresse.ville = %@", {"Lyon"}, "t2.VILLE = ?", {"Lyon"});
    addDialectRows("flattened attribute of a related entity", "local.ville = %@", {"Lyon"}, "t2.VILLE = ?",
                   {"Lyon"});
    addDialectRows("flattened attribute", "typeLibelle = %@", {"Amphi"}, "t1.TSAL_LIBELLE = ?", {"Amphi"});
    addDialectRows("two-step flattened attribute", "villeSalle = %@ and local.appellation = %@",
                   {"Lyon", "Sciences"}, "(t2.VILLE = ?) AND (t1.APPELLATION = ?)", {"Lyon", "Sciences"});
    addDialectRows("and, or", "salEtage=%@ and (salCapacite > 10 or salCapacite < 2)", {"1"},
                   "(t0.SAL_ETAGE = ?) AND ((t0.SAL_CAPACITE > ?) OR (t0.SAL_CAPACITE < ?))",
                   {"1", qint64(10), qint64(2)});
    addDialectRows("not", "not salEcran='O'", {}, "NOT (t0.SAL_ECRAN = ?)", {"O"});
    addDialectRows("key against key", "salNumero = burOrdre", {}, "t0.SAL_NUMERO = t0.BUR_ORDRE", {});
    addDialectRows("key against key through a path", "appellation != local.appellation", {},
                   "t0.APPELLATION <> t1.APPELLATION", {});
}

void TestEOSQLExpression::condition()
{
    QFETCH(QString, dialect);
    QFETCH(QString, format);
    QFETCH(QVariantList, arguments);
    QFETCH(QString, sql);
    QFETCH(QVariantList, bindings);

    EOSQLExpression expression(m_model->entity(QStringLiteral("Salle")), dialectNamed(dialect));
    QString out;
    EOQualifier::qualifierWithQualifierFormat(format, arguments)->appendSql(expression, out);
    QCOMPARE(out, sql);
    QCOMPARE(expression.bindings().size(), bindings.size());
    for (qsizetype i = 0; i < bindings.size(); ++i) {
        const QVariant &actual = expression.bindings().at(i);
        const QVariant &expected = bindings.at(i);
        QCOMPARE(EOValues::displayText(actual), EOValues::displayText(expected));
        // Numbers are bound as numbers and texts as texts.
        QCOMPARE(EOValues::isNumeric(actual), EOValues::isNumeric(expected));
    }
}

void TestEOSQLExpression::keyPathJoinIsReusedAcrossSelectListAndCondition_data()
{
    QTest::addColumn<QString>("dialect");
    QTest::newRow("sqlite") << "sqlite";
    QTest::newRow("postgresql") << "postgresql";
}

void TestEOSQLExpression::keyPathJoinIsReusedAcrossSelectListAndCondition()
{
    QFETCH(QString, dialect);
    EOSQLExpression expression(m_model->entity(QStringLiteral("Salle")), dialectNamed(dialect));
    EOFetchRequest fetch;
    fetch.entityName = QStringLiteral("Salle");
    fetch.qualifier = EOQualifier::qualifierWithQualifierFormat(
        QStringLiteral("local.appellation like %@ and local.cLocal = %@ and local.toAdresse.codePostal = %@"),
        {QStringLiteral("*Sci*"), QStringLiteral("SCI"), QStringLiteral("69000")});
    fetch.sortOrderings = {
        EOSortOrdering(QStringLiteral("local.appellation"), Selector::CompareCaseInsensitiveAscending)};
    const QString sql = expression.selectStatement(fetch);

    QVERIFY2(sql.startsWith(QStringLiteral("SELECT t0.SAL_NUMERO, t0.C_LOCAL, t0.APPELLATION, ")),
             qPrintable(sql));
    QVERIFY2(sql.contains(QStringLiteral(" FROM SALLE t0 LEFT JOIN ")), qPrintable(sql));
    // One join per relationship path, whether the select list, the condition or the order needs it.
    QCOMPARE(sql.count(QStringLiteral(" LEFT JOIN LOCAL ")), 1);
    QCOMPARE(sql.count(QStringLiteral(" LEFT JOIN ADRESSE ")), 1);
    QCOMPARE(sql.count(QStringLiteral(" LEFT JOIN TYPE_SALLE ")), 1);
    QCOMPARE(sql.count(QStringLiteral(" JOIN ")), 3);
    QVERIFY(!sql.contains(QStringLiteral("INNER JOIN")));

    const QString local = joinAlias(sql, QStringLiteral("LOCAL"));
    const QString address = joinAlias(sql, QStringLiteral("ADRESSE"));
    const QString type = joinAlias(sql, QStringLiteral("TYPE_SALLE"));
    QVERIFY(!local.isEmpty() && !address.isEmpty() && !type.isEmpty());
    QCOMPARE(QSet<QString>({local, address, type, QStringLiteral("t0")}).size(), 4);
    QVERIFY2(sql.contains(QStringLiteral(" LEFT JOIN LOCAL %1 ON t0.C_LOCAL = %1.C_LOCAL").arg(local)),
             qPrintable(sql));
    QVERIFY2(sql.contains(
                 QStringLiteral(" LEFT JOIN ADRESSE %1 ON %2.ADR_ORDRE = %1.ADR_ORDRE").arg(address, local)),
             qPrintable(sql));
    QVERIFY2(
        sql.contains(QStringLiteral(" LEFT JOIN TYPE_SALLE %1 ON t0.TSAL_NUMERO = %1.TSAL_NUMERO").arg(type)),
        qPrintable(sql));

    // The flattened attributes are read in the select list through their joins, in attribute order.
    const QString selectList = sql.mid(7, sql.indexOf(QStringLiteral(" FROM ")) - 7);
    const QStringList columns = selectList.split(QStringLiteral(", "));
    const EOEntity &salle = m_model->entity(QStringLiteral("Salle"));
    QCOMPARE(columns.size(), salle.attributes().size());
    QCOMPARE(columns.at(salle.attributeIndex(QStringLiteral("typeLibelle"))),
             type + QStringLiteral(".TSAL_LIBELLE"));
    QCOMPARE(columns.at(salle.attributeIndex(QStringLiteral("villeSalle"))),
             address + QStringLiteral(".VILLE"));
    QCOMPARE(columns.at(salle.attributeIndex(QStringLiteral("salEtage"))), QStringLiteral("t0.SAL_ETAGE"));

    const QString where = sql.mid(sql.indexOf(QStringLiteral(" WHERE ")));
    QVERIFY2(where.contains(QStringLiteral("(%1.APPELLATION LIKE ").arg(local)), qPrintable(where));
    QVERIFY2(where.contains(QStringLiteral("(%1.C_LOCAL = ").arg(local)), qPrintable(where));
    QVERIFY2(where.contains(QStringLiteral("(%1.CODE_POSTAL = ").arg(address)), qPrintable(where));
    QVERIFY2(where.contains(QStringLiteral(" ORDER BY ")), qPrintable(where));
    QCOMPARE(expression.bindings().size(), 3);
    QCOMPARE(placeholderCount(sql, dialect), 3);
}

void TestEOSQLExpression::everyValueIsBound_data()
{
    QTest::addColumn<QString>("dialect");
    QTest::newRow("sqlite") << "sqlite";
    QTest::newRow("postgresql") << "postgresql";
}

void TestEOSQLExpression::everyValueIsBound()
{
    QFETCH(QString, dialect);
    const QVariantList values{QStringLiteral("ZQA' OR '1'='1"), QStringLiteral("ZQB; DROP TABLE SALLE; --"),
                              QStringLiteral("*ZQC%_\\*"), QStringLiteral("ZQD\"x"), QStringLiteral("ZQE")};
    const EOQualifierPtr qualifier = EOQualifier::qualifierWithQualifierFormat(
        QStringLiteral("salEtage = %@ or (salPorte = '%@' and local.appellation like %@) or "
                       "not salDescriptif caseInsensitiveLike %@ or cLocal = \"%@\" or salEcran = 'ZQF'"),
        values);
    EOSQLExpression expression(m_model->entity(QStringLiteral("Salle")), dialectNamed(dialect));
    EOFetchRequest fetch;
    fetch.entityName = QStringLiteral("Salle");
    fetch.qualifier = qualifier;
    const QString sql = expression.selectStatement(fetch);

    QVERIFY2(!sql.contains(QStringLiteral("ZQ")), qPrintable(sql));
    QVERIFY2(!sql.contains(QStringLiteral("DROP")), qPrintable(sql));
    QCOMPARE(expression.bindings().size(), 6);
    QCOMPARE(placeholderCount(sql, dialect), 6);
    if (dialect == QLatin1String("postgresql")) {
        for (int i = 1; i <= 6; ++i)
            QCOMPARE(sql.count(QStringLiteral("$%1").arg(i)), 1);
    }
    QCOMPARE(expression.bindings().at(0).toString(), values.at(0).toString());
    QCOMPARE(expression.bindings().at(1).toString(), values.at(1).toString());
    QCOMPARE(expression.bindings().at(2).toString(), QStringLiteral("%ZQC\\%\\_\\\\%"));
    QCOMPARE(expression.bindings().at(3).toString(), QStringLiteral("ZQD\"x"));
    QCOMPARE(expression.bindings().at(4).toString(), QStringLiteral("ZQE"));
    QCOMPARE(expression.bindings().at(5).toString(), QStringLiteral("ZQF"));
}

void TestEOSQLExpression::sortOrderings_data()
{
    QTest::addColumn<QString>("dialect");
    QTest::addColumn<QString>("orderBy");

    // Without regard to case is the French collations both databases know by one name: each key's letters
    // first, then, after every key, their accents and case.
    QTest::newRow("sqlite") << "sqlite"
                            << " ORDER BY t0.APPELLATION COLLATE FRANCAIS_LETTRES ASC, t0.SAL_ETAGE DESC, "
                               "t0.SAL_PORTE COLLATE FRANCAIS_LETTRES DESC, t0.SAL_DESCRIPTIF ASC, "
                               "t0.APPELLATION COLLATE FRANCAIS ASC, t0.SAL_PORTE COLLATE FRANCAIS DESC";
    QTest::newRow("postgresql")
        << "postgresql"
        << " ORDER BY t0.APPELLATION COLLATE FRANCAIS_LETTRES ASC NULLS FIRST, t0.SAL_ETAGE DESC NULLS LAST, "
           "t0.SAL_PORTE COLLATE FRANCAIS_LETTRES DESC NULLS LAST, t0.SAL_DESCRIPTIF ASC NULLS FIRST, "
           "t0.APPELLATION COLLATE FRANCAIS ASC NULLS FIRST, t0.SAL_PORTE COLLATE FRANCAIS DESC NULLS LAST";
}

void TestEOSQLExpression::sortOrderings()
{
    QFETCH(QString, dialect);
    QFETCH(QString, orderBy);

    EOSQLExpression expression(m_model->entity(QStringLiteral("Salle")), dialectNamed(dialect));
    EOFetchRequest fetch;
    fetch.entityName = QStringLiteral("Salle");
    fetch.sortOrderings = {
        EOSortOrdering(QStringLiteral("appellation"), Selector::CompareCaseInsensitiveAscending),
        EOSortOrdering(QStringLiteral("salEtage"), Selector::CompareDescending),
        EOSortOrdering(QStringLiteral("salPorte"), Selector::CompareCaseInsensitiveDescending),
        EOSortOrdering(QStringLiteral("salDescriptif"), Selector::CompareAscending),
    };
    const QString sql = expression.selectStatement(fetch);
    QVERIFY2(sql.endsWith(orderBy), qPrintable(sql));
    QVERIFY(!sql.contains(QStringLiteral(" WHERE ")));
    QVERIFY(expression.bindings().isEmpty());

    EOSQLExpression unordered(m_model->entity(QStringLiteral("Salle")), dialectNamed(dialect));
    fetch.sortOrderings.clear();
    QVERIFY(!unordered.selectStatement(fetch).contains(QStringLiteral("ORDER BY")));
}

void TestEOSQLExpression::caseInsensitiveOrderOnNumbersComparesNumbers_data()
{
    QTest::addColumn<QString>("dialect");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("orderBy");

    QTest::newRow("sqlite number") << "sqlite"
                                   << "salCapacite"
                                   << " ORDER BY t0.SAL_CAPACITE ASC";
    QTest::newRow("postgresql number") << "postgresql"
                                       << "salCapacite"
                                       << " ORDER BY t0.SAL_CAPACITE ASC NULLS FIRST";
    QTest::newRow("postgresql decimal") << "postgresql"
                                        << "salSuperficie"
                                        << " ORDER BY t0.SAL_SUPERFICIE ASC NULLS FIRST";
    QTest::newRow("postgresql number through a path") << "postgresql"
                                                      << "local.adrOrdre"
                                                      << " ORDER BY t2.ADR_ORDRE ASC NULLS FIRST";
}

void TestEOSQLExpression::caseInsensitiveOrderOnNumbersComparesNumbers()
{
    // A list sorted by a column header asks for a case-insensitive order whatever the column holds; on
    // numbers, the server has no LOWER() and the order must stay numeric, as in memory.
    QFETCH(QString, dialect);
    QFETCH(QString, key);
    QFETCH(QString, orderBy);

    EOSQLExpression expression(m_model->entity(QStringLiteral("Salle")), dialectNamed(dialect));
    EOFetchRequest fetch;
    fetch.entityName = QStringLiteral("Salle");
    fetch.sortOrderings = {EOSortOrdering(key, Selector::CompareCaseInsensitiveAscending)};
    const QString sql = expression.selectStatement(fetch);
    QVERIFY2(sql.endsWith(orderBy), qPrintable(sql));
}

void TestEOSQLExpression::distinctOnlyWithoutPrimaryKey()
{
    EOFetchRequest fetch;
    fetch.entityName = QStringLiteral("Salle");
    fetch.usesDistinct = true;
    EOSQLExpression withKey(m_model->entity(QStringLiteral("Salle")), dialectNamed(QStringLiteral("sqlite")));
    QVERIFY(withKey.selectStatement(fetch).startsWith(QStringLiteral("SELECT t0.")));

    auto keyless = EOModel::modelWithJson(R"({"name": "SansCle", "entities": [
        {"name": "Ligne", "externalName": "LIGNE",
         "attributes": [{"name": "code", "column": "CODE", "type": "text"}]}]})",
                                          QStringLiteral("sanscle.json"));
    EOSQLExpression withoutKey(keyless->entity(QStringLiteral("Ligne")),
                               dialectNamed(QStringLiteral("sqlite")));
    fetch.entityName = QStringLiteral("Ligne");
    QCOMPARE(withoutKey.selectStatement(fetch), QStringLiteral("SELECT DISTINCT t0.CODE FROM LIGNE t0"));
}

void TestEOSQLExpression::unknownKeyIsAModelError_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("sortKey");
    QTest::addColumn<QString>("named");

    QTest::newRow("unknown attribute") << "salInconnu = 1" << QString() << "salInconnu";
    QTest::newRow("unknown attribute of a related entity") << "local.inconnu = 1" << QString() << "inconnu";
    QTest::newRow("unknown relationship") << "inconnu.appellation = 1" << QString() << "inconnu";
    QTest::newRow("to-many relationship in a path") << "prises.priCode = 'A'" << QString() << "prises";
    QTest::newRow("relationship used as an attribute") << "local = 'SCI'" << QString() << "local";
    QTest::newRow("unknown key on the right side") << "salNumero = inconnu" << QString() << "inconnu";
    QTest::newRow("unknown sort key") << QString() << "salInconnu"
                                      << "salInconnu";
    QTest::newRow("unknown sort path") << QString() << "local.inconnu"
                                       << "inconnu";
}

void TestEOSQLExpression::unknownKeyIsAModelError()
{
    QFETCH(QString, format);
    QFETCH(QString, sortKey);
    QFETCH(QString, named);

    EOFetchRequest fetch;
    fetch.entityName = QStringLiteral("Salle");
    if (!format.isEmpty())
        fetch.qualifier = EOQualifier::qualifierWithQualifierFormat(format);
    if (!sortKey.isEmpty())
        fetch.sortOrderings = {EOSortOrdering(sortKey, Selector::CompareAscending)};
    EOSQLExpression expression(m_model->entity(QStringLiteral("Salle")),
                               dialectNamed(QStringLiteral("sqlite")));
    const auto error = eoExceptionOf([&] { expression.selectStatement(fetch); });
    QVERIFY(error.has_value());
    QCOMPARE(error->kind(), EOException::Kind::Model);
    QVERIFY2(error->message().contains(named), qPrintable(error->message()));
}

QTEST_GUILESS_MAIN(TestEOSQLExpression)
#include "tst_eosqlexpression.moc"
