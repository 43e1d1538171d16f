// What the layer does without the database: like patterns, sorting records and evaluating conditions on
// records of an entity and on dictionary lines.

#include "EOCollation.h"
#include "EOEntity.h"
#include "EOGenericRecord.h"
#include "EONull.h"
#include "EOQualifier.h"
#include "EOSortOrdering.h"
#include "EOTestModel.h"
#include "EOTestSupport.h"
#include "EOValues.h"

#include <QCollator>
#include <QElapsedTimer>
#include <QTest>

using namespace eo;
using Selector = EOSortOrdering::Selector;

Q_DECLARE_METATYPE(eo::EOSortOrdering::Selector)

namespace
{

QStringList valuesOf(const QList<EORecord> &records, const QString &key)
{
    QStringList values;
    for (const EORecord &record : records)
        values.append(EOValues::displayText(record->valueForKeyPath(key)));
    return values;
}

// Lines numbered in the order given, with one value each under "v" (none when the value is invalid).
QList<EORecord> numberedLines(const QVariantList &values)
{
    QList<EORecord> lines;
    for (qsizetype i = 0; i < values.size(); ++i) {
        QVariantMap map{{QStringLiteral("id"), int(i)}};
        if (values.at(i).isValid())
            map.insert(QStringLiteral("v"), values.at(i));
        lines.append(makeLine(map));
    }
    return lines;
}

} // namespace

class TestEOInMemory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void likeMatch_data();
    void likeMatch();
    void likeMatchOnLongTextsStaysQuick();

    void sortOrder_data();
    void sortOrder();
    void sortIsStableOnTies();
    void collationIsOneOrder();
    void collationShortcutAgreesWithICU();
    void sortBySeveralKeys();
    void sortByKeyPathThroughRecords();
    void sortedCopyLeavesTheInputAlone();

    void evaluate_data();
    void evaluate();

private:
    std::unique_ptr<EOModel> m_model;
};

void TestEOInMemory::initTestCase()
{
    m_model = makeTestModel();
}

void TestEOInMemory::likeMatch_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("caseInsensitive");
    QTest::addColumn<bool>("expected");

    QTest::newRow("prefix") << "Salle 12"
                            << "Salle*" << false << true;
    QTest::newRow("contains") << "XA12B"
                              << "*A12*" << false << true;
    QTest::newRow("contains at the end") << "XA12"
                                         << "*A12*" << false << true;
    QTest::newRow("contains exactly") << "A12"
                                      << "*A12*" << false << true;
    QTest::newRow("does not contain") << "A1-2"
                                      << "*A12*" << false << false;
    QTest::newRow("whole text without star") << "A12B"
                                             << "A12" << false << false;
    QTest::newRow("one character") << "abc"
                                   << "a?c" << false << true;
    QTest::newRow("question mark needs one") << "ac"
                                             << "a?c" << false << false;
    QTest::newRow("question mark takes only one") << "abbc"
                                                  << "a?c" << false << false;
    QTest::newRow("percent is literal") << "50%"
                                        << "50%" << false << true;
    QTest::newRow("percent is no wildcard") << "500"
                                            << "50%" << false << false;
    QTest::newRow("percent is no wildcard, empty") << "50"
                                                   << "50%" << false << false;
    QTest::newRow("underscore is literal") << "a_b"
                                           << "a_b" << false << true;
    QTest::newRow("underscore is no wildcard") << "axb"
                                               << "a_b" << false << false;
    QTest::newRow("backslash is literal") << "a\\b"
                                          << "a\\b" << false << true;
    QTest::newRow("case counts") << "ABC"
                                 << "abc" << false << false;
    QTest::newRow("case ignored") << "ABC"
                                  << "abc" << true << true;
    QTest::newRow("case ignored with accents") << "ÉTAGE"
                                               << "*étage" << true << true;
    QTest::newRow("case ignored, still a mismatch") << "ABD"
                                                    << "abc" << true << false;
    QTest::newRow("star matches empty") << ""
                                        << "*" << false << true;
    QTest::newRow("empty pattern") << ""
                                   << "" << false << true;
    QTest::newRow("empty pattern, some text") << "x"
                                              << "" << false << false;
    QTest::newRow("question mark on empty") << ""
                                            << "?" << false << false;
    QTest::newRow("several stars") << "aaa"
                                   << "*a*a*a*" << false << true;
    QTest::newRow("several stars, too few") << "aa"
                                            << "*a*a*a*" << false << false;
    QTest::newRow("backtracking") << "mississippi"
                                  << "m*iss*ppi" << false << true;
    QTest::newRow("backtracking fails") << "mississippi"
                                        << "m*iss*x" << false << false;
    QTest::newRow("star then question marks") << "abcd"
                                              << "*??" << false << true;
    QTest::newRow("trailing text after star") << "abcd"
                                              << "*bc" << false << false;
}

