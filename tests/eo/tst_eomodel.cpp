// Model files: a good one is read completely, every broken one is refused with a message that says which
// file and which entity, and the application's own model holds every entity the program reads.

#include "EOEntity.h"
#include "EOException.h"
#include "EOModel.h"
#include "EONull.h"
#include "EOQualifier.h"
#include "EOSQLDialect.h"
#include "EOSQLExpression.h"
#include "EOSQLQualifier.h"
#include "EOTestModel.h"
#include "EOTestSupport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <tuple>

using namespace eo;

namespace
{

// A valid two-entity model, as JSON text, that each broken case spoils in one place.
QJsonObject baseModel()
{
    return QJsonDocument::fromJson(R"json({
  "name": "Base",
  "entities": [
    {"name": "Salle", "externalName": "SALLE", "primaryKey": ["salNumero"],
     "attributes": [
       {"name": "salNumero", "column": "SAL_NUMERO", "type": "number"},
       {"name": "cLocal", "column": "C_LOCAL", "type": "text"},
       {"name": "nomLocal", "definition": "local.appellation"}
     ],
     "relationships": [
       {"name": "local", "destination": "Local", "joins": [{"source": "cLocal", "destination": "cLocal"}]}
     ]},
    {"name": "Local", "externalName": "LOCAL", "primaryKey": ["cLocal"],
     "attributes": [
       {"name": "cLocal", "column": "C_LOCAL", "type": "text"},
       {"name": "appellation", "column": "APPELLATION", "type": "text"}
     ],
     "relationships": [
       {"name": "salles", "destination": "Salle", "toMany": true,
        "joins": [{"source": "cLocal", "destination": "cLocal"}]}
     ]}
  ]
})json")
        .object();
}

QJsonObject entityAt(const QJsonObject &model, int index)
{
    return model.value(QLatin1String("entities")).toArray().at(index).toObject();
}

QJsonObject withEntity(QJsonObject model, int index, const QJsonObject &entity)
{
    QJsonArray entities = model.value(QLatin1String("entities")).toArray();
    entities[index] = entity;
    model.insert(QLatin1String("entities"), entities);
    return model;
}

// The model with one member of an entity's array (attributes, relationships) replaced.
QJsonObject withMember(const QJsonObject &model, int entity, const char *array, int index,
                       const QJsonObject &value)
{
    QJsonObject e = entityAt(model, entity);
    QJsonArray members = e.value(QLatin1String(array)).toArray();
    if (index < members.size())
        members[index] = value;
    else
        members.append(value);
    e.insert(QLatin1String(array), members);
    return withEntity(model, entity, e);
}

QByteArray text(const QJsonObject &model)
{
    return QJsonDocument(model).toJson();
}

QJsonObject attribute(const QString &name, const QString &column,
                      const QString &type = QStringLiteral("text"))
{
    return QJsonObject{{"name", name}, {"column", column}, {"type", type}};
}

QJsonObject flattened(const QString &name, const QString &definition)
{
    return QJsonObject{{"name", name}, {"definition", definition}};
}

QJsonObject relationship(const QString &name, const QString &destination, const QString &source,
                         const QString &target)
{
    return QJsonObject{{"name", name},
                       {"destination", destination},
                       {"joins", QJsonArray{QJsonObject{{"source", source}, {"destination", target}}}}};
}

QString resourcesDirectory()
{
    const QString fromEnvironment = qEnvironmentVariable("LOCAVIA_RESOURCES");
    return fromEnvironment.isEmpty() ? QStringLiteral(LOCAVIA_SOURCE_RESOURCES) : fromEnvironment;
}

} // namespace

class TestEOModel : public QObject
{
    Q_OBJECT

private slots:
    void readsAGoodModel();
    void readsStoredProcedures();
    void malformedJson_data();
    void malformedJson();
    void brokenModels_data();
    void brokenModels();
    void errorsNameTheFile();
    void missingFile();
    void applicationModelHasTheCatalogue();
};

