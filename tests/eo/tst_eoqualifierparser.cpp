// Reading qualifier formats: every format the application writes, the precedence of and/or/not, the
// refusals, and arguments that must stay one value whatever they contain.

#include "EOAndQualifier.h"
#include "EOException.h"
#include "EOKeyComparisonQualifier.h"
#include "EOKeyValueQualifier.h"
#include "EONotQualifier.h"
#include "EONull.h"
#include "EOOrQualifier.h"
#include "EOQualifier.h"
#include "EOTestSupport.h"

#include <QRandomGenerator>
#include <QTest>
#include <limits>

using namespace eo;
using Op = EOKeyValueQualifier::Operator;

Q_DECLARE_METATYPE(eo::EOKeyValueQualifier::Operator)

namespace
{

EOQualifierPtr parse(const QString &format, const QVariantList &arguments = {})
{
    return EOQualifier::qualifierWithQualifierFormat(format, arguments);
}

bool isTextValue(const QVariant &value)
{
    return value.metaType().id() == QMetaType::QString;
}

} // namespace

class TestEOQualifierParser : public QObject
{
    Q_OBJECT

private slots:
    void formatsOfTheApplication_data();
    void formatsOfTheApplication();
    void precedence_data();
    void precedence();
    void evaluationFollowsTheTree_data();
    void evaluationFollowsTheTree();
    void nestedQualifierArgumentIsUsedAsIs();
    void refusals_data();
    void refusals();
    void argumentStaysOneValue_data();
    void argumentStaysOneValue();
    void quotedLiteralKeepsEscapedQuote();
    void garbageNeverCrashes();
};

