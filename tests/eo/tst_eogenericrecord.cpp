// Records read and set by key: attributes, keys set by the program, key paths through related records, and
// dictionary lines.

#include "EOEntity.h"
#include "EOException.h"
#include "EOGenericRecord.h"
#include "EONull.h"
#include "EOTestModel.h"
#include "EOTestSupport.h"

#include <QTest>

using namespace eo;

class TestEOGenericRecord : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void newRecordHoldsNullMarkers();
    void attributesAreSetAndRead();
    void noneBecomesTheNullMarker();
    void extraKeysBesideAttributes();
    void unknownKeyOfAnEntityRecord_data();
    void unknownKeyOfAnEntityRecord();
    void dictionaryLineAnswersNoneForUnknownKeys();
    void keyPathsThroughRecords();
    void keyPathsThroughDictionaries();
    void unreadRelationshipWithoutContextIsAnError();
    void refreshReplacesValuesAndForgetsRelatedRecordsBehindAChangedKey();
    void variantRoundTrip();

private:
    std::unique_ptr<EOModel> m_model;
    const EOEntity *m_salle = nullptr;
    const EOEntity *m_local = nullptr;
    const EOEntity *m_adresse = nullptr;
};

void TestEOGenericRecord::initTestCase()
{
    m_model = makeTestModel();
    m_salle = &m_model->entity(QStringLiteral("Salle"));
    m_local = &m_model->entity(QStringLiteral("Local"));
    m_adresse = &m_model->entity(QStringLiteral("Adresse"));
}

void TestEOGenericRecord::newRecordHoldsNullMarkers()
{
    const EORecord room = EOGenericRecord::create(m_salle);
    QCOMPARE(room->entity(), m_salle);
    QCOMPARE(room->entityName(), QStringLiteral("Salle"));
    QCOMPARE(room->values().size(), m_salle->attributes().size());
    for (const EOAttribute &attribute : m_salle->attributes())
        QVERIFY2(isEONull(room->valueForKey(attribute.name)), qPrintable(attribute.name));
}

void TestEOGenericRecord::attributesAreSetAndRead()
{
    const EORecord room = EOGenericRecord::create(m_salle);
    room->takeValueForKey(QStringLiteral("1"), QStringLiteral("salEtage"));
    room->takeValueForKey(42, QStringLiteral("salCapacite"));
    room->takeValueForKey(QStringLiteral("A12"), QStringLiteral("salPorte"));
    QCOMPARE(room->valueForKey(QStringLiteral("salEtage")), QVariant(QStringLiteral("1")));
    QCOMPARE(room->valueForKey(QStringLiteral("salCapacite")), QVariant(42));
    QCOMPARE(room->valueForKey(QStringLiteral("salPorte")), QVariant(QStringLiteral("A12")));
    // Each value sits at its attribute's place, and only there.
    QCOMPARE(room->valueAt(m_salle->attributeIndex(QStringLiteral("salCapacite"))), QVariant(42));
    QVERIFY(isEONull(room->valueForKey(QStringLiteral("salNumero"))));
    // Setting again replaces.
    room->takeValueForKey(QStringLiteral("2"), QStringLiteral("salEtage"));
    QCOMPARE(room->valueForKey(QStringLiteral("salEtage")), QVariant(QStringLiteral("2")));
    // An attribute set is not kept twice among the keys.
    QCOMPARE(room->allKeys().count(QStringLiteral("salEtage")), 1);
    QCOMPARE(room->allKeys().size(), m_salle->attributes().size());
}

void TestEOGenericRecord::noneBecomesTheNullMarker()
{
    const EORecord room = EOGenericRecord::create(m_salle);
    room->takeValueForKey(QStringLiteral("1"), QStringLiteral("salEtage"));
    room->takeValueForKey(QVariant(), QStringLiteral("salEtage"));
    QVERIFY(isEONull(room->valueForKey(QStringLiteral("salEtage"))));
}

void TestEOGenericRecord::extraKeysBesideAttributes()
{
    // The room list printing sets values for its report on the record.
    const EORecord room = EOGenericRecord::create(m_salle);
    room->takeValueForKey(QStringLiteral("Enseignement 100 %"), QStringLiteral("repartition"));
    room->takeValueForKey(QStringLiteral("UFR Sciences"), QStringLiteral("repartService"));
    QCOMPARE(room->valueForKey(QStringLiteral("repartition")),
             QVariant(QStringLiteral("Enseignement 100 %")));
    QCOMPARE(room->valueForKey(QStringLiteral("repartService")), QVariant(QStringLiteral("UFR Sciences")));
    const QStringList keys = room->allKeys();
    QVERIFY(keys.contains(QStringLiteral("repartition")));
    QVERIFY(keys.contains(QStringLiteral("salNumero")));
    QCOMPARE(keys.size(), m_salle->attributes().size() + 2);
    // Attribute values are not disturbed by extra keys.
    QCOMPARE(room->values().size(), m_salle->attributes().size());
}