void TestEOModel::readsAGoodModel()
{
    const auto model = makeTestModel();
    QCOMPARE(model->name(), QStringLiteral("Essai"));
    QCOMPARE(model->entityNames(), (QStringList{"Salle", "Local", "Adresse", "TypeSalle", "Prise"}));
    QCOMPARE(model->connectionDictionary().value(QStringLiteral("URL")).toString(),
             QStringLiteral("sqlite:///nowhere/essai.db"));
    QVERIFY(!model->entityNamed(QStringLiteral("Inconnue")));
    const auto error = eoExceptionOf([&] { model->entity(QStringLiteral("Inconnue")); });
    QVERIFY(error.has_value());
    QCOMPARE(error->kind(), EOException::Kind::Model);
    QVERIFY(error->message().contains(QStringLiteral("Inconnue")));

    const EOEntity &salle = model->entity(QStringLiteral("Salle"));
    QCOMPARE(salle.externalName, QStringLiteral("SALLE"));
    QCOMPARE(salle.model(), model.get());
    QCOMPARE(salle.attributeIndex(QStringLiteral("salNumero")), 0);
    QCOMPARE(salle.attributeIndex(QStringLiteral("inconnu")), -1);
    QCOMPARE(salle.primaryKeyIndexes(), QList<int>{0});
    const EOAttribute *capacity = salle.attributeNamed(QStringLiteral("salCapacite"));
    QVERIFY(capacity);
    QCOMPARE(capacity->columnName, QStringLiteral("SAL_CAPACITE"));
    QCOMPARE(capacity->type, EOAttribute::Type::Number);
    QCOMPARE(salle.attributeNamed(QStringLiteral("cLocal"))->width, 3);
    QCOMPARE(salle.attributeNamed(QStringLiteral("salSuperficie"))->type, EOAttribute::Type::Decimal);
    QCOMPARE(salle.attributeNamed(QStringLiteral("salReservable"))->type, EOAttribute::Type::Flag);

    // Flattened attributes take the type and width of what they reach.
    const EOAttribute *town = salle.attributeNamed(QStringLiteral("villeSalle"));
    QVERIFY(town && town->isFlattened());
    QCOMPARE(town->definition, QStringLiteral("local.toAdresse.ville"));
    QCOMPARE(town->type, EOAttribute::Type::Text);

    const EORelationship *local = salle.relationshipNamed(QStringLiteral("local"));
    QVERIFY(local);
    QVERIFY(!local->toMany);
    QCOMPARE(local->destination, model->entityNamed(QStringLiteral("Local")));
    QCOMPARE(local->joins.size(), 1);
    QCOMPARE(local->joins.first().sourceAttribute, QStringLiteral("cLocal"));
    const EORelationship *outlets = salle.relationshipNamed(QStringLiteral("prises"));
    QVERIFY(outlets && outlets->toMany);
    QCOMPARE(outlets->destination->name, QStringLiteral("Prise"));
}

void TestEOModel::readsStoredProcedures()
{
    const auto model = EOModel::modelWithJson(R"json({"name": "Proc", "entities": [],
        "storedProcedures": [
          {"name": "insUnite", "externalName": "INS_UNITE", "arguments": [
             {"name": "uniabrev", "type": "text", "width": 5},
             {"name": "unilibelle", "type": "text", "width": 50},
             {"name": "uniordre", "type": "number", "direction": "out"}]},
          {"name": "delUnite", "arguments": [{"name": "uniordre", "type": "number"}]}]})json",
                                              QStringLiteral("proc.json"));
    QCOMPARE(model->storedProcedureNames(), (QStringList{"delUnite", "insUnite"}));
    const EOStoredProcedure *insert = model->storedProcedureNamed(QStringLiteral("insUnite"));
    QVERIFY(insert);
    QCOMPARE(insert->externalName, QStringLiteral("INS_UNITE"));
    QCOMPARE(insert->arguments.size(), 3);
    QCOMPARE(insert->argumentNamed(QStringLiteral("uniabrev"))->width, 5);
    QVERIFY(!insert->argumentNamed(QStringLiteral("uniabrev"))->output);
    QVERIFY(insert->argumentNamed(QStringLiteral("uniordre"))->output);
    QCOMPARE(insert->argumentNamed(QStringLiteral("uniordre"))->type, EOAttribute::Type::Number);
    QVERIFY(!insert->argumentNamed(QStringLiteral("inconnu")));
    // Without an external name, the procedure is called by its own name.
    QCOMPARE(model->storedProcedureNamed(QStringLiteral("delUnite"))->externalName,
             QStringLiteral("delUnite"));
    QVERIFY(!model->storedProcedureNamed(QStringLiteral("majUnite")));
}