void TestEOInMemory::likeMatch()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(bool, caseInsensitive);
    QFETCH(bool, expected);
    QCOMPARE(EOValues::likeMatch(text, pattern, caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive),
             expected);
}

void TestEOInMemory::likeMatchOnLongTextsStaysQuick()
{
    const QString text(20000, QLatin1Char('a'));
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!EOValues::likeMatch(text, QStringLiteral("*a*a*a*a*a*a*b"), Qt::CaseSensitive));
    QVERIFY(
        EOValues::likeMatch(text + QLatin1Char('b'), QStringLiteral("*a*a*a*a*a*a*b"), Qt::CaseSensitive));
    QVERIFY2(timer.elapsed() < 2000, "wildcard matching went exponential");
}

void TestEOInMemory::sortOrder_data()
{
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<Selector>("selector");
    QTest::addColumn<QList<int>>("order"); // line numbers in the expected order

    const QVariantList letters{"b", "A", "a", "B"};
    QTest::newRow("case-sensitive ascending")
        << letters << Selector::CompareAscending << QList<int>{1, 3, 2, 0};
    // Without regard to case: the letter first, the case last (lower case first).
    QTest::newRow("case-insensitive ascending")
        << letters << Selector::CompareCaseInsensitiveAscending << QList<int>{2, 1, 0, 3};
    QTest::newRow("case-sensitive descending")
        << letters << Selector::CompareDescending << QList<int>{0, 2, 3, 1};
    QTest::newRow("case-insensitive descending")
        << letters << Selector::CompareCaseInsensitiveDescending << QList<int>{3, 0, 1, 2};

    const QVariantList numbers{10, 9, 100, -1};
    QTest::newRow("numbers as numbers") << numbers << Selector::CompareAscending << QList<int>{3, 1, 0, 2};
    QTest::newRow("numbers, case-insensitive")
        << numbers << Selector::CompareCaseInsensitiveAscending << QList<int>{3, 1, 0, 2};
    QTest::newRow("numbers descending") << numbers << Selector::CompareDescending << QList<int>{2, 0, 1, 3};

    const QVariantList withNulls{3, eoNull(), 1, QVariant(), 2};
    QTest::newRow("nulls first ascending")
        << withNulls << Selector::CompareAscending << QList<int>{1, 3, 2, 4, 0};
    QTest::newRow("nulls last descending")
        << withNulls << Selector::CompareDescending << QList<int>{0, 4, 2, 1, 3};
    const QVariantList textsWithNull{"b", eoNull(), "a"};
    QTest::newRow("null before any text")
        << textsWithNull << Selector::CompareCaseInsensitiveAscending << QList<int>{1, 2, 0};
    QTest::newRow("null before the empty text")
        << QVariantList{"", eoNull()} << Selector::CompareAscending << QList<int>{1, 0};
    // French order: letters first, then accents, then case.
    QTest::newRow("accents after the letters")
        << QVariantList{"été", "Étage", "ETE"} << Selector::CompareCaseInsensitiveAscending
        << QList<int>{1, 2, 0};
    QTest::newRow("French order") << QVariantList{"Entrée", "Écran motorisé", "Chaise", "Câblage",
                                                  "chaise", "cable",          "Zone",   "œil"}
                                  << Selector::CompareCaseInsensitiveAscending
                                  << QList<int>{3, 5, 4, 2, 1, 0, 7, 6};
    QTest::newRow("French order descending")
        << QVariantList{"Entrée", "Écran motorisé", "Chaise", "Câblage"}
        << Selector::CompareCaseInsensitiveDescending << QList<int>{0, 1, 2, 3};
}

