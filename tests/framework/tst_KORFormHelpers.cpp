// The form helpers: the check of numeric entries with comparison signs, the two-decimal display, order
// numbers, the looks of text controls, emptying and filling lists, and the reading of reference
// parameters, whose key is always data.

#include "EODecimal.h"
#include "EODisplayGroup.h"
#include "EOException.h"
#include "EONull.h"
#include "KORFormHelpers.h"
#include "TestDatabase.h"
#include "TestFont.h"

#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextEdit>

#include <limits>
#include <stdexcept>

using framework::KORCheckedEntry;
using framework::KORFormHelpers;

namespace
{

const QString digits = QStringLiteral("0123456789.");
const QString comparisons = QStringLiteral("<>");

QVariant decimal(const char *value)
{
    return QVariant::fromValue(eo::EODecimal::fromString(QString::fromLatin1(value)));
}

QVariant integer(qint64 value)
{
    return QVariant::fromValue(value);
}

// Compares the checked value by kind: exact decimals by their digits, integers as qint64, the null marker.
bool sameValue(const QVariant &actual, const QVariant &expected)
{
    if (eo::isEONull(expected))
        return eo::isEONull(actual);
    if (expected.metaType() != actual.metaType())
        return false;
    if (expected.metaType() == QMetaType::fromType<eo::EODecimal>()) {
        const auto a = actual.value<eo::EODecimal>();
        const auto e = expected.value<eo::EODecimal>();
        return a.isValid() == e.isValid() && a.toString() == e.toString();
    }
    return actual.value<qint64>() == expected.value<qint64>();
}

QString describe(const QVariant &value)
{
    if (eo::isEONull(value))
        return QStringLiteral("<null marker>");
    if (value.metaType() == QMetaType::fromType<eo::EODecimal>())
        return QStringLiteral("decimal ") + value.value<eo::EODecimal>().toString();
    return QString::fromLatin1(value.metaType().name()) + u' ' + value.toString();
}

} // namespace

class TestKORFormHelpers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { PIN_TEST_FONT(); }
    void verifierChaine_data();
    void verifierChaine();
    void verifierChaineAsThreeObjects();
    void formatter_data();
    void formatter();
    void decimalShownAndReadBack_data();
    void decimalShownAndReadBack();
    void recupererOrdre_data();
    void recupererOrdre();
    void truncateString();
    void traitementException();
    void initialiseTextField_data();
    void initialiseTextField();
    void readOnlyFieldIsDrawnDark();
    void initialiseTextView_data();
    void initialiseTextView();
    void viderTable();
    void fetchTable();
    void fetchArrayWithNomTable();
    void getValues();
    void getValuesTakesTheKeyAsData_data();
    void getValuesTakesTheKeyAsData();
};

