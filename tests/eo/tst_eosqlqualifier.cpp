// Raw SQL conditions on the columns of the room entity, as the room search writes them: the comparison
// operator checked, the values bound, a quoted literal with its argument made one bound text.

#include "EOAndQualifier.h"
#include "EOException.h"
#include "EONull.h"
#include "EOSQLDialect.h"
#include "EOSQLExpression.h"
#include "EOSQLQualifier.h"
#include "EOTestModel.h"
#include "EOTestSupport.h"
#include "EOValues.h"

#include <QTest>

using namespace eo;

namespace
{

const EOSQLDialect &dialectNamed(const QString &name)
{
    static const EOSQLiteDialect sqlite;
    static const EOPostgreSQLDialect postgresql;
    return name == QLatin1String("postgresql") ? static_cast<const EOSQLDialect &>(postgresql) : sqlite;
}

QString numbered(const QString &sql, const QString &dialect)
{
    if (dialect != QLatin1String("postgresql"))
        return sql;
    QString out;
    int next = 1;
    for (const QChar c : sql)
        out += c == u'?' ? QStringLiteral("$%1").arg(next++) : QString(c);
    return out;
}

} // namespace

class TestEOSQLQualifier : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void rawConditions_data();
    void rawConditions();
    void operatorArgumentIsOnlyAComparison_data();
    void operatorArgumentIsOnlyAComparison();
    void likeLiteralIsOneBoundValue_data();
    void likeLiteralIsOneBoundValue();
    void refusedFormats_data();
    void refusedFormats();
    void placeholdersContinueInAConjunction();
    void otherEntityIsRefused();
    void cannotBeEvaluatedInMemory();

private:
    std::unique_ptr<EOModel> m_model;
};

void TestEOSQLQualifier::initTestCase()
{
    m_model = makeTestModel();
}

void TestEOSQLQualifier::rawConditions_data()
{
    QTest::addColumn<QString>("dialect");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QVariantList>("arguments");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QVariantList>("bindings");
    QTest::addColumn<QString>("description");

    struct Row {
        const char *name;
        QString format;
        QVariantList arguments;
        QString sql;
        QVariantList bindings;
        QString description;
    };
    const QList<Row> rows{
        {"capacity below",
         "SAL_CAPACITE %s %@",
         {"<", "20"},
         "t0.SAL_CAPACITE < ?",
         {qint64(20)},
         "SAL_CAPACITE < 20"},
        {"capacity equal",
         "SAL_CAPACITE %s %@",
         {"=", "20"},
         "t0.SAL_CAPACITE = ?",
         {qint64(20)},
         "SAL_CAPACITE = 20"},
        {"surface above a decimal",
         "SAL_SUPERFICIE %s %@",
         {">", "12.5"},
         "t0.SAL_SUPERFICIE > ?",
         {12.5},
         "SAL_SUPERFICIE > 12.5"},
        {"number argument",
         "SAL_NB_CHAISES %s %@",
         {">=", 30},
         "t0.SAL_NB_CHAISES >= ?",
         {30},
         "SAL_NB_CHAISES >= 30"},
        {"%d argument",
         "SAL_NB_TABLES > %d",
         {"7"},
         "t0.SAL_NB_TABLES > ?",
         {qint64(7)},
         "SAL_NB_TABLES > 7"},
        {"count kept as text",
         "to_number(SAL_TABLEAU) %s %@",
         {">", "2"},
         "to_number(t0.SAL_TABLEAU) > ?",
         {qint64(2)},
         "to_number(SAL_TABLEAU) > 2"},
        {"function with a space before its parenthesis",
         "UPPER (SAL_PORTE) = %@",
         {"A12"},
         "UPPER (t0.SAL_PORTE) = ?",
         {"A12"},
         "UPPER (SAL_PORTE) = 'A12'"},
        {"text argument",
         "SAL_DESCRIPTIF = %@",
         {"vue sur cour"},
         "t0.SAL_DESCRIPTIF = ?",
         {"vue sur cour"},
         "SAL_DESCRIPTIF = 'vue sur cour'"},
        {"text argument with a quote",
         "SAL_DESCRIPTIF = %@",
         {"l'aile"},
         "t0.SAL_DESCRIPTIF = ?",
         {"l'aile"},
         "SAL_DESCRIPTIF = 'l\\'aile'"},
        {"quoted argument", "SAL_ETAGE = '%@'", {"1"}, "t0.SAL_ETAGE = ?", {"1"}, "SAL_ETAGE = '1'"},
        {"SQL words and literals stay",
         "SAL_ECRAN = 'O' AND SAL_NB_TABLES IS NOT NULL",
         {},
         "t0.SAL_ECRAN = 'O' AND t0.SAL_NB_TABLES IS NOT NULL",
         {},
         "SAL_ECRAN = 'O' AND SAL_NB_TABLES IS NOT NULL"},
        {"literal with doubled quote",
         "SAL_DESCRIPTIF <> 'l''aile'",
         {},
         "t0.SAL_DESCRIPTIF <> 'l''aile'",
         {},
         "SAL_DESCRIPTIF <> 'l''aile'"},
    };
    for (const char *dialect : {"sqlite", "postgresql"}) {
        for (const Row &row : rows) {
            QTest::addRow("%s %s", dialect, row.name)
                << QString::fromLatin1(dialect) << row.format << row.arguments
                << numbered(row.sql, QString::fromLatin1(dialect)) << row.bindings << row.description;
        }
    }
}

