// The stored procedures, called through the data bus as the controllers call them, on the embedded database
// and on the server (the whole class runs once per backend): what each one writes, and the French message of
// each refusal (shown in the "ERREUR..." alert), with nothing written when it refuses.

#include "BackendTestCase.h"
#include "EOHiddenCharacter.h"
#include "EONull.h"
#include "KORTextCheck.h"
#include "TestDatabase.h"

#include <QCoreApplication>
#include <QTest>
#include <memory>

namespace
{

const QVariant null = eo::eoNull();

QVariantMap merged(QVariantMap arguments, const QVariantMap &overrides)
{
    for (auto it = overrides.constBegin(); it != overrides.constEnd(); ++it)
        arguments.insert(it.key(), it.value());
    return arguments;
}

QVariantMap buildingArguments(const QString &code, const QString &name, const QVariantMap &overrides = {})
{
    return merged({{"adradresse1", "1 AVENUE DE L'UNIVERSITÉ"},
                   {"adradresse2", ""},
                   {"adrbp", ""},
                   {"adrcp", "64000"},
                   {"adrlisteRouge", "O"},
                   {"adrnation", "100"},
                   {"adrnom", name},
                   {"adrqualite", "BATIMENT"},
                   {"adrville", "PAU"},
                   {"batabrev", code},
                   {"insBisTer", ""},
                   {"insCImplantation", "PAU"},
                   {"insCVoie", ""},
                   {"insCpEtranger", ""},
                   {"insLocalite", "PAU"},
                   {"insNoVoie", ""},
                   {"insNomVoie", ""}},
                  overrides);
}

QVariantMap buildingUpdate(const QString &oldCode, const QString &code, const QString &name,
                           const QVariantMap &overrides = {})
{
    return merged({{"adradresse1", "2 RUE NEUVE"},
                   {"adradresse2", "ESCALIER B"},
                   {"adrbp", ""},
                   {"adrcp", "64100"},
                   {"adrnom", name},
                   {"adrville", "BAYONNE"},
                   {"batabrev", code},
                   {"majNoVoie", ""},
                   {"majBisTer", ""},
                   {"majCVoie", ""},
                   {"majNomVoie", ""},
                   {"majLocalite", "BAYONNE"},
                   {"majCPays", "100"},
                   {"majCpEtranger", ""},
                   {"majCImplantation", ""},
                   {"majAdrListeRouge", "O"},
                   {"oldCLocal", oldCode}},
                  overrides);
}

// The arguments of majSalles that correspond to TestDatabase::roomArguments.
QVariantMap roomUpdate(const QVariant &room, const QVariantMap &overrides = {})
{
    QVariantMap arguments;
    const QVariantMap creation =
        TestDatabase::roomArguments(QStringLiteral("ABC"), QStringLiteral("1"), QStringLiteral("A12"));
    for (auto it = creation.constBegin(); it != creation.constEnd(); ++it) {
        QString key = it.key();
        if (key == u"insCStructure")
            key = QStringLiteral("grpOrdre");
        else if (key == u"insCLocal")
            key = QStringLiteral("clocal");
        else if (key == u"insSalNumDepart")
            key = QStringLiteral("majSalSalleNumDepart");
        else if (key.startsWith(u"insSal"))
            key.replace(0, 6, QStringLiteral("majSal"));
        arguments.insert(key, it.value());
    }
    arguments.insert(QStringLiteral("salNumero"), room);
    return merged(arguments, overrides);
}

QVariantMap complement(const QVariant &room, const QVariantMap &overrides = {})
{
    return merged({{"salnumero", room},
                   {"tavhauteurMoyenPlafond", "2.80"},
                   {"tavnombrePortes", 2},
                   {"tavsurfaceVitree", "4.25"},
                   {"tavaccueil", "5"},
                   {"tavcirculation", null},
                   {"tavrestauration", null},
                   {"tavparking", null},
                   {"tavvieSocial", "2.50"},
                   {"tavsportif", null},
                   {"tavsanitaire", null}},
                  overrides);
}

} // namespace

class TestStoredProcedures : public BackendTestCase
{
    Q_OBJECT

private:
    // The message of the refusal, "" when the procedure accepted the call.
    QString refusal(const QString &procedure, const QVariantMap &arguments)
    {
        db->takeAlerts();
        if (db->dataBus().executeProcedure(procedure, arguments))
            return QString();
        const QList<TestDatabase::Alert> alerts = db->takeAlerts();
        return alerts.isEmpty() ? QStringLiteral("<refus sans alerte>") : alerts.last().message;
    }
    QVariantMap accepted(const QString &procedure, const QVariantMap &arguments)
    {
        QVariantMap result;
        db->takeAlerts();
        const bool ok = db->dataBus().executeProcedure(result, procedure, arguments);
        const QList<TestDatabase::Alert> alerts = db->takeAlerts();
        if (!ok)
            qWarning("%s: %s", qPrintable(procedure),
                     qPrintable(alerts.isEmpty() ? QString() : alerts.last().message));
        return ok ? result : QVariantMap{{QStringLiteral("<refusé>"), true}};
    }
    int count(const QString &sql, const QVariantList &bindings = {})
    {
        return db->scalar(sql, bindings).toInt();
    }
    QVariant value(const QString &sql, const QVariantList &bindings = {})
    {
        return db->scalar(sql, bindings);
    }
    qint64 room(const QString &door, const QVariantMap &overrides = {})
    {
        return db->addRoom(QStringLiteral("ABC"), QStringLiteral("1"), door, overrides);
    }

    void prepare() override
    {
        QCOMPARE(db->addBuilding(QStringLiteral("ABC"), QStringLiteral("BATIMENT ALPHA")),
                 QStringLiteral("ABC"));
        // An address that belongs to no building, so that address keys and building row numbers differ.
        db->exec(QStringLiteral("INSERT INTO SOLMA.ADRESSE (VILLE) VALUES ('AILLEURS')"));
    }

private slots:

    void insSalleAnswersTheNewRoomAndItsCustodian()
    {
        const qint64 first = room(QStringLiteral("A11"));
        QVERIFY(first > 0);
        // The custodian row is inserted after the room: the key returned must still be the room's.
        const qint64 second = room(QStringLiteral("A12"), {{"insCStructure", "G1"}});
        QCOMPARE(second, first + 1);
        QCOMPARE(value("SELECT SAL_PORTE FROM SOLMA.SALLES WHERE SAL_NUMERO = ?", {second}).toString(),
                 QStringLiteral("A12"));
        QCOMPARE(value("SELECT C_STRUCTURE FROM SOLMA.DEPOSITAIRE WHERE SAL_NUMERO = ?", {second}).toString(),
                 QStringLiteral("G1"));
        QCOMPARE(count("SELECT COUNT(*) FROM SOLMA.DEPOSITAIRE WHERE SAL_NUMERO = ?", {first}), 0);
        // Empty texts are stored as NULL; the view shows the building's name and the type's label.
        const QList<QVariantMap> rows = db->dataBus().executeSQLQuery(
            QStringLiteral(
                "SELECT APPELLATION, TSAL_LIBELLE, SAL_IDENT_ACCES, SAL_SUPERFICIE, SAL_POUR_ENSEIGNEMENT "
                "FROM SALLES_VIX WHERE SAL_NUMERO = ?"),
            {second});
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().value("Attribute0").toString(), QStringLiteral("BATIMENT ALPHA"));
        QCOMPARE(rows.first().value("Attribute1").toString(), QStringLiteral("Salle de cours"));
        QVERIFY(eo::isNullOrNone(rows.first().value("Attribute2")));
        QCOMPARE(rows.first().value("Attribute3").toDouble(), 35.5);
        QCOMPARE(rows.first().value("Attribute4").toInt(), 80);
    }

    void insSalleRefuses_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("message");

        QTest::newRow("no building") << "insCLocal" << QVariant("") << "Le code du bâtiment est obligatoire.";
        QTest::newRow("unknown building")
            << "insCLocal" << QVariant("ZZZ") << "Le bâtiment « ZZZ » n'existe pas.";
        QTest::newRow("building code too long")
            << "insCLocal" << QVariant("ABCD") << "Le code du bâtiment dépasse 3 caractères.";
        QTest::newRow("no type") << "tsalNumero" << null << "Le type de salle est obligatoire.";
        QTest::newRow("unknown type") << "tsalNumero" << QVariant(12) << "Le type de salle 12 n'existe pas.";
        QTest::newRow("no floor") << "salEtage" << QVariant("") << "L'étage est obligatoire.";
        QTest::newRow("floor too long")
            << "salEtage" << QVariant("1234567890") << "L'étage dépasse 9 caractères.";
        QTest::newRow("no door") << "salPorte" << QVariant("") << "Le numéro de porte est obligatoire.";
        QTest::newRow("door too long")
            << "salPorte" << QVariant("A1234567890") << "Le numéro de porte dépasse 10 caractères.";
        QTest::newRow("description too long")
            << "salDescriptif" << QVariant(QString(210, u'é')) << "Le descriptif dépasse 209 caractères.";
        QTest::newRow("negative places") << "salCapacite" << QVariant(-1)
                                         << "Le nombre de places doit être un nombre entier positif ou nul.";
        QTest::newRow("places with a fraction")
            << "salCapacite" << QVariant("2.5")
            << "Le nombre de places doit être un nombre entier positif ou nul.";
        QTest::newRow("places not a number")
            << "salCapacite" << QVariant("abc")
            << "Le nombre de places doit être un nombre entier positif ou nul.";
        // What an INTEGER column of the server cannot hold is refused by both databases alike.
        QTest::newRow("places beyond an integer column")
            << "salCapacite" << QVariant("2147483648")
            << "Le nombre de places doit être un nombre entier positif ou nul.";
        QTest::newRow("tables of ten digits")
            << "salNbTables" << QVariant(qint64(9999999999))
            << "Le nombre de tables doit être un nombre entier positif ou nul.";
        QTest::newRow("negative chairs") << "salNbChaises" << QVariant(-3)
                                         << "Le nombre de chaises doit être un nombre entier positif ou nul.";
        QTest::newRow("stations too long")
            << "salNoPoste" << QVariant("123456")
            << "Le nombre de postes de travaux pratiques dépasse 5 caractères.";
        QTest::newRow("boards not a number")
            << "salTableau" << QVariant("x")
            << "Le nombre de tableaux noirs doit être un nombre positif ou nul.";
        QTest::newRow("negative surface")
            << "salSuperficie" << QVariant("-1") << "La superficie doit être un nombre positif ou nul.";
        QTest::newRow("surface of 309 digits")
            << "salSuperficie" << QVariant(QStringLiteral("1") + QString(308, u'0'))
            << "La superficie doit être un nombre positif ou nul.";
        QTest::newRow("surface as an exponent")
            << "salSuperficie" << QVariant("1e400") << "La superficie doit être un nombre positif ou nul.";
        QTest::newRow("percentage over 100")
            << "salPourEnseignement" << QVariant("100.01")
            << "Le pourcentage « enseignement » doit être un nombre compris entre 0 et 100.";
        QTest::newRow("negative percentage")
            << "salPourTechnique" << QVariant(-1)
            << "Le pourcentage « technique » doit être un nombre compris entre 0 et 100.";
        QTest::newRow("flag neither O nor N")
            << "salEcran" << QVariant("X") << "L'indicateur « écran » doit valoir O ou N.";
        QTest::newRow("flag in lower case")
            << "salReservable" << QVariant("o") << "L'indicateur « réservable » doit valoir O ou N.";
        QTest::newRow("unknown custodian")
            << "insCStructure" << QVariant("NOPE") << "Le groupe dépositaire « NOPE » n'existe pas.";
        QTest::newRow("custodian code too long") << "insCStructure" << QVariant("ABCDEFGHIJK")
                                                 << "Le code du groupe dépositaire dépasse 10 caractères.";
    }
    void insSalleRefuses()
    {
        QFETCH(QString, argument);
        QFETCH(QVariant, value);
        QFETCH(QString, message);
        const QVariantMap arguments = merged(
            TestDatabase::roomArguments(QStringLiteral("ABC"), QStringLiteral("1"), QStringLiteral("A12")),
            {{argument, value}});
        QCOMPARE(refusal(QStringLiteral("insSalle"), arguments), message);
        QCOMPARE(count("SELECT COUNT(*) FROM SOLMA.SALLES"), 0);
    }

    void insSalleAcceptsTheLimits()
    {
        QVERIFY(room(QString(10, u'A'), {{"salEtage", QString(9, u'9')},
                                         {"salDescriptif", QString(209, u'é')},
                                         {"salPourEnseignement", "100"},
                                         {"salPourRecherche", "0"},
                                         {"salCapacite", null},
                                         {"salNbChaises", "2147483647"},
                                         {"salSuperficie", QStringLiteral("9") + QString(300, u'9')},
                                         {"salNoPoste", "12.00"},
                                         {"salReservable", null}}) > 0);
    }

    void majSallesUpdatesAndReplacesTheCustodian()
    {
        const qint64 id = room(QStringLiteral("A12"), {{"insCStructure", "G1"}});
        QCOMPARE(refusal("majSalles", roomUpdate(id, {{"grpOrdre", ""},
                                                      {"salEtage", "RDC"},
                                                      {"salPorte", "B104"},
                                                      {"salCapacite", "30"},
                                                      {"salReservable", "N"}})),
                 QString());
        QCOMPARE(value("SELECT SAL_ETAGE || '/' || SAL_PORTE || '/' || SAL_CAPACITE || '/' || SAL_RESERVABLE "
                       "FROM SOLMA.SALLES WHERE SAL_NUMERO = ?",
                       {id})
                     .toString(),
                 QStringLiteral("RDC/B104/30/N"));
        QCOMPARE(count("SELECT COUNT(*) FROM SOLMA.DEPOSITAIRE WHERE SAL_NUMERO = ?", {id}), 0);
        QCOMPARE(refusal("majSalles", roomUpdate(id, {{"grpOrdre", "SCI"}})), QString());
        QCOMPARE(refusal("majSalles", roomUpdate(id, {{"grpOrdre", "G1"}})), QString());
        QCOMPARE(count("SELECT COUNT(*) FROM SOLMA.DEPOSITAIRE WHERE SAL_NUMERO = ?", {id}), 1);
        QCOMPARE(value("SELECT C_STRUCTURE FROM SOLMA.DEPOSITAIRE WHERE SAL_NUMERO = ?", {id}).toString(),
                 QStringLiteral("G1"));
    }

    void majSallesKeepsWhatTheRoomTabDoesNotKnow()
    {
        const qint64 id = room(QStringLiteral("A12"));
        db->exec(QStringLiteral("UPDATE SOLMA.SALLES SET SAL_CAPA_EXAM = 12, SAL_TEM_HANDICAP = 'O'"));
        QCOMPARE(refusal("majSalles", roomUpdate(id)), QString());
        QCOMPARE(value("SELECT SAL_CAPA_EXAM || SAL_TEM_HANDICAP FROM SOLMA.SALLES").toString(),
                 QStringLiteral("12O"));
        QCOMPARE(refusal("majSalles", roomUpdate(id, {{"majSalCapaExam", 15}})), QString());
        QCOMPARE(value("SELECT SAL_CAPA_EXAM FROM SOLMA.SALLES").toInt(), 15);
    }

    void majSallesRefuses()
    {
        const qint64 id = room(QStringLiteral("A12"));
        QCOMPARE(refusal("majSalles", roomUpdate(9999)), QStringLiteral("La salle 9999 n'existe pas."));
        QCOMPARE(refusal("majSalles", roomUpdate(null)),
                 QStringLiteral("Le numéro de salle est obligatoire."));
        QCOMPARE(refusal("majSalles", roomUpdate(id, {{"tsalNumero", 12}})),
                 QStringLiteral("Le type de salle 12 n'existe pas."));
        QCOMPARE(refusal("majSalles", roomUpdate(id, {{"salEtage", ""}, {"salPorte", "Z9"}})),
                 QStringLiteral("L'étage est obligatoire."));
        QCOMPARE(refusal("majSalles", roomUpdate(id, {{"clocal", "ZZZ"}})),
                 QStringLiteral("Le bâtiment « ZZZ » n'existe pas."));
        QCOMPARE(value("SELECT SAL_PORTE FROM SOLMA.SALLES WHERE SAL_NUMERO = ?", {id}).toString(),
                 QStringLiteral("A12"));
    }

    void departmentComplement()
    {
        const qint64 id = room(QStringLiteral("A12"));
        const qint64 other = room(QStringLiteral("A13"));
        QCOMPARE(refusal("insSalleTav", complement(id)), QString());
        QCOMPARE(
            value("SELECT TAV_HAUTEUR_MOYEN_PLAFOND || '/' || TAV_NOMBRE_PORTES || '/' || TAV_VIE_SOCIAL "
                  "FROM SALLES_VIX WHERE SAL_NUMERO = ?",
                  {id})
                .toString(),
            QStringLiteral("2.8/2/2.5"));
        QCOMPARE(refusal("insSalleTav", complement(id)),
                 QStringLiteral("Les données du service technique de la salle %1 existent déjà.").arg(id));
        QCOMPARE(refusal("insSalleTav", complement(9999)), QStringLiteral("La salle 9999 n'existe pas."));
        QCOMPARE(refusal("insSalleTav", complement(other, {{"tavaccueil", "101"}})),
                 QStringLiteral("Le pourcentage « accueil » doit être un nombre compris entre 0 et 100."));
        QCOMPARE(refusal("insSalleTav", complement(other, {{"tavnombrePortes", "1.5"}})),
                 QStringLiteral("Le nombre de portes doit être un nombre entier positif ou nul."));
        QCOMPARE(refusal("updSalleTav", complement(id, {{"tavparking", "10"}, {"tavaccueil", null}})),
                 QString());
        QCOMPARE(value("SELECT TAV_PARKING || '/' || COALESCE(CAST(TAV_ACCUEIL AS TEXT), 'vide') FROM "
                       "SALLE_TAV WHERE "
                       "SAL_NUMERO = ?",
                       {id})
                     .toString(),
                 QStringLiteral("10/vide"));
        // Updating a complement that does not exist is a failure, not a silent success.
        QCOMPARE(
            refusal("updSalleTav", complement(other)),
            QStringLiteral("La salle %1 n'a pas de données du service technique à modifier.").arg(other));
    }

    void equipmentCatalogueAndLines()
    {
        const qint64 id = room(QStringLiteral("A12"));
        const QVariant metre =
            accepted("insUnite", {{"uniabrev", "m"}, {"unilibelle", "mètre"}}).value("uniOrdre");
        const QVariant unit =
            accepted("insUnite", {{"uniabrev", "u"}, {"unilibelle", "unité"}}).value("uniOrdre");
        QVERIFY(metre.toInt() > 0 && unit.toInt() > metre.toInt());
        const QVariant family =
            accepted("insTypeMat",
                     {{"tavlibelle", "Réseau"}, {"tavniveau", 1}, {"tavpere", -1}, {"tavuniteOrdre", -1}})
                .value("tavType");
        const QVariant cable =
            accepted(
                "insTypeMat",
                {{"tavlibelle", "Câble"}, {"tavniveau", 2}, {"tavpere", family}, {"tavuniteOrdre", metre}})
                .value("tavType");
        QVERIFY(family.toInt() > 0 && cable.toInt() > family.toInt());
        QCOMPARE(value("SELECT PERE_LIBELLE FROM V_TYPE_MATERIEL WHERE TAV_TYPE = ?", {cable}).toString(),
                 QStringLiteral("Réseau"));

        QCOMPARE(
            refusal("insDetailSalle",
                    {{"dsapourcentage", 12}, {"salnumero", id}, {"tavtype", cable}, {"uniordre", metre}}),
            QString());
        QCOMPARE(
            value("SELECT PERE_LIBELLE || '/' || TAV_LIBELLE || '/' || UNI_ABREV || '/' || DSA_POURCENTAGE "
                  "FROM V_DETAIL_SALLE WHERE SAL_NUMERO = ?",
                  {id})
                .toString(),
            QStringLiteral("Réseau/Câble/m/12"));
        QCOMPARE(refusal("insDetailSalle",
                         {{"dsapourcentage", 1}, {"salnumero", id}, {"tavtype", cable}, {"uniordre", metre}}),
                 QStringLiteral("Le matériel « Câble » figure déjà dans la salle %1.").arg(id));
        QCOMPARE(
            refusal("insDetailSalle",
                    {{"dsapourcentage", 1}, {"salnumero", id}, {"tavtype", family}, {"uniordre", metre}}),
            QStringLiteral("« Réseau » est une famille de matériel : choisissez un type de cette famille."));
        QCOMPARE(refusal("insDetailSalle",
                         {{"dsapourcentage", -1}, {"salnumero", id}, {"tavtype", 999}, {"uniordre", metre}}),
                 QStringLiteral("Le type de matériel 999 n'existe pas."));

        // What is in use stays.
        QCOMPARE(refusal("delTypeMat", {{"tavordre", family}}),
                 QStringLiteral("La famille « Réseau » contient encore 1 type(s) de matériel : supprimez-les "
                                "d'abord."));
        QCOMPARE(
            refusal("delTypeMat", {{"tavordre", cable}}),
            QStringLiteral("Le type de matériel « Câble » figure dans le matériel de 1 salle(s) : il ne peut "
                           "pas être supprimé."));
        QCOMPARE(
            refusal("delUnite", {{"uniordre", metre}}),
            QStringLiteral("L'unité « m » est utilisée par 1 type(s) de matériel : elle ne peut pas être "
                           "supprimée."));
        // Once free, in the order the equipment window uses: the lines, the type, the family, the unit.
        QCOMPARE(refusal("delDetailSalle", {{"salnumero", id}}), QString());
        QCOMPARE(refusal("delTypeMat", {{"tavordre", cable}}), QString());
        QCOMPARE(refusal("delTypeMat", {{"tavordre", family}}), QString());
        QCOMPARE(refusal("delUnite", {{"uniordre", metre}}), QString());
        QCOMPARE(count("SELECT COUNT(*) FROM TYPE_MATERIEL"), 0);
        QCOMPARE(count("SELECT COUNT(*) FROM UNITE"), 1);
    }

    void catalogueRefuses_data()
    {
        QTest::addColumn<QString>("procedure");
        QTest::addColumn<QVariantMap>("arguments");
        QTest::addColumn<QString>("message");

        QTest::newRow("unit without abbreviation")
            << "insUnite" << QVariantMap{{"uniabrev", ""}, {"unilibelle", "x"}}
            << "L'abréviation de l'unité est obligatoire.";
        QTest::newRow("abbreviation too long")
            << "insUnite" << QVariantMap{{"uniabrev", "abcdef"}, {"unilibelle", "x"}}
            << "L'abréviation de l'unité dépasse 5 caractères.";
        QTest::newRow("abbreviation taken")
            << "insUnite" << QVariantMap{{"uniabrev", "kg"}, {"unilibelle", "x"}}
            << "L'abréviation « kg » est déjà utilisée par une autre unité.";
        QTest::newRow("unit without label")
            << "insUnite" << QVariantMap{{"uniabrev", "g"}, {"unilibelle", null}}
            << "Le libellé de l'unité est obligatoire.";
        QTest::newRow("label too long")
            << "insUnite" << QVariantMap{{"uniabrev", "g"}, {"unilibelle", QString(51, u'x')}}
            << "Le libellé de l'unité dépasse 50 caractères.";
        const QVariantMap type{
            {"tavlibelle", "Switch"}, {"tavniveau", 2}, {"tavpere", 1}, {"tavuniteOrdre", 1}};
        QTest::newRow("type without label")
            << "insTypeMat" << merged(type, {{"tavlibelle", ""}}) << "Le libellé est obligatoire.";
        QTest::newRow("type label too long")
            << "insTypeMat" << merged(type, {{"tavlibelle", QString(51, u'x')}})
            << "Le libellé dépasse 50 caractères.";
        QTest::newRow("third level") << "insTypeMat" << merged(type, {{"tavniveau", 3}})
                                     << "Le niveau doit valoir 1 (famille) ou 2 (type de matériel).";
        QTest::newRow("unknown family")
            << "insTypeMat" << merged(type, {{"tavpere", 999}}) << "La famille de matériel 999 n'existe pas.";
        QTest::newRow("type as family")
            << "insTypeMat" << merged(type, {{"tavpere", 2}}) << "La famille de matériel 2 n'existe pas.";
        QTest::newRow("type without family") << "insTypeMat" << merged(type, {{"tavpere", -1}})
                                             << "La famille du type de matériel est obligatoire.";
        QTest::newRow("type without unit") << "insTypeMat" << merged(type, {{"tavuniteOrdre", null}})
                                           << "L'unité du type de matériel est obligatoire.";
        QTest::newRow("unknown unit")
            << "insTypeMat" << merged(type, {{"tavuniteOrdre", 999}}) << "L'unité 999 n'existe pas.";
        QTest::newRow("family in a family")
            << "insTypeMat" << merged(type, {{"tavniveau", 1}})
            << "Une famille de matériel n'appartient pas à une autre famille.";
        QTest::newRow("unknown type deleted")
            << "delTypeMat" << QVariantMap{{"tavordre", 999}} << "Le type de matériel 999 n'existe pas.";
        QTest::newRow("unknown unit deleted")
            << "delUnite" << QVariantMap{{"uniordre", 999}} << "L'unité 999 n'existe pas.";
    }
    void catalogueRefuses()
    {
        QFETCH(QString, procedure);
        QFETCH(QVariantMap, arguments);
        QFETCH(QString, message);
        // Unit 1 "kg"; family 1 "Mobilier" and its type 2 "Table".
        db->exec(QStringLiteral(
            "INSERT INTO UNITE VALUES (1, 'kg', 'kilogramme');"
            "INSERT INTO TYPE_MATERIEL VALUES (1, 'Mobilier', 1, -1, -1), (2, 'Table', 2, 1, 1);"));
        QCOMPARE(refusal(procedure, arguments), message);
        QCOMPARE(count("SELECT COUNT(*) FROM UNITE"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM TYPE_MATERIEL"), 2);
    }

    void occupationLines()
    {
        const qint64 id = room(QStringLiteral("A12"));
        const QVariantMap line{
            {"detpourcentage", 60}, {"dettype", 1}, {"salnumero", id}, {"cstructure", "SCI"}};
        QCOMPARE(refusal("insDetailPourcentage", line), QString());
        QCOMPARE(refusal("insDetailPourcentage", line), QString()); // the same department and kind again
        QCOMPARE(value("SELECT TOC_LIBELLE || '/' || CGR_LIBELLE || '/' || DET_POURCENTAGE FROM "
                       "V_DETAIL_POURCENTAGE "
                       "WHERE SAL_NUMERO = ? LIMIT 1",
                       {id})
                     .toString(),
                 QStringLiteral("Enseignement/Faculté des sciences/60"));
        const QString percentage =
            QStringLiteral("Le pourcentage d'occupation doit être un nombre entier compris entre 0 et 100.");
        QCOMPARE(refusal("insDetailPourcentage", merged(line, {{"detpourcentage", 101}})), percentage);
        QCOMPARE(refusal("insDetailPourcentage", merged(line, {{"detpourcentage", -1}})), percentage);
        QCOMPARE(refusal("insDetailPourcentage", merged(line, {{"detpourcentage", "12.5"}})), percentage);
        QCOMPARE(refusal("insDetailPourcentage", merged(line, {{"detpourcentage", null}})),
                 QStringLiteral("Le pourcentage d'occupation est obligatoire."));
        QCOMPARE(refusal("insDetailPourcentage", merged(line, {{"dettype", 9}})),
                 QStringLiteral("Le type d'occupation 9 n'existe pas."));
        QCOMPARE(refusal("insDetailPourcentage", merged(line, {{"cstructure", "NOPE"}})),
                 QStringLiteral("Le service « NOPE » n'existe pas."));
        QCOMPARE(refusal("insDetailPourcentage", merged(line, {{"salnumero", 999}})),
                 QStringLiteral("La salle 999 n'existe pas."));
        QCOMPARE(count("SELECT COUNT(*) FROM DETAIL_POURCENTAGE"), 2);
        QCOMPARE(refusal("insDetailPourcentage", merged(line, {{"detpourcentage", 0}})), QString());
        QCOMPARE(refusal("insDetailPourcentage", merged(line, {{"detpourcentage", 100}})), QString());

        const qint64 other = room(QStringLiteral("A13"));
        QCOMPARE(refusal("insDetailPourcentage", merged(line, {{"salnumero", other}})), QString());
        QCOMPARE(refusal("delDetailPourcentage", {{"salnumero", id}}), QString());
        QCOMPARE(count("SELECT COUNT(*) FROM DETAIL_POURCENTAGE WHERE SAL_NUMERO = ?", {id}), 0);
        QCOMPARE(count("SELECT COUNT(*) FROM DETAIL_POURCENTAGE WHERE SAL_NUMERO = ?", {other}), 1);
        QCOMPARE(refusal("delDetailPourcentage", {{"salnumero", 999}}),
                 QStringLiteral("La salle 999 n'existe pas."));
    }

    void outlets()
    {
        const qint64 id = room(QStringLiteral("A12"));
        const qint64 other = room(QStringLiteral("A13"));
        const QVariant first =
            accepted("insPrises", {{"pricode", "0123"}, {"pritype", "I"}, {"salnumero", id}})
                .value("priOrdre");
        const QVariant second =
            accepted("insPrises", {{"pricode", ""}, {"pritype", "T"}, {"salnumero", id}}).value("priOrdre");
        QCOMPARE(second.toInt(), first.toInt() + 1);
        QVERIFY(eo::isNullOrNone(value("SELECT PRI_CODE FROM PRISES WHERE PRI_ORDRE = ?", {second})));

        QCOMPARE(refusal("insPrises", {{"pricode", QString(15, u'1')}, {"pritype", "I"}, {"salnumero", id}}),
                 QStringLiteral("Le code de la prise dépasse 14 caractères."));
        QCOMPARE(refusal("insPrises", {{"pricode", "12a"}, {"pritype", "I"}, {"salnumero", id}}),
                 QStringLiteral("Le code de la prise ne doit contenir que des chiffres."));
        QCOMPARE(refusal("insPrises", {{"pricode", "1"}, {"pritype", "X"}, {"salnumero", id}}),
                 QStringLiteral("Le type de prise « X » doit être I, T ou V."));
        QCOMPARE(refusal("insPrises", {{"pricode", "1"}, {"pritype", ""}, {"salnumero", id}}),
                 QStringLiteral("Le type de prise est obligatoire."));

        QCOMPARE(
            refusal(
                "updPrises",
                {{"priordre", first}, {"pricode", QString(14, u'1')}, {"pritype", "V"}, {"salnumero", id}}),
            QString());
        QCOMPARE(value("SELECT PRI_CODE || PRI_TYPE FROM PRISES WHERE PRI_ORDRE = ?", {first}).toString(),
                 QString(14, u'1') + u'V');
        QCOMPARE(
            refusal("updPrises", {{"priordre", 999}, {"pricode", "1"}, {"pritype", "I"}, {"salnumero", id}}),
            QStringLiteral("La prise 999 n'existe pas."));
        QCOMPARE(refusal("updPrises",
                         {{"priordre", first}, {"pricode", "1"}, {"pritype", "I"}, {"salnumero", other}}),
                 QStringLiteral("La prise %1 n'appartient pas à la salle %2.").arg(first.toInt()).arg(other));

        QCOMPARE(refusal("delPrises", {{"priordre", second}}), QString());
        QCOMPARE(refusal("delPrises", {{"priordre", second}}),
                 QStringLiteral("La prise %1 n'existe pas.").arg(second.toInt()));
        // Keys are never given twice.
        const QVariant third =
            accepted("insPrises", {{"pricode", "5"}, {"pritype", "I"}, {"salnumero", id}}).value("priOrdre");
        QVERIFY(third.toInt() > second.toInt());
    }

    void delSallesTakesTheSubListsAlong()
    {
        const qint64 id = room(QStringLiteral("A12"), {{"insCStructure", "G1"}});
        const qint64 other = room(QStringLiteral("A13"), {{"insCStructure", "G1"}});
        for (const qint64 key : {id, other}) {
            QCOMPARE(refusal("insSalleTav", complement(key)), QString());
            QCOMPARE(refusal("insPrises", {{"pricode", "1"}, {"pritype", "I"}, {"salnumero", key}}),
                     QString());
            QCOMPARE(
                refusal("insDetailPourcentage",
                        {{"detpourcentage", 50}, {"dettype", 1}, {"salnumero", key}, {"cstructure", "SCI"}}),
                QString());
        }
        db->exec(
            QStringLiteral(
                "INSERT INTO UNITE VALUES (1, 'u', 'unité');"
                "INSERT INTO TYPE_MATERIEL VALUES (1, 'Mobilier', 1, -1, -1), (2, 'Table', 2, 1, 1);"
                "INSERT INTO DETAIL_SALLE VALUES (%1, 2, 4, 1), (%2, 2, 4, 1);"
                "INSERT INTO CONFIGURATION (SAL_NUMERO, CONF_LIBELLE) VALUES (%1, 'Examen'), (%2, 'Examen');"
                "INSERT INTO SOLMA.INDIVIDU VALUES (7, 'Martin', 'Luc');"
                "INSERT INTO SOLMA.REPART_BUREAU VALUES (%1, 7);")
                .arg(id)
                .arg(other));
        // Still someone's office: it stays, with everything it holds.
        QCOMPARE(refusal("delSalles", {{"salnumero", id}}),
                 QStringLiteral("La salle %1 est encore le bureau de 1 personne(s) : elle ne peut pas être "
                                "supprimée.")
                     .arg(id));
        QCOMPARE(count("SELECT COUNT(*) FROM PRISES WHERE SAL_NUMERO = ?", {id}), 1);

        db->exec(QStringLiteral("DELETE FROM SOLMA.REPART_BUREAU"));
        QCOMPARE(refusal("delSalles", {{"salnumero", id}}), QString());
        for (const char *table : {"DETAIL_SALLE", "DETAIL_POURCENTAGE", "PRISES", "CONFIGURATION",
                                  "SALLE_TAV", "SOLMA.DEPOSITAIRE", "SOLMA.SALLES"}) {
            const QString sql =
                QStringLiteral("SELECT COUNT(*) FROM %1 WHERE SAL_NUMERO = ?").arg(QLatin1String(table));
            QVERIFY2(count(sql, {id}) == 0, table);
            QVERIFY2(count(sql, {other}) == 1, table);
        }
        QCOMPARE(refusal("delSalles", {{"salnumero", id}}),
                 QStringLiteral("La salle %1 n'existe pas.").arg(id));
        // Room numbers are never given again.
        QVERIFY(room(QStringLiteral("NEW")) > other);
    }

    void buildings()
    {
        QCOMPARE(value("SELECT a.VILLE || '/' || a.LC_IMPLANTATION_GEO || '/' || a.ADR_LISTE_ROUGE FROM "
                       "SOLMA.LOCAL l "
                       "JOIN ADRESSE_VIX a ON a.ADR_ORDRE = l.ID_ADRESSE_ADMIN WHERE l.C_LOCAL = 'ABC'")
                     .toString(),
                 QStringLiteral("PAU/Campus de Pau/O"));
        QVERIFY(eo::isNullOrNone(value("SELECT a.ADR_ADRESSE2 FROM SOLMA.LOCAL l JOIN SOLMA.ADRESSE a "
                                       "ON a.ADR_ORDRE = l.ID_ADRESSE_ADMIN WHERE l.C_LOCAL = 'ABC'")));
        const qint64 first = room(QStringLiteral("A12"));
        room(QStringLiteral("B7"));

        // A new code moves the rooms with the building; the address is updated in place.
        const int addresses = count("SELECT COUNT(*) FROM SOLMA.ADRESSE");
        QCOMPARE(refusal("majLocal", buildingUpdate("ABC", "ABD", "BATIMENT BETA")), QString());
        QCOMPARE(count("SELECT COUNT(*) FROM SOLMA.SALLES WHERE C_LOCAL = 'ABD'"), 2);
        QCOMPARE(count("SELECT COUNT(*) FROM SOLMA.LOCAL WHERE C_LOCAL = 'ABC'"), 0);
        QCOMPARE(count("SELECT COUNT(*) FROM SOLMA.ADRESSE"), addresses);
        QCOMPARE(value("SELECT APPELLATION FROM SALLES_VIX WHERE SAL_NUMERO = ?", {first}).toString(),
                 QStringLiteral("BATIMENT BETA"));
        QCOMPARE(
            value("SELECT a.ADR_ADRESSE1 || '/' || a.ADR_ADRESSE2 || '/' || a.LOCALITE FROM SOLMA.LOCAL l "
                  "JOIN SOLMA.ADRESSE a ON a.ADR_ORDRE = l.ID_ADRESSE_ADMIN WHERE l.C_LOCAL = 'ABD'")
                .toString(),
            QStringLiteral("2 RUE NEUVE/ESCALIER B/BAYONNE"));

        // A building without address gets one, once.
        db->exec(
            QStringLiteral("INSERT INTO SOLMA.LOCAL (C_LOCAL, APPELLATION) VALUES ('NOA', 'SANS ADRESSE')"));
        QCOMPARE(refusal("majLocal", buildingUpdate("NOA", "NOA", "SANS ADRESSE")), QString());
        QCOMPARE(refusal("majLocal", buildingUpdate("NOA", "NOA", "SANS ADRESSE", {{"adrville", "PAU"}})),
                 QString());
        QCOMPARE(count("SELECT COUNT(*) FROM SOLMA.ADRESSE"), addresses + 1);
        QCOMPARE(
            value(
                "SELECT a.VILLE FROM SOLMA.LOCAL l JOIN SOLMA.ADRESSE a ON a.ADR_ORDRE = l.ID_ADRESSE_ADMIN "
                "WHERE l.C_LOCAL = 'NOA'")
                .toString(),
            QStringLiteral("PAU"));
    }

    void buildingsRefuse_data()
    {
        QTest::addColumn<QString>("procedure");
        QTest::addColumn<QVariantMap>("arguments");
        QTest::addColumn<QString>("message");

        // The register sends every field empty when nothing was typed: the building is refused, not stored.
        QTest::newRow("nothing typed") << "insLocal" << buildingArguments("", "", {{"insCImplantation", ""}})
                                       << "Le code du bâtiment est obligatoire.";
        QTest::newRow("blank code") << "insLocal" << buildingArguments("  ", "B")
                                    << "Le code du bâtiment est obligatoire.";
        QTest::newRow("code too long")
            << "insLocal" << buildingArguments("ABCD", "B") << "Le code du bâtiment dépasse 3 caractères.";
        QTest::newRow("code taken") << "insLocal" << buildingArguments("ABC", "AUTRE")
                                    << "Le code « ABC » est déjà utilisé par un autre bâtiment.";
        QTest::newRow("name taken") << "insLocal" << buildingArguments("NEW", "BATIMENT ALPHA")
                                    << "Le nom « BATIMENT ALPHA » est déjà utilisé par un autre bâtiment.";
        QTest::newRow("no name") << "insLocal" << buildingArguments("NEW", "")
                                 << "Le nom du bâtiment est obligatoire.";
        QTest::newRow("name too long") << "insLocal" << buildingArguments("NEW", QString(51, u'N'))
                                       << "Le nom du bâtiment dépasse 50 caractères.";
        QTest::newRow("first line too long")
            << "insLocal" << buildingArguments("NEW", "B", {{"adradresse1", QString(61, u'x')}})
            << "La première ligne d'adresse dépasse 60 caractères.";
        QTest::newRow("postal code too long")
            << "insLocal" << buildingArguments("NEW", "B", {{"adrcp", "640000"}})
            << "Le code postal dépasse 5 caractères.";
        QTest::newRow("locality too long")
            << "insLocal" << buildingArguments("NEW", "B", {{"insLocalite", QString(27, u'x')}})
            << "La localité dépasse 26 caractères.";
        QTest::newRow("unknown site")
            << "insLocal" << buildingArguments("NEW", "B", {{"insCImplantation", "NOPE"}})
            << "Le site géographique « NOPE » n'existe pas.";
        QTest::newRow("red list flag")
            << "insLocal" << buildingArguments("NEW", "B", {{"adrlisteRouge", "X"}})
            << "L'indicateur « liste rouge » doit valoir O ou N.";
        QTest::newRow("unknown building")
            << "majLocal" << buildingUpdate("ZZZ", "ZZZ", "B") << "Le bâtiment « ZZZ » n'existe pas.";
        QTest::newRow("new code taken") << "majLocal" << buildingUpdate("ABC", "XYZ", "BATIMENT ALPHA")
                                        << "Le code « XYZ » est déjà utilisé par un autre bâtiment.";
        QTest::newRow("new name taken")
            << "majLocal" << buildingUpdate("ABC", "ABC", "BATIMENT OMEGA")
            << "Le nom « BATIMENT OMEGA » est déjà utilisé par un autre bâtiment.";
        QTest::newRow("code removed") << "majLocal" << buildingUpdate("ABC", "", "BATIMENT ALPHA")
                                      << "Le code du bâtiment est obligatoire.";
    }
    void buildingsRefuse()
    {
        QFETCH(QString, procedure);
        QFETCH(QVariantMap, arguments);
        QFETCH(QString, message);
        QCOMPARE(db->addBuilding(QStringLiteral("XYZ"), QStringLiteral("BATIMENT OMEGA")),
                 QStringLiteral("XYZ"));
        const int addresses = count("SELECT COUNT(*) FROM SOLMA.ADRESSE");
        QCOMPARE(refusal(procedure, arguments), message);
        QCOMPARE(count("SELECT COUNT(*) FROM SOLMA.LOCAL"), 2);
        QCOMPARE(count("SELECT COUNT(*) FROM SOLMA.ADRESSE"), addresses);
        QCOMPARE(value("SELECT APPELLATION FROM SOLMA.LOCAL WHERE C_LOCAL = 'ABC'").toString(),
                 QStringLiteral("BATIMENT ALPHA"));
    }

    // A NUL anywhere, a control or invisible character in a code: refused as the form's check says.
    void refusesWhatACodeOrATextCannotHold_data()
    {
        for (const char *column : {"procedure", "argument", "text", "message"})
            QTest::addColumn<QString>(column);
        const auto row = [](const QString &name, const QStringList &v) {
            QTest::newRow(qPrintable(name)) << v[0] << v[1] << v[2] << v[3];
        };
        const QString nul = eo::EOHiddenCharacter::nulRefusal();
        row("NUL in a building to attach", {"corresSalle", "clocal", QStringLiteral("AB") + QChar(0), nul});
        const std::tuple<const char *, const char *, const char *, const char *> codes[] = {
            {"insLocal", "batabrev", "A%1B", "Le code du bâtiment"},
            {"insSalle", "salPorte", "B%12", "Le numéro de porte"},
            {"insUnite", "uniabrev", "%1kg", "L'abréviation de l'unité"}};
        for (const char32_t c : {0x0000, 0x0009, 0x001B, 0x0085, 0x00AD, 0x061C, 0x200B, 0x200D, 0x200E,
                                 0x200F, 0x2028, 0x202A, 0x202E, 0x2060, 0x2066, 0x2069, 0xFEFF, 0xE0001}) {
            const QString name = eo::EOHiddenCharacter::name(c);
            const QChar pair[] = {QChar(QChar::highSurrogate(c)), QChar(QChar::lowSurrogate(c))};
            const QString character = QChar::requiresSurrogates(c) ? QString(pair, 2) : QString(QChar(c));
            for (const auto &[procedure, argument, pattern, field] : codes)
                row(name + u' ' + argument,
                    {procedure, argument, QString::fromUtf8(pattern).arg(character),
                     c == 0 ? nul
                            : QStringLiteral(
                                  "%1 contient un caractère invisible ou de contrôle (%2), refusé dans "
                                  "un code : retirez ce caractère.")
                                  .arg(QString::fromUtf8(field), name)});
        }
        row("accents and spaces in a code", {"insUnite", "uniabrev", "m² É", ""});
    }

    void refusesWhatACodeOrATextCannotHold()
    {
        QFETCH(QString, procedure);
        QFETCH(QString, argument);
        QFETCH(QString, text);
        QFETCH(QString, message);
        const QVariantMap arguments =
            procedure == u"insLocal"   ? buildingArguments("NEW", "NOUVEAU")
            : procedure == u"insSalle" ? TestDatabase::roomArguments("ABC", "2", "B2")
            : procedure == u"insUnite"
                ? QVariantMap{{"uniabrev", "kg"}, {"unilibelle", "kilogramme"}}
                : QVariantMap{{"salnumerosource", room("O1", {{"salReservable", null}})},
                              {"salnumerodestination", ""}};
        const char *rows =
            "SELECT (SELECT COUNT(*) FROM SOLMA.LOCAL) + (SELECT COUNT(*) FROM SOLMA.SALLES) + "
            "(SELECT COUNT(*) FROM UNITE)";
        const int before = count(rows);
        QCOMPARE(refusal(procedure, merged(arguments, {{argument, text}})), message);
        QCOMPARE(count(rows), before + (message.isEmpty() ? 1 : 0));
        if (message != eo::EOHiddenCharacter::nulRefusal())
            QCOMPARE(
                framework::KORTextCheck::refusCode(message.section(QStringLiteral(" contient"), 0, 0), text),
                message);
    }

    void optionRooms()
    {
        QCOMPARE(db->addBuilding(QStringLiteral("DEF"), QStringLiteral("BATIMENT DELTA")),
                 QStringLiteral("DEF"));
        const qint64 managed = room(QStringLiteral("M1"));
        const qint64 matched = room(QStringLiteral("O1"), {{"salReservable", null}});
        // An option room from another application: no building, no type.
        db->exec(QStringLiteral("INSERT INTO SOLMA.SALLES (SAL_ETAGE, SAL_PORTE) VALUES ('2', 'X1')"));
        const qint64 loose = value("SELECT MAX(SAL_NUMERO) FROM SOLMA.SALLES").toLongLong();
        QCOMPARE(count("SELECT COUNT(*) FROM SALLES_VIX WHERE SAL_RESERVABLE IS NULL"), 2);

        auto corres = [](const QVariant &building, const QVariant &source, const QVariant &destination) {
            return QVariantMap{
                {"clocal", building}, {"salnumerosource", source}, {"salnumerodestination", destination}};
        };
        QCOMPARE(refusal("corresSalle", corres(null, matched, null)),
                 QStringLiteral("Indiquez une salle de destination ou un bâtiment."));
        QCOMPARE(refusal("corresSalle", corres("DEF", matched, managed)),
                 QStringLiteral("Indiquez une salle de destination ou un bâtiment, pas les deux."));
        QCOMPARE(refusal("corresSalle", corres("DEF", managed, null)),
                 QStringLiteral("La salle %1 n'est pas une salle en option.").arg(managed));
        QCOMPARE(refusal("corresSalle", corres(null, matched, loose)),
                 QStringLiteral("La salle de destination %1 n'est pas une salle gérée.").arg(loose));
        QCOMPARE(refusal("corresSalle", corres(null, matched, matched)),
                 QStringLiteral("Une salle ne peut pas être mise en correspondance avec elle-même."));
        QCOMPARE(refusal("corresSalle", corres(null, matched, 999)),
                 QStringLiteral("La salle de destination 999 n'existe pas."));
        QCOMPARE(refusal("corresSalle", corres("ZZZ", matched, null)),
                 QStringLiteral("Le bâtiment « ZZZ » n'existe pas."));

        // Correspondence: recorded, and the option room is no longer offered.
        QCOMPARE(refusal("corresSalle", corres(null, matched, managed)), QString());
        QCOMPARE(
            value("SELECT SAL_NUMERO_DESTINATION FROM SOLMA.SALLE_CORRESPONDANCE WHERE SAL_NUMERO_SOURCE = ?",
                  {matched})
                .toLongLong(),
            managed);
        QCOMPARE(count("SELECT COUNT(*) FROM SALLES_VIX WHERE SAL_NUMERO = ?", {matched}), 0);
        QCOMPARE(refusal("corresSalle", corres(null, matched, managed)),
                 QStringLiteral("La salle %1 est déjà mise en correspondance avec la salle %2.")
                     .arg(matched)
                     .arg(managed));

        // Attachment: the room gets the building and leaves the option rooms.
        QCOMPARE(refusal("corresSalle", corres("DEF", loose, null)), QString());
        QCOMPARE(
            value("SELECT APPELLATION || '/' || SAL_RESERVABLE FROM SALLES_VIX WHERE SAL_NUMERO = ?", {loose})
                .toString(),
            QStringLiteral("BATIMENT DELTA/N"));
        QCOMPARE(count("SELECT COUNT(*) FROM SALLES_VIX WHERE SAL_RESERVABLE IS NULL"), 0);

        // Deleting the room that stood for a matched one gives that one back to the options.
        QCOMPARE(refusal("delSalles", {{"salnumero", managed}}), QString());
        QCOMPARE(count("SELECT COUNT(*) FROM SALLES_VIX WHERE SAL_RESERVABLE IS NULL AND SAL_NUMERO = ?",
                       {matched}),
                 1);
        QCOMPARE(count("SELECT COUNT(*) FROM SOLMA.SALLE_CORRESPONDANCE"), 0);
    }
};

QTEST_GUILESS_MAIN(TestStoredProcedures)

#include "tst_StoredProcedures.moc"