void TestEOModel::malformedJson_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::newRow("cut short") << QByteArray(R"({"name": "Locavia", "entities": [)");
    QTest::newRow("trailing comma") << QByteArray(R"({"name": "Locavia",})");
    QTest::newRow("not an object") << QByteArray(R"([{"name": "Locavia"}])");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("binary") << QByteArray("\x00\x01\x02\xff", 4);
}

void TestEOModel::malformedJson()
{
    QFETCH(QByteArray, json);
    const auto error =
        eoExceptionOf([&] { EOModel::modelWithJson(json, QStringLiteral("modèle-cassé.json")); });
    QVERIFY(error.has_value());
    QCOMPARE(error->kind(), EOException::Kind::Model);
    QVERIFY2(error->message().startsWith(
                 QStringLiteral("Le fichier de modèle « modèle-cassé.json » est invalide")),
             qPrintable(error->message()));
}

void TestEOModel::brokenModels_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QStringList>("named"); // what the message must name besides the file

    const QJsonObject base = baseModel();
    QVERIFY(!base.isEmpty());
    QJsonObject model = base;
    model.remove(QLatin1String("name"));
    QTest::newRow("model without name") << text(model) << QStringList{};

    QTest::newRow("unknown destination")
        << text(
               withMember(base, 0, "relationships", 0, relationship("local", "Batiment", "cLocal", "cLocal")))
        << QStringList{"Salle", "local", "Batiment"};
    QTest::newRow("join on an unknown source attribute")
        << text(
               withMember(base, 0, "relationships", 0, relationship("local", "Local", "codeLocal", "cLocal")))
        << QStringList{"Salle", "local"};
    QTest::newRow("join on an unknown destination attribute")
        << text(withMember(base, 0, "relationships", 0, relationship("local", "Local", "cLocal", "code")))
        << QStringList{"Salle", "local"};
    QJsonObject noJoin{{"name", "local"}, {"destination", "Local"}, {"joins", QJsonArray{}}};
    QTest::newRow("relationship without join")
        << text(withMember(base, 0, "relationships", 0, noJoin)) << QStringList{"Salle", "local"};

    for (const char *definition : {"local.inconnu", "inconnu.appellation", "local", "local.", ".appellation",
                                   "salNumero.appellation"}) {
        QTest::addRow("flattened definition '%s'", definition)
            << text(withMember(base, 0, "attributes", 2,
                               flattened("nomLocal", QString::fromLatin1(definition))))
            << QStringList{"Salle", "nomLocal"};
    }
    QTest::newRow("flattened through a to-many relationship")
        << text(withMember(base, 1, "attributes", 2, flattened("numeros", "salles.salNumero")))
        << QStringList{"Local", "numeros"};
    QTest::newRow("flattened onto a flattened attribute")
        << text(withMember(base, 0, "attributes", 3, flattened("autre", "nomLocal")))
        << QStringList{"Salle", "autre"};

    QJsonObject twice = base;
    QJsonArray entities = twice.value(QLatin1String("entities")).toArray();
    QJsonObject again = entityAt(base, 1);
    again.insert(QLatin1String("externalName"), QStringLiteral("LOCAL2"));
    entities.append(again);
    twice.insert(QLatin1String("entities"), entities);
    QTest::newRow("entity declared twice") << text(twice) << QStringList{"Local"};

    QTest::newRow("attribute declared twice")
        << text(withMember(base, 1, "attributes", 1, attribute("cLocal", "C_LOCAL_BIS")))
        << QStringList{"Local", "cLocal"};
    QJsonObject badKey = entityAt(base, 1);
    badKey.insert(QLatin1String("primaryKey"), QJsonArray{"codeLocal"});
    QTest::newRow("primary key not an attribute")
        << text(withEntity(base, 1, badKey)) << QStringList{"Local", "codeLocal"};
    QTest::newRow("unknown type") << text(withMember(base, 1, "attributes", 1,
                                                     attribute("appellation", "APP", "texte")))
                                  << QStringList{"Local", "appellation", "texte"};
    QTest::newRow("attribute without column")
        << text(withMember(base, 1, "attributes", 1, QJsonObject{{"name", "appellation"}, {"type", "text"}}))
        << QStringList{"Local", "appellation"};
    QJsonObject noTable = entityAt(base, 1);
    noTable.remove(QLatin1String("externalName"));
    QTest::newRow("entity without table") << text(withEntity(base, 1, noTable)) << QStringList{"Local"};
}