void TestKORFormHelpers::verifierChaine_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("allowed");
    QTest::addColumn<bool>("formater");
    QTest::addColumn<QString>("signs");
    QTest::addColumn<QString>("sign");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("display");

    const QString refused = KORCheckedEntry::refusalSign();
    // Signs and values
    QTest::newRow("less than an integer")
        << "<12" << digits << false << comparisons << "<" << integer(12) << "<12";
    QTest::newRow("greater than a decimal")
        << ">12.5" << digits << true << comparisons << ">" << decimal("12.5") << ">12.50";
    QTest::newRow("decimal without sign")
        << "12.5" << digits << true << comparisons << "=" << decimal("12.5") << "12.50";
    QTest::newRow("integer without sign")
        << "42" << digits << false << comparisons << "=" << integer(42) << "42";
    QTest::newRow("integer shown as typed")
        << "007" << digits << false << comparisons << "=" << integer(7) << "007";
    QTest::newRow("decimal shown with two decimals")
        << "3" << digits << true << comparisons << "=" << decimal("3") << "3.00";
    QTest::newRow("decimal shown in single precision")
        << "1234567.89" << digits << true << comparisons << "=" << decimal("1234567.89") << "1234567.88";
    QTest::newRow("decimal kept exact beyond a double")
        << "0.30000000000000000001" << digits << true << comparisons << "="
        << decimal("0.30000000000000000001") << "0.30";
    // Empty entries are not refused
    QTest::newRow("empty decimal") << "" << digits << true << comparisons << "=" << eo::eoNull() << "0.00";
    QTest::newRow("empty integer") << "" << digits << false << comparisons << "=" << integer(0) << "";
    // A character of both sets is an ordinary character
    QTest::newRow("minus allowed and a sign") << "-5" << QStringLiteral("0123456789-") << false
                                              << QStringLiteral("-") << "=" << integer(-5) << "-5";
    QTest::newRow("a point alone after a sign")
        << "<." << digits << true << comparisons << "<" << QVariant::fromValue(eo::EODecimal()) << "<0.00";
    // Refusals
    QTest::newRow("point in an integer")
        << "12.5" << digits << false << comparisons << refused << integer(0) << "";
    QTest::newRow("lone sign") << "<" << digits << false << comparisons << refused << integer(0) << "";
    QTest::newRow("lone sign, decimal")
        << ">" << digits << true << comparisons << refused << integer(0) << "";
    QTest::newRow("digit then sign") << "1<" << digits << false << comparisons << refused << integer(0) << "";
    QTest::newRow("two signs then digit")
        << "<<1" << digits << false << comparisons << refused << integer(0) << "";
    QTest::newRow("sign inside") << "1<2" << digits << true << comparisons << refused << integer(0) << "";
    QTest::newRow("blank between digits")
        << "1 2" << digits << false << comparisons << refused << integer(0) << "";
    QTest::newRow("letters") << "abc" << digits << true << comparisons << refused << integer(0) << "";
    QTest::newRow("letter after digits")
        << "12a" << digits << true << comparisons << refused << integer(0) << "";
    QTest::newRow("sign not offered") << "<1" << digits << false << QString() << refused << integer(0) << "";
    QTest::newRow("other sign") << "=1" << digits << false << comparisons << refused << integer(0) << "";
    QTest::newRow("comma for a point")
        << "1,5" << digits << true << comparisons << refused << integer(0) << "";
    QTest::newRow("leading blank") << " 1" << digits << false << comparisons << refused << integer(0) << "";
    QTest::newRow("nothing allowed") << "1" << QString() << false << comparisons << refused << integer(0)
                                     << "";
}

void TestKORFormHelpers::verifierChaine()
{
    QFETCH(QString, entry);
    QFETCH(QString, allowed);
    QFETCH(bool, formater);
    QFETCH(QString, signs);
    QFETCH(QString, sign);
    QFETCH(QVariant, value);
    QFETCH(QString, display);

    const KORCheckedEntry checked = KORFormHelpers::verifierChaine(entry, allowed, formater, signs);
    QCOMPARE(checked.signe, sign);
    QCOMPARE(checked.isRefused(), sign == KORCheckedEntry::refusalSign());
    QVERIFY2(sameValue(checked.valeur, value),
             qPrintable(describe(checked.valeur) + QStringLiteral(" instead of ") + describe(value)));
    QCOMPARE(checked.texte, display);
}

void TestKORFormHelpers::verifierChaineAsThreeObjects()
{
    const QVariantList list =
        KORFormHelpers::verifierChaine(QStringLiteral(">7"), digits, false, comparisons).toList();
    QCOMPARE(list.size(), 3);
    QCOMPARE(list.at(0).toString(), QStringLiteral(">"));
    QCOMPARE(list.at(1).value<qint64>(), qint64(7));
    QCOMPARE(list.at(2).toString(), QStringLiteral(">7"));
}

void TestKORFormHelpers::formatter_data()
{
    QTest::addColumn<QVariant>("number");
    QTest::addColumn<QString>("expected");
    QTest::newRow("decimal") << decimal("12.5") << "12.50";
    QTest::newRow("integer") << QVariant(7) << "7.00";
    QTest::newRow("negative rounded") << decimal("-3.456") << "-3.46";
    QTest::newRow("null marker") << eo::eoNull() << "0.00";
    QTest::newRow("none") << QVariant() << "0.00";
    QTest::newRow("decimal not-a-number") << QVariant::fromValue(eo::EODecimal()) << "0.00";
    QTest::newRow("double not-a-number") << QVariant(std::numeric_limits<double>::quiet_NaN()) << "0.00";
    QTest::newRow("single precision rounds") << QVariant(1234567.89) << "1234567.88";
    QTest::newRow("large integer in single precision") << integer(123456789) << "123456792.00";
    QTest::newRow("number as text") << QVariant(QStringLiteral("2.5")) << "2.50";
    QTest::newRow("text with a unit") << QVariant(QStringLiteral("2.5 m2")) << "2.50";
}

void TestKORFormHelpers::formatter()
{
    QFETCH(QVariant, number);
    QFETCH(QString, expected);
    QCOMPARE(KORFormHelpers::formatter(number), expected);
}