void TestEOQualifierParser::formatsOfTheApplication_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QVariantList>("arguments");
    QTest::addColumn<QString>("description");
    // For a single comparison: its key, operator and value (key empty for compound conditions).
    QTest::addColumn<QString>("key");
    QTest::addColumn<Op>("op");
    QTest::addColumn<QVariant>("value");

    const EOQualifierPtr groups = parse(QStringLiteral("cStructure = 'A1' or cStructure = 'B2'"));

    QTest::newRow("salNumero=%@") << "salNumero=%@" << QVariantList{12} << "(salNumero = 12)"
                                  << "salNumero" << Op::Equal << QVariant(12);
    QTest::newRow("salNumero=%d") << "salNumero=%d" << QVariantList{12} << "(salNumero = 12)"
                                  << "salNumero" << Op::Equal << QVariant(qint64(12));
    QTest::newRow("salNumero=%d text")
        << "salNumero=%d" << QVariantList{QStringLiteral("345")} << "(salNumero = 345)"
        << "salNumero" << Op::Equal << QVariant(qint64(345));
    QTest::newRow("salEtage=%@") << "salEtage=%@" << QVariantList{QStringLiteral("1")} << "(salEtage = '1')"
                                 << "salEtage" << Op::Equal << QVariant(QStringLiteral("1"));
    QTest::newRow("salPorte like %@")
        << "salPorte like %@" << QVariantList{QStringLiteral("*A12*")} << "(salPorte like '*A12*')"
        << "salPorte" << Op::Like << QVariant(QStringLiteral("*A12*"));
    QTest::newRow("salReservable!=%@")
        << "salReservable!=%@" << QVariantList{eoNull()} << "(salReservable != nil)"
        << "salReservable" << Op::NotEqual << eoNull();
    QTest::newRow("salReservable='O'") << "salReservable='O'" << QVariantList{} << "(salReservable = 'O')"
                                       << "salReservable" << Op::Equal << QVariant(QStringLiteral("O"));
    QTest::newRow("salEcran='O'") << "salEcran='O'" << QVariantList{} << "(salEcran = 'O')"
                                  << "salEcran" << Op::Equal << QVariant(QStringLiteral("O"));
    QTest::newRow("local.appellation like %@")
        << "local.appellation like %@" << QVariantList{QStringLiteral("*Sciences*")}
        << "(local.appellation like '*Sciences*')"
        << "local.appellation" << Op::Like << QVariant(QStringLiteral("*Sciences*"));
    QTest::newRow("local.appellation=%@ and salReservable!=nil")
        << "local.appellation=%@ and salReservable!=nil" << QVariantList{QStringLiteral("Bâtiment A")}
        << "((local.appellation = 'Bâtiment A') and (salReservable != nil))" << QString() << Op::Equal
        << QVariant();
    QTest::newRow("tsalLibelle=%@") << "tsalLibelle=%@" << QVariantList{QStringLiteral("Amphithéâtre")}
                                    << "(tsalLibelle = 'Amphithéâtre')"
                                    << "tsalLibelle" << Op::Equal << QVariant(QStringLiteral("Amphithéâtre"));
    QTest::newRow("appellation = %@")
        << "appellation = %@" << QVariantList{QStringLiteral("Sciences")} << "(appellation = 'Sciences')"
        << "appellation" << Op::Equal << QVariant(QStringLiteral("Sciences"));
    QTest::newRow("cStructure = '%@'")
        << "cStructure = '%@'" << QVariantList{QStringLiteral("C12")} << "(cStructure = 'C12')"
        << "cStructure" << Op::Equal << QVariant(QStringLiteral("C12"));
    QTest::newRow("lcStructure='DEPOS'")
        << "lcStructure='DEPOS'" << QVariantList{} << "(lcStructure = 'DEPOS')"
        << "lcStructure" << Op::Equal << QVariant(QStringLiteral("DEPOS"));
    QTest::newRow("persId = %@ and (%@)")
        << "persId = %@ and (%@)" << QVariantList{4021, QVariant::fromValue(groups)}
        << "((persId = 4021) and ((cStructure = 'A1') or (cStructure = 'B2')))" << QString() << Op::Equal
        << QVariant();
    QTest::newRow("%@ or cStructure = '%@'")
        << "%@ or cStructure = '%@'" << QVariantList{QVariant::fromValue(groups), QStringLiteral("C3")}
        << "(((cStructure = 'A1') or (cStructure = 'B2')) or (cStructure = 'C3'))" << QString() << Op::Equal
        << QVariant();
    QTest::newRow("cptLogin = '%@'") << "cptLogin = '%@'" << QVariantList{QStringLiteral("jdupont")}
                                     << "(cptLogin = 'jdupont')"
                                     << "cptLogin" << Op::Equal << QVariant(QStringLiteral("jdupont"));
    QTest::newRow("tavNiveau=1") << "tavNiveau=1" << QVariantList{} << "(tavNiveau = 1)"
                                 << "tavNiveau" << Op::Equal << QVariant(qint64(1));
    QTest::newRow("tavNiveau=2 and tavPere=%@")
        << "tavNiveau=2 and tavPere=%@" << QVariantList{17} << "((tavNiveau = 2) and (tavPere = 17))"
        << QString() << Op::Equal << QVariant();
    QTest::newRow("paramKey = '%@'") << "paramKey = '%@'" << QVariantList{QStringLiteral("MIRL_USER")}
                                     << "(paramKey = 'MIRL_USER')"
                                     << "paramKey" << Op::Equal << QVariant(QStringLiteral("MIRL_USER"));
    QTest::newRow("paramKey = '%@_DEFAULT_STRING'")
        << "paramKey = '%@_DEFAULT_STRING'" << QVariantList{QStringLiteral("SALLE")}
        << "(paramKey = 'SALLE_DEFAULT_STRING')"
        << "paramKey" << Op::Equal << QVariant(QStringLiteral("SALLE_DEFAULT_STRING"));
    QTest::newRow("%@ != %@") << "%@ != %@" << QVariantList{QStringLiteral("salDescriptif"), eoNull()}
                              << "(salDescriptif != nil)"
                              << "salDescriptif" << Op::NotEqual << eoNull();
    QTest::newRow("%@ = 'O'") << "%@ = 'O'" << QVariantList{QStringLiteral("salRetro")} << "(salRetro = 'O')"
                              << "salRetro" << Op::Equal << QVariant(QStringLiteral("O"));
    QTest::newRow("none argument is the null marker")
        << "salEtage = %@" << QVariantList{QVariant()} << "(salEtage = nil)"
        << "salEtage" << Op::Equal << eoNull();
    QTest::newRow("<") << "salCapacite < 20" << QVariantList{} << "(salCapacite < 20)"
                       << "salCapacite" << Op::Less << QVariant(qint64(20));
    QTest::newRow(">") << "salCapacite>%@" << QVariantList{20} << "(salCapacite > 20)"
                       << "salCapacite" << Op::Greater << QVariant(20);
    QTest::newRow("<=") << "salCapacite <= 20" << QVariantList{} << "(salCapacite <= 20)"
                        << "salCapacite" << Op::LessOrEqual << QVariant(qint64(20));
    QTest::newRow(">=") << "salCapacite>=-3" << QVariantList{} << "(salCapacite >= -3)"
                        << "salCapacite" << Op::GreaterOrEqual << QVariant(qint64(-3));
    QTest::newRow("<>") << "salCapacite <> 2.5" << QVariantList{} << "(salCapacite != 2.5)"
                        << "salCapacite" << Op::NotEqual << QVariant(2.5);
    QTest::newRow("==") << "salEtage == \"RDC\"" << QVariantList{} << "(salEtage = 'RDC')"
                        << "salEtage" << Op::Equal << QVariant(QStringLiteral("RDC"));
    QTest::newRow("caseInsensitiveLike")
        << "appellation caseInsensitiveLike %@" << QVariantList{QStringLiteral("*sci*")}
        << "(appellation caseInsensitiveLike '*sci*')"
        << "appellation" << Op::CaseInsensitiveLike << QVariant(QStringLiteral("*sci*"));
    QTest::newRow("LIKE in capitals") << "salPorte LIKE 'A*'" << QVariantList{} << "(salPorte like 'A*')"
                                      << "salPorte" << Op::Like << QVariant(QStringLiteral("A*"));
}