void TestEOModel::brokenModels()
{
    QFETCH(QByteArray, json);
    QFETCH(QStringList, named);

    const auto error =
        eoExceptionOf([&] { EOModel::modelWithJson(json, QStringLiteral("locavia-essai.json")); });
    QVERIFY2(error.has_value(), "the broken model was accepted");
    QCOMPARE(error->kind(), EOException::Kind::Model);
    QVERIFY2(error->message().startsWith(
                 QStringLiteral("Le fichier de modèle « locavia-essai.json » est invalide")),
             qPrintable(error->message()));
    for (const QString &name : named)
        QVERIFY2(error->message().contains(name),
                 qPrintable(error->message() + QStringLiteral(" / ") + name));
}

void TestEOModel::errorsNameTheFile()
{
    // Whatever the fault, the message leads to the file on disk, not only to the model's name.
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QJsonObject base = baseModel();
    const QList<QByteArray> contents{
        "{ \"name\": ",
        text(withMember(base, 0, "relationships", 0, relationship("local", "Batiment", "cLocal", "cLocal"))),
        text(withMember(base, 0, "attributes", 2, flattened("nomLocal", "local.inconnu"))),
    };
    for (qsizetype i = 0; i < contents.size(); ++i) {
        const QString path = directory.filePath(QStringLiteral("Modele%1.json").arg(i));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents.at(i));
        file.close();
        const auto error = eoExceptionOf([&] { EOModel::modelWithContentsOfFile(path); });
        QVERIFY(error.has_value());
        QCOMPARE(error->kind(), EOException::Kind::Model);
        QVERIFY2(error->message().contains(path), qPrintable(error->message()));
    }

    // And a good file remembers where it came from.
    const QString good = directory.filePath(QStringLiteral("Bon.json"));
    QFile file(good);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text(base));
    file.close();
    QCOMPARE(EOModel::modelWithContentsOfFile(good)->path(), good);
}

void TestEOModel::missingFile()
{
    const QString path = QDir::temp().filePath(
        QStringLiteral("absent-%1/Locavia.json").arg(QCoreApplication::applicationPid()));
    const auto error = eoExceptionOf([&] { EOModel::modelWithContentsOfFile(path); });
    QVERIFY(error.has_value());
    QCOMPARE(error->kind(), EOException::Kind::Model);
    QVERIFY2(error->message().contains(path), qPrintable(error->message()));
}