void TestKORFormHelpers::decimalShownAndReadBack_data()
{
    // Values shown in turn (rooms moved through), then "" nothing, "=text" set, "+keys" typed over all.
    QTest::addColumn<QVariantList>("shown");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QVariant>("expected");
    const QVariant null = eo::eoNull();
    QTest::newRow("null untouched") << QVariantList{null} << "" << null;
    QTest::newRow("null, field left") << QVariantList{null} << "=0.00" << null;
    QTest::newRow("null, 0 typed") << QVariantList{null} << "+0" << decimal("0");
    QTest::newRow("zero untouched") << QVariantList{decimal("0")} << "" << decimal("0");
    QTest::newRow("null, then a room with 0") << QVariantList{null, decimal("0")} << "" << decimal("0");
    QTest::newRow("0, then a room with null") << QVariantList{decimal("0"), null} << "" << null;
}

void TestKORFormHelpers::decimalShownAndReadBack()
{
    QFETCH(QVariantList, shown);
    QFETCH(QString, action);
    QFETCH(QVariant, expected);
    QLineEdit field;
    for (const QVariant &value : shown)
        KORFormHelpers::afficherDecimal(&field, value);
    QCOMPARE(field.text(), KORFormHelpers::formatter(shown.last()));
    if (action.startsWith(u'=')) {
        field.setText(action.mid(1));
    } else if (action.startsWith(u'+')) {
        field.selectAll();
        QTest::keyClicks(&field, action.mid(1));
    }
    const QVariant actual = KORFormHelpers::recupererDecimalAffiche(&field);
    QVERIFY2(sameValue(actual, expected), qPrintable(describe(actual)));
}

void TestKORFormHelpers::recupererOrdre_data()
{
    QTest::addColumn<QVariant>("text");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("none") << QVariant() << qint64(0);
    QTest::newRow("null marker") << eo::eoNull() << qint64(0);
    QTest::newRow("empty") << QVariant(QString()) << qint64(0);
    QTest::newRow("*nil*") << QVariant(QStringLiteral("*nil*")) << qint64(0);
    QTest::newRow("digits then letter") << QVariant(QStringLiteral("42x")) << qint64(42);
    QTest::newRow("negative") << QVariant(QStringLiteral("-3")) << qint64(-3);
    QTest::newRow("leading blank") << QVariant(QStringLiteral(" 8")) << qint64(8);
    QTest::newRow("letters") << QVariant(QStringLiteral("abc")) << qint64(0);
    QTest::newRow("number") << QVariant(15) << qint64(15);
}

void TestKORFormHelpers::recupererOrdre()
{
    QFETCH(QVariant, text);
    QFETCH(qint64, expected);
    QCOMPARE(KORFormHelpers::recupererOrdre(text), expected);
}

void TestKORFormHelpers::truncateString()
{
    QCOMPARE(KORFormHelpers::truncateString(QStringLiteral("abc"), 1, 5), QStringLiteral("abc"));
    QCOMPARE(KORFormHelpers::truncateString(QStringLiteral("abcdef"), 0, 4), QStringLiteral("abcd"));
}

void TestKORFormHelpers::traitementException()
{
    const eo::EOException database(eo::EOException::Kind::Database,
                                   QStringLiteral("Le code du bâtiment est requis"));
    QCOMPARE(KORFormHelpers::traitementException(database), QStringLiteral("Le code du bâtiment est requis"));
    const std::runtime_error other("connexion perdue");
    QCOMPARE(KORFormHelpers::traitementException(other), QStringLiteral("connexion perdue"));
}

void TestKORFormHelpers::initialiseTextField_data()
{
    QTest::addColumn<bool>("actif");
    QTest::addColumn<bool>("clean");
    QTest::newRow("active, cleaned") << true << true;
    QTest::newRow("active, kept") << true << false;
    QTest::newRow("read-only, cleaned") << false << true;
    QTest::newRow("read-only, kept") << false << false;
}

void TestKORFormHelpers::initialiseTextField()
{
    QFETCH(bool, actif);
    QFETCH(bool, clean);
    QLineEdit field(QStringLiteral("B12"));
    // Start from the other look, so that every property must change.
    KORFormHelpers::initialiseTextField(&field, !actif, false);
    QCOMPARE(field.isReadOnly(), actif);

    KORFormHelpers::initialiseTextField(&field, actif, clean);
    QCOMPARE(field.isReadOnly(), !actif);
    QCOMPARE(field.font().family(), QStringLiteral("Helvetica"));
    QCOMPARE(field.font().pointSize(), 12);
    QCOMPARE(field.font().bold(), !actif);
    QCOMPARE(field.palette().color(QPalette::Text).rgb(),
             actif ? QColor(Qt::black).rgb() : QColor(Qt::white).rgb());
    QCOMPARE(field.palette().color(QPalette::Base).rgb(), actif ? QColor(Qt::white).rgb() : qRgb(85, 85, 85));
    QCOMPARE(field.text(), clean ? QString() : QStringLiteral("B12"));
}