void TestEOQualifierParser::formatsOfTheApplication()
{
    QFETCH(QString, format);
    QFETCH(QVariantList, arguments);
    QFETCH(QString, description);
    QFETCH(QString, key);
    QFETCH(Op, op);
    QFETCH(QVariant, value);

    const EOQualifierPtr qualifier = parse(format, arguments);
    QVERIFY(qualifier);
    QCOMPARE(qualifier->description(), description);
    if (key.isEmpty())
        return;
    const auto *comparison = dynamic_cast<const EOKeyValueQualifier *>(qualifier.get());
    QVERIFY2(comparison, "a single comparison is expected");
    QCOMPARE(comparison->key(), key);
    QCOMPARE(comparison->selector(), op);
    if (isEONull(value)) {
        QVERIFY(isEONull(comparison->value()));
    } else {
        QCOMPARE(comparison->value(), value);
        // A number stays a number and a text a text: "1" and 1 do not compare alike in every database.
        QCOMPARE(isTextValue(comparison->value()), isTextValue(value));
    }
}

void TestEOQualifierParser::precedence_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("description");

    QTest::newRow("and binds tighter than or") << "a=1 or b=2 and c=3"
                                               << "((a = 1) or ((b = 2) and (c = 3)))";
    QTest::newRow("and first, then or") << "a=1 and b=2 or c=3"
                                        << "(((a = 1) and (b = 2)) or (c = 3))";
    QTest::newRow("parentheses first") << "(a=1 or b=2) and c=3"
                                       << "(((a = 1) or (b = 2)) and (c = 3))";
    QTest::newRow("nested parentheses") << "((a=1))"
                                        << "(a = 1)";
    QTest::newRow("not binds to one condition") << "not a=1 and b=2"
                                                << "((not (a = 1)) and (b = 2))";
    QTest::newRow("not before parentheses") << "not (a=1 or b=2)"
                                            << "(not ((a = 1) or (b = 2)))";
    QTest::newRow("not not") << "not not a=1"
                             << "(not (not (a = 1)))";
    QTest::newRow("keywords in capitals") << "a=1 AND b=2 OR NOT c=3"
                                          << "(((a = 1) and (b = 2)) or (not (c = 3)))";
    QTest::newRow("three ands are one conjunction") << "a=1 and b=2 and c=3"
                                                    << "((a = 1) and (b = 2) and (c = 3))";
    QTest::newRow("key against key") << "salNumero = burOrdre"
                                     << "(salNumero = burOrdre)";
    QTest::newRow("nil in capitals") << "a = NULL or b != nil"
                                     << "((a = nil) or (b != nil))";
}