void TestEOInMemory::sortOrder()
{
    QFETCH(QVariantList, values);
    QFETCH(Selector, selector);
    QFETCH(QList<int>, order);

    const QList<EORecord> sorted = EOSortOrdering::sortedArrayUsingKeyOrderArray(
        numberedLines(values), {EOSortOrdering(QStringLiteral("v"), selector)});
    QList<int> ids;
    for (const EORecord &line : sorted)
        ids.append(line->valueForKey(QStringLiteral("id")).toInt());
    QCOMPARE(ids, order);
}

void TestEOInMemory::collationIsOneOrder()
{
    // The embedded database compares UTF-8 texts, memory compares QStrings: both give one total order.
    const QStringList words{"",       "a",       "A",      "à",      "b",        "Câblage",
                            "cable",  "CABLE",   "Chaise", "chaise", "côte",     "cote",
                            "coté",   "Côté",    "Écran",  "ecran",  "Entrée",   "œil",
                            "oeil",   "Zone",    "zone 2", "zone-2", "SCIENCES", "SCIENCES BIS",
                            "Straße", "strasse", "日本",   "x́"};
    for (const QString &a : words) {
        const QByteArray utf8A = a.toUtf8();
        for (const QString &b : words) {
            const QByteArray utf8B = b.toUtf8();
            const int memoire = EOCollation::compare(a, b);
            QCOMPARE(EOCollation::compareUtf8(utf8A.constData(), int(utf8A.size()), utf8B.constData(),
                                              int(utf8B.size())),
                     memoire);
            QCOMPARE(EOCollation::compare(b, a), -memoire);
            QCOMPARE(memoire == 0, a == b);
            // The letters alone, the first look of a sort by several keys: the same from both sides too,
            // and never against the full order.
            const int lettres = EOCollation::compareLetters(a, b);
            QCOMPARE(EOCollation::compareLettersUtf8(utf8A.constData(), int(utf8A.size()), utf8B.constData(),
                                                     int(utf8B.size())),
                     lettres);
            QVERIFY(lettres == 0 || lettres == memoire);
        }
    }
}

void TestEOInMemory::collationShortcutAgreesWithICU()
{
    // Doors and floors of letters and digits are ordered without ICU: the order must be ICU's all the same.
    const QCollator icu{QLocale(QLocale::French, QLocale::France)};
    const QString alphabet = QStringLiteral("0129aAbBzZ");
    QList<QString> texts{"",   "a",  "A", "a1",  "A1",   "a10",     "a2",  "ab",  "aB",
                         "Ab", "AB", "b", "B12", "b12c", "a\u0301", "a-1", "A 1", "é"};
    quint32 seed = 12345;
    for (int i = 0; i < 300; ++i) {
        QString text;
        seed = seed * 1664525u + 1013904223u;
        const int length = int(seed >> 29); // 0 to 7
        for (int j = 0; j < length; ++j) {
            seed = seed * 1664525u + 1013904223u;
            text += alphabet.at(int((seed >> 16) % quint32(alphabet.size())));
        }
        texts.append(text);
    }
    QCollator sansCasse = icu;
    sansCasse.setCaseSensitivity(Qt::CaseInsensitive);
    const auto sign = [](int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); };
    for (const QString &a : texts) {
        for (const QString &b : texts) {
            const int attendu = sign(icu.compare(a, b));
            if (attendu != 0) // ICU's ties are ordered by their characters
                QVERIFY2(EOCollation::compare(a, b) == attendu, qPrintable(a + QStringLiteral(" / ") + b));
            // Without accents, ICU's letters alone are its order without case.
            if (!a.contains(u'\u0301') && !b.contains(u'\u0301') && !a.contains(u'é') && !b.contains(u'é'))
                QVERIFY2(EOCollation::compareLetters(a, b) == sign(sansCasse.compare(a, b)),
                         qPrintable(a + QStringLiteral(" / ") + b));
        }
    }
}

