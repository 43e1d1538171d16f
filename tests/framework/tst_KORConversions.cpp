// The conversions from typed text to procedure and qualifier values, their shared notion of an empty value,
// the cut of texts to a column's width, the look of an editable cell and the filling of a pop-up list from
// the distinct values of an attribute.

#include "EODecimal.h"
#include "EONull.h"
#include "KORConversions.h"
#include "TestDatabase.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextEdit>

#include <cmath>
#include <limits>

using framework::KORConversions;

namespace
{

QVariant text(const char *value)
{
    return QVariant(QString::fromUtf8(value));
}

QVariant decimal(const char *value)
{
    return QVariant::fromValue(eo::EODecimal::fromString(QString::fromLatin1(value)));
}

// "NaN" stands for the decimal not-a-number value in the data rows below.
void verifyDecimal(const QVariant &actual, const QString &expected)
{
    QCOMPARE(actual.metaType(), QMetaType::fromType<eo::EODecimal>());
    const auto value = actual.value<eo::EODecimal>();
    if (expected == QLatin1String("NaN")) {
        QVERIFY2(!value.isValid(), qPrintable(value.toString()));
    } else {
        QVERIFY(value.isValid());
        QCOMPARE(value.toString(), expected);
    }
}

} // namespace

class TestKORConversions : public QObject
{
    Q_OBJECT

private slots:
    void emptyValues_data();
    void emptyValues();
    void nonEmptyLookAlikes_data();
    void nonEmptyLookAlikes();
    void recupererEntier_data();
    void recupererEntier();
    void recupererDecimalNumber_data();
    void recupererDecimalNumber();
    void recupererDecimalNumberKeepsAnExactDecimal();
    void floatingReadings_data();
    void floatingReadings();
    void recupererDate_data();
    void recupererDate();
    void truncateString_data();
    void truncateString();
    void initialiserCellule_data();
    void initialiserCellule();
    void initialiserCelluleIgnoresNoControl();
    void configurerPopUpButton();
    void configurerPopUpButtonWithLimitation();
    void configurerPopUpButtonKeepsAValueSpelledLikeTheAttribute();
};

void TestKORConversions::emptyValues_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::newRow("none") << QVariant();
    QTest::newRow("null marker") << eo::eoNull();
    QTest::newRow("empty text") << text("");
    QTest::newRow("<null>") << text("<null>");
    QTest::newRow("NaN") << text("NaN");
    QTest::newRow("*nil*") << text("*nil*");
    QTest::newRow("decimal not-a-number") << QVariant::fromValue(eo::EODecimal());
    QTest::newRow("double not-a-number") << QVariant(std::numeric_limits<double>::quiet_NaN());
}

void TestKORConversions::emptyValues()
{
    QFETCH(QVariant, value);
    QVERIFY(KORConversions::isEmptyValue(value));
    const QString chaine = KORConversions::recupererChaine(value);
    QVERIFY(chaine.isEmpty());
    QVERIFY2(!chaine.isNull(), "an empty value reads as the empty string, not as no string");
    QCOMPARE(KORConversions::recupererLong(value), QStringLiteral(" "));
    QVERIFY(eo::isEONull(KORConversions::recupererEntier(value)));
    QVERIFY(eo::isEONull(KORConversions::recupererDecimal(value)));
    QVERIFY(eo::isEONull(KORConversions::recupererDecimalNumber(value)));
    QVERIFY(eo::isEONull(KORConversions::recupererDate(value)));
    QCOMPARE(KORConversions::recupererValeur(value), 0.0f);
}

void TestKORConversions::nonEmptyLookAlikes_data()
{
    // Comparisons are exact: no trimming, no case folding.
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("chaine");
    QTest::newRow("one blank") << text(" ") << QStringLiteral(" ");
    QTest::newRow("nan in lower case") << text("nan") << QStringLiteral("nan");
    QTest::newRow("<NULL>") << text("<NULL>") << QStringLiteral("<NULL>");
    QTest::newRow("*NIL*") << text("*NIL*") << QStringLiteral("*NIL*");
    QTest::newRow("NaN with a blank") << text("NaN ") << QStringLiteral("NaN ");
    QTest::newRow("zero") << QVariant(0) << QStringLiteral("0");
    QTest::newRow("a decimal") << decimal("12.5") << QStringLiteral("12.5");
}