void TestEOGenericRecord::unknownKeyOfAnEntityRecord_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("unknown") << "salInconnu";
    QTest::newRow("column name instead of attribute") << "SAL_ETAGE";
    QTest::newRow("attribute in another case") << "saletage";
    QTest::newRow("empty") << "";
    QTest::newRow("path as one key") << "local.appellation";
}

void TestEOGenericRecord::unknownKeyOfAnEntityRecord()
{
    QFETCH(QString, key);
    const EORecord room = EOGenericRecord::create(m_salle);
    const auto error = eoExceptionOf([&] { room->valueForKey(key); });
    QVERIFY(error.has_value());
    QCOMPARE(error->kind(), EOException::Kind::Model);
    QVERIFY2(error->message().contains(QStringLiteral("« %1 »").arg(key)), qPrintable(error->message()));
    QVERIFY(error->message().contains(QStringLiteral("Salle")));
}

void TestEOGenericRecord::dictionaryLineAnswersNoneForUnknownKeys()
{
    const EORecord line = makeLine(
        {{QStringLiteral("tavLibelle"), QStringLiteral("Chaise")}, {QStringLiteral("dsaPourcentage"), 12}});
    QVERIFY(!line->entity());
    QVERIFY(line->entityName().isEmpty());
    QCOMPARE(line->valueForKey(QStringLiteral("tavLibelle")), QVariant(QStringLiteral("Chaise")));
    QCOMPARE(line->valueForKey(QStringLiteral("dsaPourcentage")), QVariant(12));
    QVERIFY(!line->valueForKey(QStringLiteral("uniAbrev")).isValid());
    QVERIFY(!line->valueForKeyPath(QStringLiteral("toUnite.uniAbrev")).isValid());
    QCOMPARE(line->allKeys().size(), 2);
    line->takeValueForKey(QStringLiteral("m"), QStringLiteral("uniAbrev"));
    QCOMPARE(line->valueForKey(QStringLiteral("uniAbrev")), QVariant(QStringLiteral("m")));
}

void TestEOGenericRecord::keyPathsThroughRecords()
{
    const EORecord address = EOGenericRecord::create(m_adresse);
    address->takeValueForKey(QStringLiteral("Lyon"), QStringLiteral("ville"));
    const EORecord building = EOGenericRecord::create(m_local);
    building->takeValueForKey(QStringLiteral("Sciences"), QStringLiteral("appellation"));
    building->takeValueForKey(EOGenericRecord::toVariant(address), QStringLiteral("toAdresse"));
    const EORecord room = EOGenericRecord::create(m_salle);
    room->takeValueForKey(EOGenericRecord::toVariant(building), QStringLiteral("local"));
    room->takeValueForKey(QStringLiteral("Amphi"), QStringLiteral("appellation"));

    QCOMPARE(room->valueForKeyPath(QStringLiteral("local.appellation")),
             QVariant(QStringLiteral("Sciences")));
    QCOMPARE(room->valueForKeyPath(QStringLiteral("local.toAdresse.ville")),
             QVariant(QStringLiteral("Lyon")));
    // The room's own attribute of the same name is another value.
    QCOMPARE(room->valueForKeyPath(QStringLiteral("appellation")), QVariant(QStringLiteral("Amphi")));
    QCOMPARE(EOGenericRecord::fromVariant(room->valueForKey(QStringLiteral("local"))).get(), building.get());

    // A change in the related record shows through the path.
    address->takeValueForKey(QStringLiteral("Villeurbanne"), QStringLiteral("ville"));
    QCOMPARE(room->valueForKeyPath(QStringLiteral("local.toAdresse.ville")),
             QVariant(QStringLiteral("Villeurbanne")));

    // A step that holds no record gives none, not an error.
    building->takeValueForKey(eoNull(), QStringLiteral("toAdresse"));
    QVERIFY(!room->valueForKeyPath(QStringLiteral("local.toAdresse.ville")).isValid());
    room->takeValueForKey(eoNull(), QStringLiteral("local"));
    QVERIFY(!room->valueForKeyPath(QStringLiteral("local.appellation")).isValid());

    // An unknown key at the end of a path is an error of the record that lacks it.
    room->takeValueForKey(EOGenericRecord::toVariant(building), QStringLiteral("local"));
    const auto error = eoExceptionOf([&] { room->valueForKeyPath(QStringLiteral("local.inconnu")); });
    QVERIFY(error.has_value());
    QCOMPARE(error->kind(), EOException::Kind::Model);
    QVERIFY(error->message().contains(QStringLiteral("Local")));
}