void TestEOInMemory::sortIsStableOnTies()
{
    // Equal keys keep the order they came in (the database's, or the previous sort's).
    QVariantList values;
    for (int i = 0; i < 60; ++i)
        values.append(QStringList{QStringLiteral("Lettres"), QStringLiteral("droit"),
                                  QStringLiteral("LETTRES"), QStringLiteral("Droit")}
                          .at((i * 7) % 4));
    const QList<EORecord> sorted = EOSortOrdering::sortedArrayUsingKeyOrderArray(
        numberedLines(values),
        {EOSortOrdering(QStringLiteral("v"), Selector::CompareCaseInsensitiveAscending)});
    QCOMPARE(sorted.size(), 60);
    for (qsizetype i = 1; i < sorted.size(); ++i) {
        const QString previous = sorted.at(i - 1)->valueForKey(QStringLiteral("v")).toString();
        const QString current = sorted.at(i)->valueForKey(QStringLiteral("v")).toString();
        const int c = EOCollation::compare(previous, current);
        QVERIFY(c <= 0);
        if (previous == current)
            QVERIFY(sorted.at(i - 1)->valueForKey(QStringLiteral("id")).toInt() <
                    sorted.at(i)->valueForKey(QStringLiteral("id")).toInt());
    }
    QCOMPARE(sorted.first()->valueForKey(QStringLiteral("v")).toString().toLower(), QStringLiteral("droit"));
}

void TestEOInMemory::sortBySeveralKeys()
{
    // The order of every room list: building, then floor, then door, without regard to case.
    const EOEntity &salle = m_model->entity(QStringLiteral("Salle"));
    QList<EORecord> rooms;
    const QList<QStringList> rows{{"Sciences", "2", "b10"},
                                  {"lettres", "1", "A2"},
                                  {"Sciences", "1", "a3"},
                                  {"Lettres", "1", "a1"},
                                  {"sciences", "1", "A1"}};
    for (const QStringList &row : rows) {
        EORecord room = EOGenericRecord::create(&salle);
        room->takeValueForKey(row.at(0), QStringLiteral("appellation"));
        room->takeValueForKey(row.at(1), QStringLiteral("salEtage"));
        room->takeValueForKey(row.at(2), QStringLiteral("salPorte"));
        rooms.append(room);
    }
    const QList<EORecord> sorted = EOSortOrdering::sortedArrayUsingKeyOrderArray(
        rooms, {EOSortOrdering(QStringLiteral("appellation"), Selector::CompareCaseInsensitiveAscending),
                EOSortOrdering(QStringLiteral("salEtage"), Selector::CompareCaseInsensitiveAscending),
                EOSortOrdering(QStringLiteral("salPorte"), Selector::CompareCaseInsensitiveAscending)});
    // "Lettres" and "lettres" tie by their letters: the door decides before the case of a building's name.
    QCOMPARE(valuesOf(sorted, QStringLiteral("salPorte")), (QStringList{"a1", "A2", "A1", "a3", "b10"}));

    // A descending key among ascending ones.
    const QList<EORecord> byFloorDown = EOSortOrdering::sortedArrayUsingKeyOrderArray(
        rooms, {EOSortOrdering(QStringLiteral("salEtage"), Selector::CompareDescending),
                EOSortOrdering(QStringLiteral("salPorte"), Selector::CompareAscending)});
    QCOMPARE(valuesOf(byFloorDown, QStringLiteral("salPorte")), (QStringList{"b10", "A1", "A2", "a1", "a3"}));
}

void TestEOInMemory::sortByKeyPathThroughRecords()
{
    const EOEntity &salle = m_model->entity(QStringLiteral("Salle"));
    const EOEntity &local = m_model->entity(QStringLiteral("Local"));
    auto building = [&](const QString &name) {
        EORecord record = EOGenericRecord::create(&local);
        record->takeValueForKey(name, QStringLiteral("appellation"));
        return record;
    };
    const QList<QVariant> buildings{EOGenericRecord::toVariant(building(QStringLiteral("Sciences"))),
                                    eoNull(), EOGenericRecord::toVariant(building(QStringLiteral("droit"))),
                                    EOGenericRecord::toVariant(building(QStringLiteral("Lettres")))};
    QList<EORecord> rooms;
    for (qsizetype i = 0; i < buildings.size(); ++i) {
        EORecord room = EOGenericRecord::create(&salle);
        room->takeValueForKey(int(i), QStringLiteral("salNumero"));
        room->takeValueForKey(buildings.at(i), QStringLiteral("local"));
        rooms.append(room);
    }
    const QList<EORecord> sorted = EOSortOrdering::sortedArrayUsingKeyOrderArray(
        rooms,
        {EOSortOrdering(QStringLiteral("local.appellation"), Selector::CompareCaseInsensitiveAscending)});
    // The room without building comes first, as a null does.
    QCOMPARE(valuesOf(sorted, QStringLiteral("salNumero")), (QStringList{"1", "2", "3", "0"}));
}