void TestKORConversions::nonEmptyLookAlikes()
{
    QFETCH(QVariant, value);
    QFETCH(QString, chaine);
    QVERIFY(!KORConversions::isEmptyValue(value));
    QCOMPARE(KORConversions::recupererChaine(value), chaine);
    QCOMPARE(KORConversions::recupererLong(value), chaine);
    QVERIFY(!eo::isEONull(KORConversions::recupererEntier(value)));
    QVERIFY(!eo::isEONull(KORConversions::recupererDecimalNumber(value)));
}

void TestKORConversions::recupererEntier_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("digits then letters") << text("12abc") << qint64(12);
    QTest::newRow("letters") << text("abc") << qint64(0);
    QTest::newRow("one blank") << text(" ") << qint64(0);
    QTest::newRow("leading blanks and minus") << text("  -7x") << qint64(-7);
    QTest::newRow("plus sign") << text("+5") << qint64(5);
    QTest::newRow("stops at the point") << text("3.9") << qint64(3);
    QTest::newRow("stops at a blank") << text("1 2") << qint64(1);
    QTest::newRow("sign apart from digits") << text("- 5") << qint64(0);
    QTest::newRow("other digits are not read") << text("\u0663") << qint64(0);
    QTest::newRow("too large") << text("99999999999999999999") << std::numeric_limits<qint64>::max();
    QTest::newRow("too small") << text("-99999999999999999999") << std::numeric_limits<qint64>::min();
    QTest::newRow("largest") << text("9223372036854775807") << std::numeric_limits<qint64>::max();
    QTest::newRow("a number value") << QVariant(42) << qint64(42);
}

void TestKORConversions::recupererEntier()
{
    QFETCH(QVariant, value);
    QFETCH(qint64, expected);
    const QVariant result = KORConversions::recupererEntier(value);
    QCOMPARE(result.metaType(), QMetaType::fromType<qint64>());
    QCOMPARE(result.value<qint64>(), expected);
}

void TestKORConversions::recupererDecimalNumber_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << text("12.5") << QStringLiteral("12.5");
    QTest::newRow("trailing zeros") << text("12.50") << QStringLiteral("12.5");
    QTest::newRow("leading zeros") << text("007.10") << QStringLiteral("7.1");
    QTest::newRow("integer") << text("42") << QStringLiteral("42");
    QTest::newRow("negative zero") << text("-0.0") << QStringLiteral("0");
    QTest::newRow("negative") << text("-3.25") << QStringLiteral("-3.25");
    QTest::newRow("point first") << text(".5") << QStringLiteral("0.5");
    QTest::newRow("point last") << text("5.") << QStringLiteral("5");
    QTest::newRow("leading blanks") << text("  3") << QStringLiteral("3");
    QTest::newRow("exponent") << text("1e3") << QStringLiteral("1000");
    QTest::newRow("negative exponent") << text("1.5E-2") << QStringLiteral("0.015");
    QTest::newRow("exponent letter alone") << text("1e") << QStringLiteral("1");
    QTest::newRow("stops at letters") << text("12.5abc") << QStringLiteral("12.5");
    QTest::newRow("stops at a second point") << text("1.2.3") << QStringLiteral("1.2");
    QTest::newRow("exact tenth") << text("0.1") << QStringLiteral("0.1");
    QTest::newRow("more digits than a double holds")
        << text("123456789012345678901234567890.123456789")
        << QStringLiteral("123456789012345678901234567890.123456789");
    QTest::newRow("letters") << text("abc") << QStringLiteral("NaN");
    QTest::newRow("a point alone") << text(".") << QStringLiteral("NaN");
    QTest::newRow("a sign alone") << text("-") << QStringLiteral("NaN");
    QTest::newRow("one blank") << text(" ") << QStringLiteral("NaN");
    QTest::newRow("exponent out of range") << text("1e999999") << QStringLiteral("NaN");
    QTest::newRow("a number value") << QVariant(7) << QStringLiteral("7");
}