void TestEOSQLQualifier::rawConditions()
{
    QFETCH(QString, dialect);
    QFETCH(QString, format);
    QFETCH(QVariantList, arguments);
    QFETCH(QString, sql);
    QFETCH(QVariantList, bindings);
    QFETCH(QString, description);

    const EOSQLQualifier qualifier(QStringLiteral("Salle"), format, arguments);
    QCOMPARE(qualifier.description(), description);
    EOSQLExpression expression(m_model->entity(QStringLiteral("Salle")), dialectNamed(dialect));
    QString out;
    qualifier.appendSql(expression, out);
    QCOMPARE(out, sql);
    QCOMPARE(expression.bindings().size(), bindings.size());
    for (qsizetype i = 0; i < bindings.size(); ++i) {
        QCOMPARE(EOValues::displayText(expression.bindings().at(i)), EOValues::displayText(bindings.at(i)));
        // A count typed as text is compared as a number by the database.
        QCOMPARE(EOValues::isNumeric(expression.bindings().at(i)), EOValues::isNumeric(bindings.at(i)));
    }
}

void TestEOSQLQualifier::operatorArgumentIsOnlyAComparison_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<bool>("accepted");

    for (const char *op : {"<", ">", "=", "<=", ">=", "!=", "<>", " < "})
        QTest::addRow("accepted %s", op) << QString::fromLatin1(op) << true;
    for (const char *op : {"; DROP TABLE SALLE", "or 1=1", "< 1 or 1", "<; DELETE FROM SALLE", "", "like",
                           "IS NOT", "==", "=<", "-- ", "< ?", "%@"})
        QTest::addRow("refused '%s'", op) << QString::fromLatin1(op) << false;
}

void TestEOSQLQualifier::operatorArgumentIsOnlyAComparison()
{
    QFETCH(QString, op);
    QFETCH(bool, accepted);

    const QString format = QStringLiteral("SAL_CAPACITE %s %@");
    const auto error = eoExceptionOf([&] {
        const EOSQLQualifier qualifier(QStringLiteral("Salle"), format, {op, QStringLiteral("20")});
        EOSQLExpression expression(m_model->entity(QStringLiteral("Salle")),
                                   dialectNamed(QStringLiteral("sqlite")));
        QString out;
        qualifier.appendSql(expression, out);
        QCOMPARE(out, QStringLiteral("t0.SAL_CAPACITE %1 ?").arg(op.trimmed()));
    });
    QCOMPARE(!error.has_value(), accepted);
    if (error) {
        QCOMPARE(error->kind(), EOException::Kind::Qualifier);
        QVERIFY2(error->message().startsWith(QStringLiteral("Condition SQL invalide « SAL_CAPACITE %s %@ »")),
                 qPrintable(error->message()));
    }
}