void TestEOInMemory::sortedCopyLeavesTheInputAlone()
{
    const QList<EORecord> lines = numberedLines({3, 1, 2});
    const QList<EORecord> sorted = EOSortOrdering::sortedArrayUsingKeyOrderArray(
        lines, {EOSortOrdering(QStringLiteral("v"), Selector::CompareAscending)});
    QCOMPARE(valuesOf(lines, QStringLiteral("v")), (QStringList{"3", "1", "2"}));
    QCOMPARE(valuesOf(sorted, QStringLiteral("v")), (QStringList{"1", "2", "3"}));
    // The same records, not copies.
    QCOMPARE(sorted.first().get(), lines.at(1).get());
    QCOMPARE(valuesOf(EOSortOrdering::sortedArrayUsingKeyOrderArray(lines, {}), QStringLiteral("v")),
             (QStringList{"3", "1", "2"}));
}

void TestEOInMemory::evaluate_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QVariantList>("arguments");
    QTest::addColumn<QVariantMap>("values");
    QTest::addColumn<QString>("building"); // appellation of the room's building; empty: no building
    QTest::addColumn<bool>("expected");

    const QVariantList none;
    QTest::newRow("flag set") << "salReservable!=%@" << QVariantList{eoNull()}
                              << QVariantMap{{"salReservable", "O"}} << QString() << true;
    QTest::newRow("flag null") << "salReservable!=%@" << QVariantList{eoNull()} << QVariantMap{} << QString()
                               << false;
    QTest::newRow("flag null, = nil") << "salReservable=nil" << none << QVariantMap{} << QString() << true;
    QTest::newRow("flag N, = nil") << "salReservable=nil" << none << QVariantMap{{"salReservable", "N"}}
                                   << QString() << false;
    QTest::newRow("flag O") << "salEcran='O'" << none << QVariantMap{{"salEcran", "O"}} << QString() << true;
    QTest::newRow("flag N") << "salEcran='O'" << none << QVariantMap{{"salEcran", "N"}} << QString() << false;
    QTest::newRow("greater") << "salCapacite > 20" << none << QVariantMap{{"salCapacite", 30}} << QString()
                             << true;
    QTest::newRow("not greater") << "salCapacite > 20" << none << QVariantMap{{"salCapacite", 20}}
                                 << QString() << false;
    QTest::newRow("greater than null") << "salCapacite > 20" << none << QVariantMap{} << QString() << false;
    QTest::newRow("less than null") << "salCapacite < 20" << none << QVariantMap{} << QString() << false;
    QTest::newRow("not less than null")
        << "not salCapacite < 20" << none << QVariantMap{} << QString() << true;
    QTest::newRow("text argument against a number")
        << "salCapacite >= %@" << QVariantList{"20"} << QVariantMap{{"salCapacite", 20}} << QString() << true;
    QTest::newRow("numbers, not texts")
        << "salCapacite < %@" << QVariantList{100} << QVariantMap{{"salCapacite", 9}} << QString() << true;
    QTest::newRow("%d") << "salNumero=%d" << QVariantList{12} << QVariantMap{{"salNumero", 12}} << QString()
                        << true;
    QTest::newRow("floor exact") << "salEtage=%@" << QVariantList{"1"} << QVariantMap{{"salEtage", "1"}}
                                 << QString() << true;
    QTest::newRow("floor 01 is not 1")
        << "salEtage=%@" << QVariantList{"1"} << QVariantMap{{"salEtage", "01"}} << QString() << false;
    QTest::newRow("floor with a space is not 1")
        << "salEtage=%@" << QVariantList{"1"} << QVariantMap{{"salEtage", "1 "}} << QString() << false;
    QTest::newRow("door like") << "salPorte like %@" << QVariantList{"*A12*"}
                               << QVariantMap{{"salPorte", "XA12B"}} << QString() << true;
    QTest::newRow("like counts case") << "salPorte like %@" << QVariantList{"*A12*"}
                                      << QVariantMap{{"salPorte", "xa12"}} << QString() << false;
    QTest::newRow("caseInsensitiveLike") << "salPorte caseInsensitiveLike %@" << QVariantList{"*a12*"}
                                         << QVariantMap{{"salPorte", "XA12B"}} << QString() << true;
    QTest::newRow("like with literal percent") << "salPorte like %@" << QVariantList{"50%"}
                                               << QVariantMap{{"salPorte", "500"}} << QString() << false;
    QTest::newRow("like on null") << "salDescriptif like %@" << QVariantList{"*"} << QVariantMap{}
                                  << QString() << false;
    QTest::newRow("like on a number")
        << "salCapacite like '3*'" << none << QVariantMap{{"salCapacite", 30}} << QString() << true;
    QTest::newRow("building like") << "local.appellation like %@" << QVariantList{"*Sciences*"}
                                   << QVariantMap{} << "Bât. Sciences" << true;
    QTest::newRow("other building") << "local.appellation like %@" << QVariantList{"*Sciences*"}
                                    << QVariantMap{} << "Lettres" << false;
    QTest::newRow("no building") << "local.appellation like %@" << QVariantList{"*Sciences*"} << QVariantMap{}
                                 << QString() << false;
    QTest::newRow("no building, = nil")
        << "local.appellation = nil" << none << QVariantMap{} << QString() << true;
    QTest::newRow("building and flag")
        << "local.appellation=%@ and salReservable!=nil" << QVariantList{"Lettres"}
        << QVariantMap{{"salReservable", "N"}} << "Lettres" << true;
    QTest::newRow("building and no flag") << "local.appellation=%@ and salReservable!=nil"
                                          << QVariantList{"Lettres"} << QVariantMap{} << "Lettres" << false;
    QTest::newRow("key against key") << "salNumero = burOrdre" << none
                                     << QVariantMap{{"salNumero", 12}, {"burOrdre", 12}} << QString() << true;
    QTest::newRow("or") << "salEcran='O' or salCapacite > 10" << none
                        << QVariantMap{{"salEcran", "N"}, {"salCapacite", 11}} << QString() << true;
    QTest::newRow("and") << "salEcran='O' and salCapacite > 10" << none
                         << QVariantMap{{"salEcran", "N"}, {"salCapacite", 11}} << QString() << false;
}