void TestKORConversions::recupererDecimalNumber()
{
    QFETCH(QVariant, value);
    QFETCH(QString, expected);
    verifyDecimal(KORConversions::recupererDecimalNumber(value), expected);
}

void TestKORConversions::recupererDecimalNumberKeepsAnExactDecimal()
{
    const QVariant exact = decimal("0.30000000000000000001");
    verifyDecimal(KORConversions::recupererDecimalNumber(exact), QStringLiteral("0.30000000000000000001"));
}

void TestKORConversions::floatingReadings_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<double>("expected");
    QTest::newRow("plain") << text("12.5") << 12.5;
    QTest::newRow("unit after") << text("2.5kg") << 2.5;
    QTest::newRow("letters") << text("abc") << 0.0;
    QTest::newRow("one blank") << text(" ") << 0.0;
    QTest::newRow("exponent") << text("-1e3") << -1000.0;
    QTest::newRow("comma is not a point") << text("3,75") << 3.0;
    QTest::newRow("tenth in single precision") << text("0.1") << double(0.1f);
    QTest::newRow("beyond single precision") << text("16777217") << 16777216.0;
    QTest::newRow("too large") << text("1e400") << std::numeric_limits<double>::infinity();
    QTest::newRow("many digits too large")
        << text(QByteArray(400, '9').constData()) << std::numeric_limits<double>::infinity();
    QTest::newRow("too small") << text("1e-400") << 0.0;
}

void TestKORConversions::floatingReadings()
{
    QFETCH(QVariant, value);
    QFETCH(double, expected);
    const QVariant decimalValue = KORConversions::recupererDecimal(value);
    QCOMPARE(decimalValue.metaType(), QMetaType::fromType<float>());
    QCOMPARE(double(decimalValue.toFloat()), double(float(expected)));
    QCOMPARE(double(KORConversions::recupererValeur(value)), double(float(expected)));
}

void TestKORConversions::recupererDate_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QDate>("expected"); // invalid: none
    QTest::newRow("day month year") << text("31/12/2001") << QDate(2001, 12, 31);
    QTest::newRow("one-digit day and month") << text("1/2/2003") << QDate(2003, 2, 1);
    QTest::newRow("leap day") << text("29/02/2004") << QDate(2004, 2, 29);
    QTest::newRow("iso order") << text("2001-12-31") << QDate();
    QTest::newRow("two-digit year") << text("31/12/01") << QDate();
    QTest::newRow("no such day") << text("31/02/2001") << QDate();
    QTest::newRow("month 13") << text("01/13/2001") << QDate();
    QTest::newRow("text after") << text("31/12/2001 x") << QDate();
    QTest::newRow("letters") << text("hier") << QDate();
}

void TestKORConversions::recupererDate()
{
    QFETCH(QVariant, value);
    QFETCH(QDate, expected);
    const QVariant result = KORConversions::recupererDate(value);
    if (!expected.isValid()) {
        QVERIFY2(!result.isValid(), qPrintable(result.toString()));
        return;
    }
    QCOMPARE(result.metaType(), QMetaType::fromType<QDate>());
    QCOMPARE(result.toDate(), expected);
}

void TestKORConversions::truncateString_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint64>("debut");
    QTest::addColumn<quint64>("longueur");
    QTest::addColumn<QString>("expected");
    const QString twelve = QStringLiteral("abcdefghijkl");
    QTest::newRow("cut to the column") << twelve << quint64(0) << quint64(10) << QStringLiteral("abcdefghij");
    QTest::newRow("exactly the column") << twelve << quint64(0) << quint64(12) << twelve;
    QTest::newRow("shorter than the column") << twelve << quint64(0) << quint64(30) << twelve;
    QTest::newRow("start 5 length 10") << twelve << quint64(5) << quint64(10) << twelve;
    QTest::newRow("start 5 length 7") << twelve << quint64(5) << quint64(7) << QStringLiteral("fghijkl");
    QTest::newRow("start 1 of three letters, length 5")
        << QStringLiteral("abc") << quint64(1) << quint64(5) << QStringLiteral("abc");
    QTest::newRow("rest after a sign")
        << QStringLiteral("<12") << quint64(1) << quint64(2) << QStringLiteral("12");
    QTest::newRow("nothing") << twelve << quint64(3) << quint64(0) << QString();
    QTest::newRow("length that wraps around")
        << twelve << quint64(1) << std::numeric_limits<quint64>::max() << twelve;
    QTest::newRow("start that wraps around")
        << twelve << std::numeric_limits<quint64>::max() << quint64(2) << twelve;
    QTest::newRow("empty text") << QString() << quint64(0) << quint64(0) << QString();
    // U+1F600 takes two UTF-16 units; the cut must not keep one of them alone.
    QTest::newRow("cut inside a character")
        << QStringLiteral("a\U0001F600b") << quint64(0) << quint64(2) << QStringLiteral("a");
    QTest::newRow("cut after a character")
        << QStringLiteral("a\U0001F600b") << quint64(0) << quint64(3) << QStringLiteral("a\U0001F600");
}