void TestEOQualifierParser::precedence()
{
    QFETCH(QString, format);
    QFETCH(QString, description);
    QCOMPARE(parse(format)->description(), description);
}

void TestEOQualifierParser::evaluationFollowsTheTree_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QVariantMap>("line");
    QTest::addColumn<bool>("expected");

    const QVariantMap onlyA{{"a", 1}, {"b", 0}, {"c", 0}};
    const QVariantMap onlyC{{"a", 0}, {"b", 0}, {"c", 3}};
    QTest::newRow("or of and, first term") << "a=1 or b=2 and c=3" << onlyA << true;
    QTest::newRow("and of or, first term only") << "(a=1 or b=2) and c=3" << onlyA << false;
    QTest::newRow("and then or, last term") << "a=1 and b=2 or c=3" << onlyC << true;
    QTest::newRow("and over or, last term") << "a=1 and (b=2 or c=3)" << onlyC << false;
    QTest::newRow("not one") << "not a=1 and c=0" << onlyA << false;
    QTest::newRow("not all") << "not (a=1 and c=0)" << onlyA << false;
    QTest::newRow("not all, true") << "not (a=1 and c=3)" << onlyA << true;
    QTest::newRow("key against key equal")
        << "salNumero = burOrdre" << QVariantMap{{"salNumero", 12}, {"burOrdre", 12}} << true;
    QTest::newRow("key against key differ")
        << "salNumero = burOrdre" << QVariantMap{{"salNumero", 12}, {"burOrdre", 13}} << false;
    QTest::newRow("key less than key")
        << "salNumero < burOrdre" << QVariantMap{{"salNumero", 12}, {"burOrdre", 13}} << true;
}

void TestEOQualifierParser::evaluationFollowsTheTree()
{
    QFETCH(QString, format);
    QFETCH(QVariantMap, line);
    QFETCH(bool, expected);
    QCOMPARE(parse(format)->evaluateWithObject(*makeLine(line)), expected);
}

void TestEOQualifierParser::nestedQualifierArgumentIsUsedAsIs()
{
    const EOQualifierPtr groups = parse(QStringLiteral("cStructure = 'A1' or cStructure = 'B2'"));
    const EOQualifierPtr qualifier =
        parse(QStringLiteral("persId = %@ and (%@)"), {4021, QVariant::fromValue(groups)});
    const auto *conjunction = dynamic_cast<const EOAndQualifier *>(qualifier.get());
    QVERIFY(conjunction);
    QCOMPARE(conjunction->qualifiers().size(), 2);
    // The very object given, not a copy read back from its text.
    QCOMPARE(conjunction->qualifiers().at(1).get(), groups.get());
    const auto *person = dynamic_cast<const EOKeyValueQualifier *>(conjunction->qualifiers().at(0).get());
    QVERIFY(person);
    QCOMPARE(person->key(), QStringLiteral("persId"));
    QCOMPARE(person->value(), QVariant(4021));
}