void TestEOSQLQualifier::likeLiteralIsOneBoundValue_data()
{
    QTest::addColumn<QString>("dialect");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("bound");

    const QList<std::pair<QString, QString>> texts{
        {QStringLiteral("AMPHI"), QStringLiteral("%AMPHI%")},
        // % and _ stay wild cards; the backslash, the escape character, is doubled.
        {QStringLiteral("L'AMPHI 50% A_B C\\D"), QStringLiteral("%L'AMPHI 50% A_B C\\\\D%")},
        {QStringLiteral("' OR 1=1 --"), QStringLiteral("%' OR 1=1 --%")},
        {QStringLiteral("'; DROP TABLE SALLE; --"), QStringLiteral("%'; DROP TABLE SALLE; --%")},
        {QStringLiteral("%%%@%%"), QStringLiteral("%%%%@%%%")},
        {QStringLiteral("?"), QStringLiteral("%?%")},
        {QString(), QStringLiteral("%%")},
        {QString(10000, QLatin1Char('Z')),
         QLatin1Char('%') + QString(10000, QLatin1Char('Z')) + QLatin1Char('%')},
    };
    for (const char *dialect : {"sqlite", "postgresql"}) {
        for (qsizetype i = 0; i < texts.size(); ++i)
            QTest::newRow((QByteArray(dialect) + " #" + QByteArray::number(i)).constData())
                << QString::fromLatin1(dialect) << texts.at(i).first << texts.at(i).second;
    }
}

void TestEOSQLQualifier::likeLiteralIsOneBoundValue()
{
    QFETCH(QString, dialect);
    QFETCH(QString, text);
    QFETCH(QString, bound);

    const EOSQLQualifier qualifier(QStringLiteral("Salle"),
                                   QStringLiteral("UPPER(SAL_DESCRIPTIF) like '%%%@%%'"), {text});
    EOSQLExpression expression(m_model->entity(QStringLiteral("Salle")), dialectNamed(dialect));
    QString out;
    qualifier.appendSql(expression, out);
    QCOMPARE(out, numbered(QStringLiteral("UPPER(t0.SAL_DESCRIPTIF) like ? ESCAPE '\\'"), dialect));
    QCOMPARE(expression.bindings().size(), 1);
    QCOMPARE(expression.bindings().first().toString(), bound);
    // The text form shows the text the user typed between the wild cards.
    QString shown = text;
    shown.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\''), QLatin1String("\\'"));
    QCOMPARE(qualifier.description(),
             QStringLiteral("UPPER(SAL_DESCRIPTIF) like '%") + shown + QStringLiteral("%'"));
}

void TestEOSQLQualifier::refusedFormats_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QVariantList>("arguments");

    QTest::newRow("semicolon") << "SAL_CAPACITE > 1; DROP TABLE SALLE" << QVariantList{};
    QTest::newRow("line comment") << "SAL_CAPACITE > 1 -- reste" << QVariantList{};
    QTest::newRow("block comment") << "SAL_CAPACITE > 1 /* reste */" << QVariantList{};
    QTest::newRow("own placeholder") << "SAL_CAPACITE > ?" << QVariantList{};
    QTest::newRow("numbered placeholder") << "SAL_CAPACITE > ?1" << QVariantList{};
    QTest::newRow("unterminated literal") << "SAL_DESCRIPTIF = 'abc" << QVariantList{};
    QTest::newRow("unterminated literal with argument") << "SAL_DESCRIPTIF like '%%%@" << QVariantList{"A"};
    QTest::newRow("missing value") << "SAL_CAPACITE %s %@" << QVariantList{"<"};
    QTest::newRow("missing operator and value") << "SAL_CAPACITE %s %@" << QVariantList{};
    QTest::newRow("missing value in literal") << "UPPER(SAL_DESCRIPTIF) like '%%%@%%'" << QVariantList{};
    QTest::newRow("unknown placeholder") << "SAL_CAPACITE > %x" << QVariantList{1};
    QTest::newRow("%d with a word") << "SAL_CAPACITE > %d" << QVariantList{"vingt"};
    QTest::newRow("%d with a decimal") << "SAL_CAPACITE > %d" << QVariantList{"2.5"};
    QTest::newRow("%d beyond 64 bits") << "SAL_CAPACITE > %d" << QVariantList{"3e30"};
}