void TestKORFormHelpers::readOnlyFieldIsDrawnDark()
{
    // What the user sees, not only the palette: the drawn background of a read-only field is dark grey.
    QLineEdit field;
    field.resize(160, 30);
    KORFormHelpers::initialiseTextField(&field, false, true);
    const QImage readOnly = field.grab().toImage();
    const QColor inside = readOnly.pixelColor(readOnly.width() / 2, readOnly.height() / 2);
    QVERIFY2(inside.red() < 120 && qAbs(inside.red() - inside.blue()) < 10, qPrintable(inside.name()));

    KORFormHelpers::initialiseTextField(&field, true, true);
    const QImage active = field.grab().toImage();
    QCOMPARE(active.pixelColor(active.width() / 2, active.height() / 2).rgb(), QColor(Qt::white).rgb());
}

void TestKORFormHelpers::initialiseTextView_data()
{
    QTest::addColumn<bool>("plain");
    QTest::addColumn<bool>("actif");
    QTest::addColumn<bool>("clean");
    for (const bool plain : {false, true}) {
        for (const bool actif : {true, false}) {
            for (const bool clean : {true, false}) {
                QTest::addRow("%s %s %s", plain ? "plain" : "rich", actif ? "active" : "read-only",
                              clean ? "cleaned" : "kept")
                    << plain << actif << clean;
            }
        }
    }
}

void TestKORFormHelpers::initialiseTextView()
{
    QFETCH(bool, plain);
    QFETCH(bool, actif);
    QFETCH(bool, clean);
    const QString description = QStringLiteral("Salle de TP\navec paillasses");

    std::unique_ptr<QWidget> view;
    std::function<QString()> text;
    std::function<bool()> readOnly;
    if (plain) {
        auto *edit = new QPlainTextEdit(description);
        view.reset(edit);
        KORFormHelpers::initialiseTextView(edit, !actif, false);
        KORFormHelpers::initialiseTextView(edit, actif, clean);
        text = [edit] { return edit->toPlainText(); };
        readOnly = [edit] { return edit->isReadOnly(); };
    } else {
        auto *edit = new QTextEdit;
        edit->setPlainText(description);
        view.reset(edit);
        KORFormHelpers::initialiseTextView(edit, !actif, false);
        KORFormHelpers::initialiseTextView(edit, actif, clean);
        text = [edit] { return edit->toPlainText(); };
        readOnly = [edit] { return edit->isReadOnly(); };
    }
    QCOMPARE(readOnly(), !actif);
    QCOMPARE(view->font().bold(), !actif);
    QCOMPARE(view->font().pointSize(), 12);
    QCOMPARE(view->palette().color(QPalette::Base).rgb(), actif ? QColor(Qt::white).rgb() : qRgb(85, 85, 85));
    QCOMPARE(view->palette().color(QPalette::Text).rgb(),
             actif ? QColor(Qt::black).rgb() : QColor(Qt::white).rgb());
    QCOMPARE(text(), clean ? QString() : description);
}

void TestKORFormHelpers::viderTable()
{
    eo::EODisplayGroup table;
    QList<eo::EORecord> lines;
    for (int i = 0; i < 3; ++i) {
        eo::EORecord line = eo::EOGenericRecord::create();
        line->takeValueForKey(i, QStringLiteral("priOrdre"));
        lines.append(line);
    }
    table.setObjectArray(lines);
    table.setSelectionIndexes({1});
    QCOMPARE(table.rowCount(), 3);

    KORFormHelpers::viderTable(&table);
    QVERIFY(table.allObjects().isEmpty());
    QCOMPARE(table.rowCount(), 0);
    QVERIFY(table.selectionIndexes().isEmpty());
    KORFormHelpers::viderTable(nullptr);
}

namespace
{

void addParameters(TestDatabase &db)
{
    db.exec(QStringLiteral(
        "INSERT INTO SOLMA.SOLMA_PARAMETRES (PARAM_ORDRE, PARAM_KEY, PARAM_VALUE) VALUES "
        "(1, 'SALLE_STRUCTURE', 'G1'), (2, 'MIRL_USER', 'NON'), (3, 'SALLE_STRUCTURE', 'SCI'), "
        "(4, 'SOLMA_DOMAINE_PRINCIPAL', 'univ.fr'), (5, 'O''BRIEN', 'quote'), (6, 'A%', 'percent')"));
}

QStringList values(const QList<eo::EORecord> &rows)
{
    QStringList result;
    for (const eo::EORecord &row : rows)
        result.append(row->valueForKey(QStringLiteral("paramValue")).toString());
    return result;
}

} // namespace