void TestEOQualifierParser::refusals_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QVariantList>("arguments");

    const EOQualifierPtr some = parse(QStringLiteral("a = 1"));
    QTest::newRow("open parenthesis left open") << "(salNumero = 1" << QVariantList{};
    QTest::newRow("two open, one closed") << "((salNumero = 1) and b = 2" << QVariantList{};
    QTest::newRow("closing parenthesis alone") << "salNumero = 1)" << QVariantList{};
    QTest::newRow("empty parentheses") << "()" << QVariantList{};
    QTest::newRow("missing operator") << "salNumero 1" << QVariantList{};
    QTest::newRow("key alone") << "salNumero" << QVariantList{};
    QTest::newRow("missing value") << "salNumero =" << QVariantList{};
    QTest::newRow("operator twice") << "salNumero = = 1" << QVariantList{};
    QTest::newRow("value first") << "1 = salNumero" << QVariantList{};
    QTest::newRow("nil as key") << "nil = salNumero" << QVariantList{};
    QTest::newRow("unknown operator") << "salNumero ! 1" << QVariantList{};
    QTest::newRow("and without right side") << "a = 1 and" << QVariantList{};
    QTest::newRow("and without left side") << "and a = 1" << QVariantList{};
    QTest::newRow("or or") << "a = 1 or or b = 2" << QVariantList{};
    QTest::newRow("keyword as value") << "a = and" << QVariantList{};
    QTest::newRow("two conditions without and") << "a = 1 b = 2" << QVariantList{};
    QTest::newRow("missing argument") << "salNumero=%@" << QVariantList{};
    QTest::newRow("missing second argument") << "a=%@ and b=%@" << QVariantList{1};
    QTest::newRow("missing argument in quotes") << "cStructure = '%@'" << QVariantList{};
    QTest::newRow("unknown placeholder") << "salNumero=%x" << QVariantList{1};
    QTest::newRow("percent at the end") << "salNumero=%" << QVariantList{1};
    QTest::newRow("unterminated quote") << "salEtage = 'RDC" << QVariantList{};
    QTest::newRow("unterminated double quote") << "salEtage = \"RDC" << QVariantList{};
    QTest::newRow("unterminated quote around argument") << "cStructure = '%@" << QVariantList{"C1"};
    QTest::newRow("empty format") << "" << QVariantList{};
    QTest::newRow("blank format") << "   " << QVariantList{};
    QTest::newRow("%d with a word") << "salNumero=%d" << QVariantList{"douze"};
    QTest::newRow("%d with a decimal") << "salNumero=%d" << QVariantList{12.5};
    QTest::newRow("%d with a decimal text") << "salNumero=%d" << QVariantList{"12.5"};
    QTest::newRow("%d with none") << "salNumero=%d" << QVariantList{QVariant()};
    QTest::newRow("%d with the null marker") << "salNumero=%d" << QVariantList{eoNull()};
    QTest::newRow("%d beyond 64 bits") << "salNumero=%d" << QVariantList{QStringLiteral("3e30")};
    QTest::newRow("%d with infinity")
        << "salNumero=%d" << QVariantList{std::numeric_limits<double>::infinity()};
    QTest::newRow("key argument that is a condition text") << "%@ = 'O'" << QVariantList{"a = 1 or 1"};
    QTest::newRow("key argument with SQL") << "%@ != %@" << QVariantList{"a; DROP TABLE SALLE", eoNull()};
    QTest::newRow("key argument with a space") << "%@ = 'O'" << QVariantList{"sal Ecran"};
    QTest::newRow("key argument empty") << "%@ = 'O'" << QVariantList{""};
    QTest::newRow("key argument a number") << "%@ = 'O'" << QVariantList{42};
    QTest::newRow("text where a condition goes")
        << "persId = %@ and (%@)" << QVariantList{1, "cStructure='X'"};
    QTest::newRow("no condition where one goes")
        << "persId = %@ and (%@)" << QVariantList{1, QVariant::fromValue(EOQualifierPtr())};
    QTest::newRow("condition where a value goes") << "a = %@" << QVariantList{QVariant::fromValue(some)};
    QTest::newRow("unreadable number") << "a = 1.2.3" << QVariantList{};
    QTest::newRow("garbage") << "#$@!" << QVariantList{};
    QTest::newRow("semicolon") << "a = 1; DROP TABLE SALLE" << QVariantList{};
    QTest::newRow("SQL comment") << "a = 1 -- b" << QVariantList{};
}

void TestEOQualifierParser::refusals()
{
    QFETCH(QString, format);
    QFETCH(QVariantList, arguments);

    const auto error = eoExceptionOf([&] { parse(format, arguments); });
    QVERIFY2(error.has_value(), "the format was accepted");
    QCOMPARE(error->kind(), EOException::Kind::Qualifier);
    // Written for the user, in French, and naming the format that failed.
    QVERIFY2(error->message().startsWith(QStringLiteral("Condition invalide « ")),
             qPrintable(error->message()));
    QVERIFY(error->message().contains(format.trimmed()));
}