void TestKORConversions::truncateString()
{
    QFETCH(QString, text);
    QFETCH(quint64, debut);
    QFETCH(quint64, longueur);
    QFETCH(QString, expected);
    const QString result = KORConversions::truncateString(text, debut, longueur);
    QCOMPARE(result, expected);
    for (const QChar c : result)
        QVERIFY2(!c.isSurrogate() || result.size() > 1, "a lone half of a character");
}

void TestKORConversions::initialiserCellule_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("active");
    QTest::addColumn<bool>("vide");
    for (const char *kind : {"line", "text", "plain"}) {
        for (const bool active : {true, false}) {
            for (const bool vide : {true, false}) {
                QTest::addRow("%s %s %s", kind, active ? "active" : "inactive", vide ? "cleared" : "kept")
                    << QString::fromLatin1(kind) << active << vide;
            }
        }
    }
}

void TestKORConversions::initialiserCellule()
{
    QFETCH(QString, kind);
    QFETCH(bool, active);
    QFETCH(bool, vide);

    std::unique_ptr<QWidget> control;
    std::function<QString()> textOf;
    std::function<bool()> readOnly;
    if (kind == QLatin1String("line")) {
        auto *line = new QLineEdit(QStringLiteral("Salle 12"));
        line->setReadOnly(active); // the opposite state, so that the call must change it
        control.reset(line);
        textOf = [line] { return line->text(); };
        readOnly = [line] { return line->isReadOnly(); };
    } else if (kind == QLatin1String("text")) {
        auto *edit = new QTextEdit;
        edit->setPlainText(QStringLiteral("Salle 12"));
        edit->setReadOnly(active);
        control.reset(edit);
        textOf = [edit] { return edit->toPlainText(); };
        readOnly = [edit] { return edit->isReadOnly(); };
    } else {
        auto *edit = new QPlainTextEdit;
        edit->setPlainText(QStringLiteral("Salle 12"));
        edit->setReadOnly(active);
        control.reset(edit);
        textOf = [edit] { return edit->toPlainText(); };
        readOnly = [edit] { return edit->isReadOnly(); };
    }
    QPalette opposite = control->palette();
    opposite.setColor(QPalette::Base, active ? KORConversions::inactiveCellColor() : QColor(Qt::white));
    control->setPalette(opposite);

    KORConversions::initialiserCellule(control.get(), active, vide);

    QCOMPARE(readOnly(), !active);
    const QColor expected = active ? QColor(Qt::white) : QColor(60, 170, 255);
    QCOMPARE(control->palette().color(QPalette::Active, QPalette::Base).rgb(), expected.rgb());
    QCOMPARE(control->palette().color(QPalette::Inactive, QPalette::Base).rgb(), expected.rgb());
    QCOMPARE(textOf(), vide ? QString() : QStringLiteral("Salle 12"));
}

void TestKORConversions::initialiserCelluleIgnoresNoControl()
{
    KORConversions::initialiserCellule(nullptr, true, true);
    QComboBox editable;
    editable.setEditable(true);
    editable.setEditText(QStringLiteral("Pau"));
    KORConversions::initialiserCellule(&editable, false, false);
    QVERIFY(editable.lineEdit()->isReadOnly());
    QCOMPARE(editable.currentText(), QStringLiteral("Pau"));
    KORConversions::initialiserCellule(&editable, true, true);
    QVERIFY(!editable.lineEdit()->isReadOnly());
    QCOMPARE(editable.currentText(), QString());
}