void TestEOModel::applicationModelHasTheCatalogue()
{
    const QString path = resourcesDirectory() + QStringLiteral("/models/Locavia.json");
    // The catalogue is part of the program: a missing model file is a failure, not a reason to skip.
    QVERIFY2(QFile::exists(path), qPrintable(QStringLiteral("no model file at %1").arg(path)));
    const auto model = EOModel::modelWithContentsOfFile(path);

    // Entity -> (key attributes, other attributes and key paths the program reads).
    struct Expected {
        QStringList keys;
        QStringList keyPaths;
    };
    const QList<std::pair<QString, Expected>> catalogue{
        {"SallesVix",
         {{"salNumero"},
          {"cLocal",
           "local.appellation",
           "appellation",
           "salEtage",
           "salPorte",
           "salCapacite",
           "salSuperficie",
           "salNbFenetres",
           "salNbTables",
           "salNbChaises",
           "salNbBureaux",
           "salNbArmoires",
           "salNoPoste",
           "salTableau",
           "salTableauBlanc",
           "salTableauPapier",
           "salEcran",
           "salRetro",
           "salTelevision",
           "salObscur",
           "salInsonorisee",
           "salReservable",
           "salDescriptif",
           "salPourAdministration",
           "salPourDocumentation",
           "salPourEnseignement",
           "salPourRecherche",
           "salPourTechnique",
           "salIdentAcces",
           "salNature",
           "toTypeSalle_tsalLibelle",
           "tsalNumero",
           "tavHauteurMoyenPlafond",
           "tavNombrePortes",
           "tavSurfaceVitree",
           "tavVieSocial",
           "tavAccueil",
           "tavSanitaire",
           "tavCirculation",
           "tavRestauration",
           "tavParking",
           "tavSportif",
           "local.toAdresseVix.ville"}}},
        {"SalleTav", {{}, {"salNumero"}}},
        {"TypeSalle", {{"tsalNumero"}, {"tsalLibelle"}}},
        {"LocalVix",
         {{"cLocal"},
          {"appellation", "idAdresseAdmin", "toAdresseVix.adrAdresse1", "toAdresseVix.adrAdresse2",
           "toAdresseVix.codePostal", "toAdresseVix.ville", "toAdresseVix.lcImplantationGeo"}}},
        {"AdresseVix",
         {{"adrOrdre"}, {"adrAdresse1", "adrAdresse2", "codePostal", "ville", "lcImplantationGeo"}}},
        {"ImplantationGeo", {{"cImplantation"}, {"lcImplantationGeo"}}},
        {"DepositaireVix", {{}, {"salNumero", "cStructure"}}},
        {"RepartBureauVix", {{}, {"burOrdre"}}},
        {"StructureZebVix", {{"cStructure"}, {"lcStructure", "llStructure", "perelcStructure"}}},
        {"ServiceVix", {{}, {"cStructure", "llStructure"}}},
        {"RepartStructIndVix", {{}, {"persId", "cStructure"}}},
        {"RepartCompteVix", {{}, {"cptLogin", "persId"}}},
        {"TypeOccupation", {{"tocOrdre"}, {"tocLibelle"}}},
        {"DetailPourcentage",
         {{},
          {"salNumero", "detType", "detPourcentage", "cStructure", "tocLibelle", "cgrLibelle",
           "structureZebVix.lcStructure"}}},
        {"TypeMateriel",
         {{"tavType"},
          {"tavLibelle", "tavNiveau", "tavPere", "pereLibelle", "tavUniteOrdre", "toUnite_uniAbrev"}}},
        {"Unite", {{"uniOrdre"}, {"uniAbrev"}}},
        {"DetailSalle",
         {{},
          {"salNumero", "tavType", "dsaPourcentage", "uniOrdre", "tavPere", "pereLibelle", "tavLibelle",
           "uniAbrev"}}},
        {"Prises", {{"priOrdre"}, {"salNumero", "priCode", "priType"}}},
        {"Configuration", {{}, {"salNumero"}}},
        {"Parametres", {{}, {"paramKey", "paramValue"}}},
        {"SolmaParametres", {{}, {"paramKey", "paramValue"}}},
    };
    const EOSQLiteDialect dialect;
    for (const auto &[name, expected] : catalogue) {
        const EOEntity *entity = model->entityNamed(name);
        QVERIFY2(entity, qPrintable(QStringLiteral("entity %1 is missing").arg(name)));
        QVERIFY2(!entity->externalName.isEmpty(), qPrintable(name));
        for (const QString &key : expected.keys) {
            QVERIFY2(entity->attributeNamed(key), qPrintable(name + QLatin1Char('.') + key));
            QVERIFY2(entity->primaryKeyAttributeNames.contains(key),
                     qPrintable(QStringLiteral("%1 is not in the primary key of %2").arg(key, name)));
        }
        // Every key path reaches a column through to-one relationships.
        EOSQLExpression expression(*entity, dialect);
        for (const QString &keyPath : expected.keyPaths) {
            const auto error = eoExceptionOf([&] { expression.sqlForKeyPath(keyPath); });
            QVERIFY2(!error, qPrintable(name + QLatin1Char('.') + keyPath + QStringLiteral(": ") +
                                        (error ? error->message() : QString())));
        }
    }

    // Every condition the program writes reads on the entity it is used on.
    const EOQualifierPtr groups = EOQualifier::qualifierWithQualifierFormat(
        QStringLiteral("cStructure = '%@'"), {QStringLiteral("S1")});
    const QList<std::tuple<QString, QString, QVariantList>> formats{
        {"SallesVix", "salNumero=%@", {1}},
        {"SallesVix", "salNumero=%d", {1}},
        {"SallesVix", "salEtage=%@", {"1"}},
        {"SallesVix", "salPorte like %@", {"*A*"}},
        {"SallesVix", "salReservable=%@", {"O"}},
        {"SallesVix", "salReservable!=%@", {eoNull()}},
        {"SallesVix", "salReservable='O'", {}},
        {"SallesVix", "salEcran='O' and salRetro='O' and salTelevision='O' and salObscur='O'", {}},
        {"SallesVix", "salInsonorisee='O'", {}},
        {"SallesVix", "local.appellation like %@", {"*S*"}},
        {"SallesVix", "local.appellation=%@ and salReservable!=nil", {"S"}},
        {"SallesVix", "tsalNumero=%@", {1}},
        {"SallesVix", "cLocal=%@", {"SCI"}},
        {"SallesVix", "%@ != %@", {"salDescriptif", eoNull()}},
        {"SallesVix", "%@ = 'O'", {"salEcran"}},
        {"TypeSalle", "tsalLibelle=%@", {"Amphi"}},
        {"TypeSalle", "tsalNumero=%@", {1}},
        {"LocalVix", "appellation = %@", {"S"}},
        {"LocalVix", "cLocal=%@", {"SCI"}},
        {"AdresseVix", "adrOrdre=%@", {1}},
        {"ImplantationGeo", "lcImplantationGeo=%@", {"Campus"}},
        {"RepartBureauVix", "burOrdre=%@", {1}},
        {"DepositaireVix", "cStructure=%@", {"S1"}},
        {"DepositaireVix", "salNumero=%@", {1}},
        {"StructureZebVix", "cStructure = '%@'", {"S1"}},
        {"StructureZebVix", "lcStructure='DEPOS'", {}},
        {"RepartStructIndVix", "persId = %@ and (%@)", {1, QVariant::fromValue(groups)}},
        {"RepartCompteVix", "cptLogin = '%@'", {"jdupont"}},
        {"TypeOccupation", "tocLibelle=%@", {"Cours"}},
        {"Unite", "uniAbrev=%@", {"m"}},
        {"TypeMateriel", "tavNiveau=1", {}},
        {"TypeMateriel", "tavNiveau=2 and tavPere=%@", {1}},
        {"TypeMateriel", "tavPere=%@", {1}},
        {"DetailSalle", "salNumero=%@", {1}},
        {"DetailPourcentage", "salNumero=%@", {1}},
        {"Prises", "salNumero=%@", {1}},
        {"Configuration", "salNumero=%@", {1}},
        {"SalleTav", "salNumero=%@", {1}},
        {"Parametres", "paramKey = '%@'", {"K"}},
        {"Parametres", "paramKey = '%@_DEFAULT_STRING'", {"K"}},
        {"Parametres", "paramKey = '%@_DEFAULT_NUMBER'", {"K"}},
        {"SolmaParametres", "paramKey = '%@'", {"K"}},
    };
    const EOPostgreSQLDialect server;
    for (const auto &[name, format, arguments] : formats) {
        for (const EOSQLDialect *each :
             {static_cast<const EOSQLDialect *>(&dialect), static_cast<const EOSQLDialect *>(&server)}) {
            EOSQLExpression expression(model->entity(name), *each);
            QString sql;
            const auto error = eoExceptionOf([&] {
                EOQualifier::qualifierWithQualifierFormat(format, arguments)->appendSql(expression, sql);
            });
            QVERIFY2(!error, qPrintable(name + QStringLiteral(" ") + format + QStringLiteral(": ") +
                                        (error ? error->message() : QString())));
            QVERIFY(!sql.isEmpty());
        }
    }

    const EOEntity &rooms = model->entity(QStringLiteral("SallesVix"));
    const EORelationship *uses = rooms.relationshipNamed(QStringLiteral("detailPourcentages"));
    QVERIFY(uses && uses->toMany);
    QCOMPARE(uses->destination, model->entityNamed(QStringLiteral("DetailPourcentage")));
    const EORelationship *building = rooms.relationshipNamed(QStringLiteral("local"));
    QVERIFY(building && !building->toMany);
    QCOMPARE(building->destination, model->entityNamed(QStringLiteral("LocalVix")));

    // The columns that the room search names in its raw conditions.
    QStringList columns;
    for (const EOAttribute &attribute : rooms.attributes())
        columns.append(attribute.columnName);
    for (const char *column :
         {"SAL_CAPACITE",           "SAL_SUPERFICIE",        "SAL_NB_FENETRES",    "SAL_NB_TABLES",
          "SAL_NB_CHAISES",         "SAL_NB_BUREAUX",        "SAL_NB_ARMOIRES",    "SAL_POUR_ADMINISTRATION",
          "SAL_POUR_DOCUMENTATION", "SAL_POUR_ENSEIGNEMENT", "SAL_POUR_RECHERCHE", "SAL_POUR_TECHNIQUE",
          "SAL_DESCRIPTIF",         "SAL_NO_POSTE",          "SAL_TABLEAU",        "SAL_TABLEAU_BLANC",
          "SAL_TABLEAU_PAPIER",     "TAV_ACCUEIL",           "TAV_CIRCULATION",    "TAV_PARKING",
          "TAV_RESTAURATION",       "TAV_SANITAIRE",         "TAV_SPORTIF",        "TAV_VIE_SOCIAL"}) {
        QVERIFY2(columns.contains(QLatin1String(column)), column);
    }

    const QStringList procedures = model->storedProcedureNames();
    for (const char *procedure :
         {"insSalle", "majSalles", "delSalles", "insSalleTav", "updSalleTav", "insDetailSalle",
          "delDetailSalle", "insDetailPourcentage", "delDetailPourcentage", "insPrises", "updPrises",
          "delPrises", "insLocal", "majLocal", "corresSalle", "insTypeMat", "delTypeMat", "insUnite",
          "delUnite"}) {
        QVERIFY2(procedures.contains(QLatin1String(procedure)), procedure);
    }
}

QTEST_GUILESS_MAIN(TestEOModel)
#include "tst_eomodel.moc"