void TestEOInMemory::evaluate()
{
    QFETCH(QString, format);
    QFETCH(QVariantList, arguments);
    QFETCH(QVariantMap, values);
    QFETCH(QString, building);
    QFETCH(bool, expected);

    const EOQualifierPtr qualifier = EOQualifier::qualifierWithQualifierFormat(format, arguments);

    // A record of the room entity: the attributes not given hold the null marker.
    EORecord room = EOGenericRecord::create(&m_model->entity(QStringLiteral("Salle")));
    for (auto it = values.constBegin(); it != values.constEnd(); ++it)
        room->takeValueForKey(it.value(), it.key());
    if (building.isEmpty()) {
        room->takeValueForKey(eoNull(), QStringLiteral("local"));
    } else {
        EORecord local = EOGenericRecord::create(&m_model->entity(QStringLiteral("Local")));
        local->takeValueForKey(building, QStringLiteral("appellation"));
        room->takeValueForKey(EOGenericRecord::toVariant(local), QStringLiteral("local"));
    }
    QCOMPARE(qualifier->evaluateWithObject(*room), expected);

    // The same as a dictionary line, which holds only the keys given to it.
    EORecord line = makeLine(values);
    if (!building.isEmpty())
        line->takeValueForKey(
            EOGenericRecord::toVariant(makeLine({{QStringLiteral("appellation"), building}})),
            QStringLiteral("local"));
    QCOMPARE(qualifier->evaluateWithObject(*line), expected);
}

QTEST_GUILESS_MAIN(TestEOInMemory)
#include "tst_eoinmemory.moc"