void TestKORFormHelpers::fetchTable()
{
    TestDatabase db;
    QVERIFY(db.isValid());
    addParameters(db);
    eo::EODisplayGroup table;
    const auto structures = eo::EOQualifier::qualifierWithQualifierFormat(
        QStringLiteral("paramKey = %@"), {QStringLiteral("SALLE_STRUCTURE")});
    const KORFormHelpers::Sort byValueDescending{
        {QStringLiteral("paramValue"), eo::EOSortOrdering::Selector::CompareDescending}};

    KORFormHelpers::fetchTable(db.dataBus(), &table, QStringLiteral("SolmaParametres"), structures,
                               byValueDescending, true);
    QCOMPARE(values(table.displayedObjects()), QStringList({QStringLiteral("SCI"), QStringLiteral("G1")}));
    QCOMPARE(table.selectionIndexes(), QList<int>({0}));

    eo::EODisplayGroup all;
    KORFormHelpers::fetchTable(db.dataBus(), &all, QStringLiteral("SolmaParametres"), nullptr, {}, false);
    QCOMPARE(all.displayedObjects().size(), 6);
    QVERIFY(all.selectionIndexes().isEmpty());
}

void TestKORFormHelpers::fetchArrayWithNomTable()
{
    TestDatabase db;
    QVERIFY(db.isValid());
    addParameters(db);
    const auto mirl = eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("paramKey = %@"),
                                                                    {QStringLiteral("MIRL_USER")});
    QCOMPARE(values(KORFormHelpers::fetchArrayWithNomTable(db.dataBus(), QStringLiteral("SolmaParametres"),
                                                           mirl, {})),
             QStringList({QStringLiteral("NON")}));
    QVERIFY_THROWS_EXCEPTION(eo::EOException, KORFormHelpers::fetchArrayWithNomTable(
                                                  db.dataBus(), QStringLiteral("PasUneEntite"), mirl, {}));
}

void TestKORFormHelpers::getValues()
{
    TestDatabase db;
    QVERIFY(db.isValid());
    addParameters(db);
    eo::EOQualifierPtr kept;
    const QList<eo::EORecord> rows =
        KORFormHelpers::getValues(db.dataBus(), QStringLiteral("SALLE_STRUCTURE"), &kept);
    const QStringList found = values(rows);
    QCOMPARE(QSet<QString>(found.begin(), found.end()),
             QSet<QString>({QStringLiteral("G1"), QStringLiteral("SCI")}));
    QVERIFY(kept);
    QVERIFY2(kept->description().contains(QStringLiteral("SALLE_STRUCTURE")),
             qPrintable(kept->description()));

    QCOMPARE(values(KORFormHelpers::getValues(db.dataBus(), QStringLiteral("SOLMA_DOMAINE_PRINCIPAL"))),
             QStringList({QStringLiteral("univ.fr")}));
    QVERIFY(KORFormHelpers::getValues(db.dataBus(), QStringLiteral("PAS_DE_TELLE_CLE")).isEmpty());
}

void TestKORFormHelpers::getValuesTakesTheKeyAsData_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("quote in the key") << QStringLiteral("O'BRIEN") << QStringList({QStringLiteral("quote")});
    QTest::newRow("percent is not a wildcard")
        << QStringLiteral("A%") << QStringList({QStringLiteral("percent")});
    QTest::newRow("a wildcard finds nothing") << QStringLiteral("SALLE%") << QStringList();
    QTest::newRow("closing the quote") << QStringLiteral("x' or '1'='1") << QStringList();
    QTest::newRow("qualifier syntax") << QStringLiteral("x' or paramKey != 'y") << QStringList();
    QTest::newRow("lower case") << QStringLiteral("salle_structure") << QStringList();
}

void TestKORFormHelpers::getValuesTakesTheKeyAsData()
{
    QFETCH(QString, key);
    QFETCH(QStringList, expected);
    TestDatabase db;
    QVERIFY(db.isValid());
    addParameters(db);
    QCOMPARE(values(KORFormHelpers::getValues(db.dataBus(), key)), expected);
}

QTEST_MAIN(TestKORFormHelpers)
#include "tst_KORFormHelpers.moc"