void TestEOGenericRecord::keyPathsThroughDictionaries()
{
    const EORecord line =
        makeLine({{QStringLiteral("structureZebVix"),
                   QVariantMap{{QStringLiteral("lcStructure"), QStringLiteral("UFR SC")}}}});
    QCOMPARE(line->valueForKeyPath(QStringLiteral("structureZebVix.lcStructure")),
             QVariant(QStringLiteral("UFR SC")));
    QVERIFY(!line->valueForKeyPath(QStringLiteral("structureZebVix.llStructure")).isValid());

    const EORecord nested = makeLine({{QStringLiteral("appellation"), QStringLiteral("Droit")}});
    const EORecord outer = makeLine({{QStringLiteral("local"), EOGenericRecord::toVariant(nested)}});
    QCOMPARE(outer->valueForKeyPath(QStringLiteral("local.appellation")), QVariant(QStringLiteral("Droit")));
}

void TestEOGenericRecord::unreadRelationshipWithoutContextIsAnError()
{
    // A relationship not read yet needs the record's editing context; without one the read fails cleanly.
    const EORecord room = EOGenericRecord::create(m_salle);
    room->takeValueForKey(QStringLiteral("SCI"), QStringLiteral("cLocal"));
    const auto error = eoExceptionOf([&] { room->valueForKeyPath(QStringLiteral("local.appellation")); });
    QVERIFY(error.has_value());
    QCOMPARE(error->kind(), EOException::Kind::Model);
    QVERIFY(error->message().contains(QStringLiteral("local")));
}

void TestEOGenericRecord::refreshReplacesValuesAndForgetsRelatedRecordsBehindAChangedKey()
{
    const EORecord building = EOGenericRecord::create(m_local);
    auto refreshed = [&](const QString &buildingCode) {
        const EORecord room = EOGenericRecord::create(m_salle);
        room->takeValueForKey(QStringLiteral("1"), QStringLiteral("salEtage"));
        room->takeValueForKey(QStringLiteral("SCI"), QStringLiteral("cLocal"));
        room->takeValueForKey(QStringLiteral("note"), QStringLiteral("repartition"));
        room->takeValueForKey(EOGenericRecord::toVariant(building), QStringLiteral("local"));
        QList<QVariant> fresh;
        for (const EOAttribute &attribute : m_salle->attributes()) {
            fresh.append(attribute.name == QLatin1String("salEtage") ? QVariant(QStringLiteral("3"))
                         : attribute.name == QLatin1String("cLocal") ? QVariant(buildingCode)
                                                                     : eoNull());
        }
        room->refreshValues(std::move(fresh));
        return room;
    };
    // The same building code leads to the same row: the building read before stays.
    const EORecord same = refreshed(QStringLiteral("SCI"));
    QCOMPARE(same->valueForKey(QStringLiteral("salEtage")), QVariant(QStringLiteral("3")));
    QCOMPARE(same->valueForKey(QStringLiteral("repartition")), QVariant(QStringLiteral("note")));
    QCOMPARE(EOGenericRecord::fromVariant(same->valueForKey(QStringLiteral("local"))), building);
    // Another code leads elsewhere: the building is read again (here, without context: an error), and until
    // then a list shows none rather than the old building.
    const EORecord moved = refreshed(QStringLiteral("ARC"));
    QVERIFY(!moved->heldValueForKeyPath(QStringLiteral("local.appellation")).isValid());
    QVERIFY(eoExceptionOf([&] { moved->valueForKey(QStringLiteral("local")); }).has_value());
}

void TestEOGenericRecord::variantRoundTrip()
{
    const EORecord room = EOGenericRecord::create(m_salle);
    const QVariant wrapped = EOGenericRecord::toVariant(room);
    QCOMPARE(EOGenericRecord::fromVariant(wrapped).get(), room.get());
    QVERIFY(!EOGenericRecord::fromVariant(QVariant(QStringLiteral("texte"))));
    QVERIFY(!EOGenericRecord::fromVariant(eoNull()));
    QVERIFY(!EOGenericRecord::fromVariant(QVariant()));
}

QTEST_GUILESS_MAIN(TestEOGenericRecord)
#include "tst_eogenericrecord.moc"