namespace
{

void addAddress(TestDatabase &db, const QString &ville, const QString &listeRouge)
{
    const QString villeSql = ville.isNull() ? QStringLiteral("NULL") : u'\'' + ville + u'\'';
    db.exec(QStringLiteral("INSERT INTO SOLMA.ADRESSE (VILLE, ADR_LISTE_ROUGE) VALUES (%1, '%2');")
                .arg(villeSql, listeRouge));
}

QStringList items(const QComboBox &popUp)
{
    QStringList result;
    for (int i = 0; i < popUp.count(); ++i)
        result.append(popUp.itemText(i));
    return result;
}

} // namespace

void TestKORConversions::configurerPopUpButton()
{
    TestDatabase db;
    QVERIFY(db.isValid());
    addAddress(db, QStringLiteral("b"), QStringLiteral("N"));
    addAddress(db, QStringLiteral("a"), QStringLiteral("O"));
    addAddress(db, QStringLiteral("d"), QStringLiteral("N"));
    addAddress(db, QStringLiteral("a"), QStringLiteral("N"));
    addAddress(db, QString(), QStringLiteral("O"));
    addAddress(db, QStringLiteral("B"), QStringLiteral("O"));

    QComboBox popUp;
    popUp.addItems({QStringLiteral("ville"), QStringLiteral("Autre")});
    const KORConversions::PopUpFetch fetch = KORConversions::configurerPopUpButton(
        &popUp, db.dataBus(), QStringLiteral("AdresseVix"), QStringLiteral("ville"), QString());

    QCOMPARE(fetch.rows.size(), 5); // the address without a town is not fetched
    QVERIFY(fetch.qualifier);
    const QStringList result = items(popUp);
    QCOMPARE(result.size(), 5);
    QCOMPARE(result.at(0), QStringLiteral("a"));
    // b and B differ only in case: two items, side by side, in either order.
    QCOMPARE(QSet<QString>({result.at(1), result.at(2)}),
             QSet<QString>({QStringLiteral("b"), QStringLiteral("B")}));
    QCOMPARE(result.at(3), QStringLiteral("d"));
    QCOMPARE(result.at(4), QStringLiteral("Autre"));
}

void TestKORConversions::configurerPopUpButtonWithLimitation()
{
    TestDatabase db;
    QVERIFY(db.isValid());
    addAddress(db, QStringLiteral("Tarbes"), QStringLiteral("N"));
    addAddress(db, QStringLiteral("Pau"), QStringLiteral("O"));
    addAddress(db, QStringLiteral("Bayonne"), QStringLiteral("O"));
    addAddress(db, QStringLiteral("Pau"), QStringLiteral("O"));

    QComboBox popUp;
    popUp.addItem(QStringLiteral("ville"));
    const KORConversions::PopUpFetch fetch =
        KORConversions::configurerPopUpButton(&popUp, db.dataBus(), QStringLiteral("AdresseVix"),
                                              QStringLiteral("ville"), QStringLiteral("adrListeRouge"));
    QCOMPARE(fetch.rows.size(), 3);
    QCOMPARE(items(popUp), QStringList({QStringLiteral("Bayonne"), QStringLiteral("Pau")}));
}

void TestKORConversions::configurerPopUpButtonKeepsAValueSpelledLikeTheAttribute()
{
    TestDatabase db;
    QVERIFY(db.isValid());
    addAddress(db, QStringLiteral("ville"), QStringLiteral("N"));
    addAddress(db, QStringLiteral("Lourdes"), QStringLiteral("N"));

    QComboBox popUp;
    popUp.addItems({QStringLiteral("Choisir"), QStringLiteral("ville")});
    KORConversions::configurerPopUpButton(&popUp, db.dataBus(), QStringLiteral("AdresseVix"),
                                          QStringLiteral("ville"), QString());
    QCOMPARE(items(popUp),
             QStringList({QStringLiteral("Lourdes"), QStringLiteral("ville"), QStringLiteral("Choisir")}));
}

QTEST_MAIN(TestKORConversions)
#include "tst_KORConversions.moc"