void TestEOSQLQualifier::refusedFormats()
{
    QFETCH(QString, format);
    QFETCH(QVariantList, arguments);

    const auto error =
        eoExceptionOf([&] { const EOSQLQualifier qualifier(QStringLiteral("Salle"), format, arguments); });
    QVERIFY2(error.has_value(), "the format was accepted");
    QCOMPARE(error->kind(), EOException::Kind::Qualifier);
    QVERIFY2(error->message().startsWith(QStringLiteral("Condition SQL invalide « %1 »").arg(format)),
             qPrintable(error->message()));
}

void TestEOSQLQualifier::placeholdersContinueInAConjunction()
{
    // The room search joins raw conditions with object conditions in one conjunction.
    const auto raw =
        std::make_shared<EOSQLQualifier>(QStringLiteral("Salle"), QStringLiteral("SAL_CAPACITE %s %@"),
                                         QVariantList{QStringLiteral("<"), QStringLiteral("20")});
    const EOAndQualifier conjunction(
        {raw, EOQualifier::qualifierWithQualifierFormat(QStringLiteral("salEtage=%@"), {QStringLiteral("2")}),
         EOQualifier::qualifierWithQualifierFormat(QStringLiteral("salReservable!=%@"), {eoNull()})});

    EOSQLExpression expression(m_model->entity(QStringLiteral("Salle")),
                               dialectNamed(QStringLiteral("postgresql")));
    QString out;
    conjunction.appendSql(expression, out);
    QCOMPARE(out, QStringLiteral(
                      "(t0.SAL_CAPACITE < $1) AND (t0.SAL_ETAGE = $2) AND (t0.SAL_RESERVABLE IS NOT NULL)"));
    QCOMPARE(expression.bindings().size(), 2);
    QCOMPARE(expression.bindings().at(0).toLongLong(), 20);
    QCOMPARE(expression.bindings().at(1).toString(), QStringLiteral("2"));
    QCOMPARE(conjunction.description(),
             QStringLiteral("(SAL_CAPACITE < 20 and (salEtage = '2') and (salReservable != nil))"));
}

void TestEOSQLQualifier::otherEntityIsRefused()
{
    const EOSQLQualifier qualifier(QStringLiteral("Local"), QStringLiteral("APPELLATION = %@"),
                                   {QStringLiteral("A")});
    EOSQLExpression expression(m_model->entity(QStringLiteral("Salle")),
                               dialectNamed(QStringLiteral("sqlite")));
    QString out;
    const auto error = eoExceptionOf([&] { qualifier.appendSql(expression, out); });
    QVERIFY(error.has_value());
    QCOMPARE(error->kind(), EOException::Kind::Qualifier);
    QVERIFY(error->message().contains(QStringLiteral("Local")));
    QVERIFY(error->message().contains(QStringLiteral("Salle")));
}

void TestEOSQLQualifier::cannotBeEvaluatedInMemory()
{
    const EOSQLQualifier qualifier(QStringLiteral("Salle"), QStringLiteral("SAL_CAPACITE %s %@"),
                                   {QStringLiteral(">"), 10});
    const auto error = eoExceptionOf([&] { qualifier.evaluateWithObject(*makeLine({{"salCapacite", 30}})); });
    QVERIFY(error.has_value());
    QCOMPARE(error->kind(), EOException::Kind::Qualifier);
    QVERIFY(error->message().contains(QStringLiteral("SAL_CAPACITE > 10")));
}

QTEST_GUILESS_MAIN(TestEOSQLQualifier)
#include "tst_eosqlqualifier.moc"