void TestEOQualifierParser::argumentStaysOneValue_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("value");

    const QStringList values{
        QStringLiteral("O'Hara"),
        QStringLiteral("x' or '1'='1"),
        QStringLiteral("a' and salNumero != nil and '"),
        QStringLiteral("1 or 1=1"),
        QStringLiteral("A and B"),
        QStringLiteral("(salle"),
        QStringLiteral("salle)"),
        QStringLiteral(") or (a = 1"),
        QStringLiteral("100%"),
        QStringLiteral("%@ and %d"),
        QStringLiteral("a_b*c?"),
        QStringLiteral("back\\slash\\"),
        QStringLiteral("\\'"),
        QStringLiteral("\"double\""),
        QStringLiteral("nil"),
        QStringLiteral("; DROP TABLE SALLE; --"),
        QStringLiteral("  espaces  "),
        QString(),
        QStringLiteral("ligne\nsuivante"),
        QString(10000, QLatin1Char('x')),
        QStringLiteral("'%_\\()andor").repeated(1000),
    };
    const QStringList formats{QStringLiteral("salDescriptif = %@"), QStringLiteral("salDescriptif = '%@'"),
                              QStringLiteral("salDescriptif like %@"),
                              QStringLiteral("salDescriptif=\"%@\"")};
    for (const QString &format : formats) {
        for (qsizetype i = 0; i < values.size(); ++i)
            QTest::addRow("%s #%d", qPrintable(format), int(i)) << format << values.at(i);
    }
}

void TestEOQualifierParser::argumentStaysOneValue()
{
    QFETCH(QString, format);
    QFETCH(QString, value);

    const EOQualifierPtr qualifier = parse(format, {value});
    const auto *comparison = dynamic_cast<const EOKeyValueQualifier *>(qualifier.get());
    QVERIFY2(comparison, "the argument was read as qualifier syntax");
    QCOMPARE(comparison->key(), QStringLiteral("salDescriptif"));
    QCOMPARE(comparison->value().toString(), value);
    QVERIFY(isTextValue(comparison->value()));
    // The value also holds in memory against a record that has exactly it.
    const QVariantMap line{{QStringLiteral("salDescriptif"), value}};
    if (comparison->selector() == Op::Equal)
        QVERIFY(qualifier->evaluateWithObject(*makeLine(line)));
}

void TestEOQualifierParser::quotedLiteralKeepsEscapedQuote()
{
    const EOQualifierPtr qualifier = parse(QStringLiteral("cptLogin = 'o\\'hara' and b = 'x\\\\y'"));
    const auto *conjunction = dynamic_cast<const EOAndQualifier *>(qualifier.get());
    QVERIFY(conjunction);
    const auto *login = dynamic_cast<const EOKeyValueQualifier *>(conjunction->qualifiers().at(0).get());
    const auto *other = dynamic_cast<const EOKeyValueQualifier *>(conjunction->qualifiers().at(1).get());
    QVERIFY(login && other);
    QCOMPARE(login->value().toString(), QStringLiteral("o'hara"));
    QCOMPARE(other->value().toString(), QStringLiteral("x\\y"));
    // The text form writes the quote escaped, so that it reads back as the same value.
    const EOQualifierPtr again = parse(login->description());
    const auto *reread = dynamic_cast<const EOKeyValueQualifier *>(again.get());
    QVERIFY(reread);
    QCOMPARE(reread->value().toString(), QStringLiteral("o'hara"));
}

void TestEOQualifierParser::garbageNeverCrashes()
{
    // Random formats made of the language's own characters: each is read or refused with the layer's error.
    const QString alphabet = QStringLiteral("ab.=!<>()'\"%@ds 1-_\\andortlik");
    QRandomGenerator random(20240611);
    int accepted = 0;
    int refused = 0;
    for (int round = 0; round < 3000; ++round) {
        QString format;
        const int length = int(random.bounded(1, 24));
        for (int i = 0; i < length; ++i)
            format.append(alphabet.at(random.bounded(int(alphabet.size()))));
        const QVariantList arguments{QStringLiteral("x"), 3, eoNull()};
        try {
            const EOQualifierPtr qualifier = parse(format, arguments);
            QVERIFY2(qualifier, qPrintable(format));
            QVERIFY(!qualifier->description().isEmpty());
            ++accepted;
        } catch (const EOException &error) {
            QCOMPARE(error.kind(), EOException::Kind::Qualifier);
            QVERIFY(!error.message().isEmpty());
            ++refused;
        }
    }
    QVERIFY(refused > 0);
    QCOMPARE(accepted + refused, 3000);
}

QTEST_GUILESS_MAIN(TestEOQualifierParser)
#include "tst_eoqualifierparser.moc"
