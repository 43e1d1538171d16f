// The demo data of locavia-admin: what it writes, that it is plausible and deterministic, that it leaves a
// database with rooms alone, that it reuses the reference rows already there, and that the procedures accept
// every room it writes.

#include "DemoDataGenerator.h"
#include "EOException.h"
#include "EONull.h"
#include "Resources.h"
#include "SqliteDatabaseInstaller.h"
#include "TestDatabase.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>
#include <pwd.h>
#include <sqlite3.h>
#include <unistd.h>

using admin::DemoDataGenerator;

namespace
{

// Reads an installed database directly, with solma.db attached as SOLMA.
class Reader
{
public:
    explicit Reader(const QString &directory)
    {
        sqlite3 *raw = nullptr;
        sqlite3_open_v2(QString(directory + QStringLiteral("/locavia.db")).toUtf8().constData(), &raw,
                        SQLITE_OPEN_READONLY, nullptr);
        m_db.reset(raw);
        const QByteArray attach = "ATTACH DATABASE '" + directory.toUtf8() + "/solma.db' AS SOLMA";
        sqlite3_exec(m_db.get(), attach.constData(), nullptr, nullptr, nullptr);
    }

    // Every row as texts ("" for NULL, "<NULL>" kept apart from an empty text).
    QList<QStringList> rows(const char *sql) const
    {
        sqlite3_stmt *statement = nullptr;
        QList<QStringList> result;
        if (sqlite3_prepare_v2(m_db.get(), sql, -1, &statement, nullptr) != SQLITE_OK) {
            qWarning("%s: %s", sql, sqlite3_errmsg(m_db.get()));
            return {{QStringLiteral("<ERREUR>")}};
        }
        while (sqlite3_step(statement) == SQLITE_ROW) {
            QStringList row;
            for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, c));
                row.append(text ? QString::fromUtf8(text) : QStringLiteral("<NULL>"));
            }
            result.append(row);
        }
        sqlite3_finalize(statement);
        return result;
    }
    qint64 integer(const char *sql) const
    {
        const QList<QStringList> result = rows(sql);
        return result.isEmpty() ? -1 : result.first().first().toLongLong();
    }

private:
    struct Closer {
        void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
    };
    std::unique_ptr<sqlite3, Closer> m_db;
};

QString installed(QTemporaryDir &dir)
{
    data::SqliteDatabaseInstaller::install(dir.path(), platform::resourcesDirectory());
    return dir.path();
}

QString message(const std::function<void()> &action)
{
    try {
        action();
    } catch (const eo::EOException &error) {
        return error.message();
    }
    return QString();
}

// The arguments of majSalles that store a room again exactly as it is.
QVariantMap unchangedRoom(const QVariantMap &row, const QVariant &custodian)
{
    auto value = [&row](const char *key) {
        const QVariant v = row.value(QString::fromLatin1(key));
        return v.isValid() ? v : eo::eoNull();
    };
    QVariantMap arguments{
        {QStringLiteral("grpOrdre"), custodian.isValid() ? custodian : QVariant(QString())}};
    const std::pair<const char *, const char *> columns[] = {
        {"clocal", "C_LOCAL"},
        {"salCapacite", "SAL_CAPACITE"},
        {"salDescriptif", "SAL_DESCRIPTIF"},
        {"salEcran", "SAL_ECRAN"},
        {"salEtage", "SAL_ETAGE"},
        {"salIdentAcces", "SAL_IDENT_ACCES"},
        {"salInsonorisee", "SAL_INSONORISEE"},
        {"salNature", "SAL_NATURE"},
        {"salNbArmoires", "SAL_NB_ARMOIRES"},
        {"salNbBureaux", "SAL_NB_BUREAUX"},
        {"salNbChaises", "SAL_NB_CHAISES"},
        {"salNbFenetres", "SAL_NB_FENETRES"},
        {"salNbTables", "SAL_NB_TABLES"},
        {"salNoPoste", "SAL_NO_POSTE"},
        {"salNumero", "SAL_NUMERO"},
        {"salObscur", "SAL_OBSCUR"},
        {"salPorte", "SAL_PORTE"},
        {"salPourAdministration", "SAL_POUR_ADMINISTRATION"},
        {"salPourDocumentation", "SAL_POUR_DOCUMENTATION"},
        {"salPourEnseignement", "SAL_POUR_ENSEIGNEMENT"},
        {"salPourRecherche", "SAL_POUR_RECHERCHE"},
        {"salPourTechnique", "SAL_POUR_TECHNIQUE"},
        {"salReservable", "SAL_RESERVABLE"},
        {"salRetro", "SAL_RETRO"},
        {"salSuperficie", "SAL_SUPERFICIE"},
        {"salTableau", "SAL_TABLEAU"},
        {"salTableauBlanc", "SAL_TABLEAU_BLANC"},
        {"salTableauPapier", "SAL_TABLEAU_PAPIER"},
        {"salTelevision", "SAL_TELEVISION"},
        {"tsalNumero", "TSAL_NUMERO"},
        {"majSalPasNum", "SAL_PAS_NUM"},
        {"majSalTemHandicap", "SAL_TEM_HANDICAP"},
        {"majSalTemEnService", "SAL_TEM_EN_SERVICE"},
        {"majSalCapaExam", "SAL_CAPA_EXAM"},
        {"majSalNbPlacesExamLib", "SAL_NB_PLACES_EXAM_LIB"},
        {"majSalSalleProcheTel", "SAL_SALLE_PROCHE_TEL"},
        {"majSalSalleNumDepart", "SAL_NUM_DEPART"},
    };
    for (const auto &[argument, column] : columns)
        arguments.insert(QString::fromLatin1(argument), value(column));
    return arguments;
}

const char *const RoomColumns =
    "SELECT SAL_NUMERO, C_LOCAL, SAL_CAPACITE, SAL_DESCRIPTIF, SAL_ECRAN, SAL_ETAGE, "
    "SAL_IDENT_ACCES, SAL_INSONORISEE, SAL_NATURE, SAL_NB_ARMOIRES, SAL_NB_BUREAUX, "
    "SAL_NB_CHAISES, SAL_NB_FENETRES, SAL_NB_TABLES, SAL_NO_POSTE, SAL_OBSCUR, "
    "SAL_PORTE, SAL_POUR_ADMINISTRATION, SAL_POUR_DOCUMENTATION, "
    "SAL_POUR_ENSEIGNEMENT, SAL_POUR_RECHERCHE, SAL_POUR_TECHNIQUE, SAL_RESERVABLE, "
    "SAL_RETRO, SAL_SUPERFICIE, SAL_TABLEAU, SAL_TABLEAU_BLANC, SAL_TABLEAU_PAPIER, "
    "SAL_TELEVISION, TSAL_NUMERO, SAL_PAS_NUM, SAL_TEM_HANDICAP, SAL_TEM_EN_SERVICE, "
    "SAL_CAPA_EXAM, SAL_NB_PLACES_EXAM_LIB, SAL_SALLE_PROCHE_TEL, SAL_NUM_DEPART "
    "FROM SOLMA.SALLES";

} // namespace

class TestDemoDataGenerator : public QObject
{
    Q_OBJECT

private slots:
    void fillsAFreshDatabaseAsItReports()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        DemoDataGenerator::Summary summary;
        QVERIFY(DemoDataGenerator::fill(installed(dir), 120, QStringLiteral("Alice"), &summary));

        const Reader db(dir.path());
        QCOMPARE(summary.rooms, 120);
        QCOMPARE(db.integer("SELECT COUNT(*) FROM SOLMA.SALLES"), 120);
        QCOMPARE(summary.buildings, 7);
        QCOMPARE(db.integer("SELECT COUNT(*) FROM SOLMA.LOCAL"), 7);
        QVERIFY(summary.optionRooms > 0);
        QCOMPARE(db.integer("SELECT COUNT(*) FROM SOLMA.SALLES WHERE SAL_RESERVABLE IS NULL"),
                 summary.optionRooms);
        QCOMPARE(db.integer("SELECT COUNT(*) FROM PRISES"), summary.outlets);
        QCOMPARE(db.integer("SELECT COUNT(*) FROM DETAIL_SALLE"), summary.equipmentLines);
        QCOMPARE(db.integer("SELECT COUNT(*) FROM DETAIL_POURCENTAGE"), summary.occupationLines);
        QVERIFY(summary.outlets > 0 && summary.equipmentLines > 0 && summary.occupationLines > 0);
        QCOMPARE(summary.login, QStringLiteral("alice"));
        QCOMPARE(db.integer("SELECT COUNT(*) FROM SOLMA.REPART_COMPTE WHERE CPT_LOGIN = 'alice'"), 1);
    }

    void writesPlausibleRooms()
    {
        QTemporaryDir dir;
        QVERIFY(DemoDataGenerator::fill(installed(dir), 400, QStringLiteral("bob"), nullptr));
        const Reader db(dir.path());

        const QStringList floors{"-1", "RDC", "0", "1", "2", "3", "4", "5"};
        const QRegularExpression door(QStringLiteral("^(S\\d{1,2}|[A-D]\\d{1,3})[BC]?$"));
        for (const QStringList &room :
             db.rows("SELECT SAL_ETAGE, SAL_PORTE, length(COALESCE(SAL_DESCRIPTIF, '')) "
                     "FROM SOLMA.SALLES")) {
            QVERIFY2(floors.contains(room.at(0)), qPrintable(room.at(0)));
            QVERIFY2(door.match(room.at(1)).hasMatch(), qPrintable(room.at(1)));
            QVERIFY(room.at(2).toInt() <= 209);
        }
        // Surfaces with hundredths, descriptions with accents and apostrophes.
        QVERIFY(
            db.integer(
                "SELECT COUNT(*) FROM SOLMA.SALLES WHERE SAL_SUPERFICIE <> CAST(SAL_SUPERFICIE AS INTEGER)") >
            100);
        QVERIFY(db.integer("SELECT COUNT(*) FROM SOLMA.SALLES WHERE SAL_DESCRIPTIF LIKE '%''%' "
                           "AND SAL_DESCRIPTIF LIKE '%é%'") > 0);
        // The twelve use percentages of a room add up to at most 100, and so do its occupation lines.
        QVERIFY(
            db.integer(
                "SELECT MAX(COALESCE(s.SAL_POUR_ADMINISTRATION, 0) + COALESCE(s.SAL_POUR_DOCUMENTATION, 0)"
                " + COALESCE(s.SAL_POUR_ENSEIGNEMENT, 0) + COALESCE(s.SAL_POUR_RECHERCHE, 0)"
                " + COALESCE(s.SAL_POUR_TECHNIQUE, 0) + COALESCE(t.TAV_VIE_SOCIAL, 0)"
                " + COALESCE(t.TAV_ACCUEIL, 0) + COALESCE(t.TAV_SANITAIRE, 0)"
                " + COALESCE(t.TAV_CIRCULATION, 0) + COALESCE(t.TAV_RESTAURATION, 0)"
                " + COALESCE(t.TAV_PARKING, 0) + COALESCE(t.TAV_SPORTIF, 0))"
                " FROM SOLMA.SALLES s LEFT JOIN SALLE_TAV t ON t.SAL_NUMERO = s.SAL_NUMERO") <= 100);
        QVERIFY(
            db.integer("SELECT MAX(total) FROM (SELECT SUM(DET_POURCENTAGE) AS total FROM DETAIL_POURCENTAGE "
                       "GROUP BY SAL_NUMERO)") <= 100);
        // A bookable room has exactly one custodian group; other rooms have none.
        QCOMPARE(db.integer(
                     "SELECT COUNT(*) FROM SOLMA.SALLES s WHERE (SELECT COUNT(*) FROM SOLMA.DEPOSITAIRE d "
                     "WHERE d.SAL_NUMERO = s.SAL_NUMERO) <> (CASE WHEN s.SAL_RESERVABLE = 'O' THEN 1 ELSE 0 "
                     "END)"),
                 0);
        QVERIFY(db.integer("SELECT COUNT(*) FROM SOLMA.SALLES WHERE SAL_RESERVABLE = 'N'") > 20);
        // Option rooms come from elsewhere: no department data yet, some without building.
        QCOMPARE(db.integer("SELECT COUNT(*) FROM SOLMA.SALLES s WHERE SAL_RESERVABLE IS NULL AND "
                            "(EXISTS (SELECT 1 FROM SALLE_TAV t WHERE t.SAL_NUMERO = s.SAL_NUMERO) OR "
                            "EXISTS (SELECT 1 FROM PRISES p WHERE p.SAL_NUMERO = s.SAL_NUMERO))"),
                 0);
        QVERIFY(
            db.integer("SELECT COUNT(*) FROM SOLMA.SALLES WHERE SAL_RESERVABLE IS NULL AND C_LOCAL IS NULL") >
            0);
        QCOMPARE(
            db.integer("SELECT COUNT(*) FROM SOLMA.SALLES s WHERE SAL_RESERVABLE IS NOT NULL AND NOT EXISTS "
                       "(SELECT 1 FROM SALLE_TAV t WHERE t.SAL_NUMERO = s.SAL_NUMERO)"),
            0);
        QCOMPARE(db.rows("SELECT DISTINCT PRI_TYPE FROM PRISES ORDER BY 1"),
                 (QList<QStringList>{{"I"}, {"T"}, {"V"}}));
        // Every reference a foreign key cannot check points at a row.
        QCOMPARE(db.integer("SELECT COUNT(*) FROM SOLMA.SALLES WHERE TSAL_NUMERO NOT IN "
                            "(SELECT TSAL_NUMERO FROM TYPE_SALLE)"),
                 0);
        QCOMPARE(db.integer("SELECT COUNT(*) FROM DETAIL_POURCENTAGE WHERE C_STRUCTURE NOT IN "
                            "(SELECT C_STRUCTURE FROM SOLMA.SERVICE_VIX)"),
                 0);
        QCOMPARE(db.rows("PRAGMA foreign_key_check"), QList<QStringList>());
        QCOMPARE(db.rows("PRAGMA SOLMA.foreign_key_check"), QList<QStringList>());
        QVERIFY(db.integer("SELECT COUNT(*) FROM SOLMA.REPART_BUREAU") > 0);
    }

    void writesTheParametersOfTheRightsTest()
    {
        QTemporaryDir dir;
        QVERIFY(DemoDataGenerator::fill(installed(dir), 10, QStringLiteral("carol"), nullptr));
        const Reader db(dir.path());
        QCOMPARE(db.rows("SELECT param_value FROM SOLMA.SOLMA_PARAMETRES WHERE param_key = 'MIRL_USER'"),
                 QList<QStringList>{{"NON"}});
        QCOMPARE(
            db.integer(
                "SELECT COUNT(*) FROM SOLMA.SOLMA_PARAMETRES WHERE PARAM_KEY = 'SOLMA_DOMAINE_PRINCIPAL'"),
            1);
        // The account's person belongs to a group that SALLE_STRUCTURE allows.
        QCOMPARE(db.integer(
                     "SELECT COUNT(*) FROM SOLMA.REPART_COMPTE c JOIN SOLMA.REPART_STRUCTURE r "
                     "ON r.PERS_ID = c.PERS_ID WHERE c.CPT_LOGIN = 'carol' AND r.C_STRUCTURE IN "
                     "(SELECT PARAM_VALUE FROM SOLMA.SOLMA_PARAMETRES WHERE PARAM_KEY = 'SALLE_STRUCTURE')"),
                 1);
        // Custodian groups carry the short label the room form looks for.
        QVERIFY(db.integer("SELECT COUNT(*) FROM SOLMA.STRUCTURE_ZEB_VIX WHERE LC_STRUCTURE = 'DEPOS' "
                           "AND PERE_LC_STRUCTURE IS NOT NULL") >= 5);
    }

    void isDeterministic()
    {
        QTemporaryDir first;
        QTemporaryDir second;
        QVERIFY(DemoDataGenerator::fill(installed(first), 150, QStringLiteral("dave"), nullptr));
        QVERIFY(DemoDataGenerator::fill(installed(second), 150, QStringLiteral("dave"), nullptr));
        const Reader a(first.path());
        const Reader b(second.path());
        for (const char *sql :
             {"SELECT * FROM SOLMA.SALLES ORDER BY SAL_NUMERO", "SELECT * FROM SALLE_TAV ORDER BY 1",
              "SELECT * FROM PRISES ORDER BY 1", "SELECT * FROM DETAIL_SALLE ORDER BY 1, 2",
              "SELECT * FROM DETAIL_POURCENTAGE ORDER BY 1", "SELECT * FROM SOLMA.DEPOSITAIRE ORDER BY 1",
              "SELECT * FROM SOLMA.REPART_BUREAU ORDER BY 1, 2"}) {
            const QList<QStringList> rows = a.rows(sql);
            QVERIFY(!rows.isEmpty());
            QCOMPARE(b.rows(sql), rows);
        }
    }

    void leavesADatabaseWithRoomsAlone()
    {
        QTemporaryDir dir;
        QVERIFY(DemoDataGenerator::fill(installed(dir), 30, QStringLiteral("erin"), nullptr));
        DemoDataGenerator::Summary summary;
        QVERIFY(!DemoDataGenerator::fill(dir.path(), 30, QStringLiteral("frank"), &summary));
        QCOMPARE(summary.rooms, 0);
        const Reader db(dir.path());
        QCOMPARE(db.integer("SELECT COUNT(*) FROM SOLMA.SALLES"), 30);
        QCOMPARE(db.integer("SELECT COUNT(*) FROM SOLMA.REPART_COMPTE WHERE CPT_LOGIN = 'frank'"), 0);
    }

    void refusesWhatItCannotWrite()
    {
        QTemporaryDir empty;
        QVERIFY(message([&] {
                    DemoDataGenerator::fill(empty.path(), 10, QStringLiteral("bob"), nullptr);
                }).contains(QStringLiteral("installez-la d'abord")));

        QTemporaryDir dir;
        installed(dir);
        QCOMPARE(
            message([&] { DemoDataGenerator::fill(dir.path(), 10, QStringLiteral("  "), nullptr); }),
            QStringLiteral("Le compte de démonstration n'a pas d'identifiant : indiquez-le avec --user."));
        const QString longLogin(31, QLatin1Char('x'));
        QCOMPARE(message([&] { DemoDataGenerator::fill(dir.path(), 10, longLogin, nullptr); }),
                 QStringLiteral("L'identifiant « %1 » dépasse 30 caractères.").arg(longLogin));
        QCOMPARE(Reader(dir.path()).integer("SELECT COUNT(*) FROM SOLMA.LOCAL"), 0);
    }

    void takesTheLoginOfTheSystemAccountInLowerCase()
    {
        // The environment is the user's to set: the demo account is the system's name of the user, the one
        // the program identifies at start-up.
        const QByteArray saved = qgetenv("USER");
        qputenv("USER", "Marie.Curie");
        const passwd *account = getpwuid(geteuid());
        QVERIFY(account);
        QCOMPARE(DemoDataGenerator::currentLogin(), QString::fromLocal8Bit(account->pw_name).toLower());
        qputenv("USER", saved);
    }

    // A database where the user created a building and where the test fixtures put reference rows: the demo
    // reuses them (same code, same label) and leaves out a building whose name is taken. Then the procedures
    // accept the demo rooms as they are: the demo data respects every rule the program enforces.
    void reusesExistingRowsAndSatisfiesTheProcedures()
    {
        TestDatabase db;
        QVERIFY(db.isValid());
        QCOMPARE(db.addBuilding(QStringLiteral("SCA"), QStringLiteral("MON BÂTIMENT")),
                 QStringLiteral("SCA"));
        QCOMPARE(db.addBuilding(QStringLiteral("PRE"), QStringLiteral("PRÉSIDENCE")), QStringLiteral("PRE"));
        QVERIFY(DemoDataGenerator::fill(db.directory(), 200, QStringLiteral("tester"), nullptr));

        QCOMPARE(
            db.scalar(QStringLiteral("SELECT APPELLATION FROM SOLMA.LOCAL WHERE C_LOCAL = 'SCA'")).toString(),
            QStringLiteral("MON BÂTIMENT"));
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM SOLMA.LOCAL WHERE C_LOCAL = 'ADM'")).toInt(),
                 0);
        QVERIFY(db.scalar(QStringLiteral("SELECT COUNT(*) FROM SOLMA.SALLES WHERE C_LOCAL = 'SCA'")).toInt() >
                0);
        QCOMPARE(
            db.scalar(QStringLiteral("SELECT COUNT(*) FROM TYPE_SALLE WHERE TSAL_LIBELLE = 'Salle de cours'"))
                .toInt(),
            1);
        QVERIFY(db.scalar(QStringLiteral("SELECT COUNT(*) FROM SOLMA.SALLES WHERE TSAL_NUMERO = 1")).toInt() >
                0);

        const QList<QVariantMap> rooms = db.dataBus().executeSQLQuery(
            QString::fromLatin1(RoomColumns) + QStringLiteral(" WHERE SAL_RESERVABLE IS NOT NULL LIMIT 40"),
            {});
        QCOMPARE(rooms.size(), 40);
        for (const QVariantMap &raw : rooms) {
            // Raw rows name their columns Attribute0, Attribute1, ... in the order of RoomColumns.
            static const QStringList names = QString::fromLatin1(RoomColumns)
                                                 .section(QStringLiteral(" FROM"), 0, 0)
                                                 .mid(7)
                                                 .split(QStringLiteral(", "));
            QVariantMap row;
            for (int c = 0; c < names.size(); ++c)
                row.insert(names.at(c), raw.value(QStringLiteral("Attribute%1").arg(c)));
            const QVariant custodian =
                db.scalar(QStringLiteral("SELECT C_STRUCTURE FROM SOLMA.DEPOSITAIRE WHERE SAL_NUMERO = ?"),
                          {row["SAL_NUMERO"]});
            QVERIFY2(
                db.dataBus().executeProcedure(QStringLiteral("majSalles"), unchangedRoom(row, custodian)),
                qPrintable(db.alerts().isEmpty() ? QString() : db.alerts().last().message));
        }
        QVERIFY(db.takeAlerts().isEmpty());

        const QVariant option = db.scalar(
            QStringLiteral("SELECT SAL_NUMERO FROM SOLMA.SALLES WHERE SAL_RESERVABLE IS NULL LIMIT 1"));
        QVERIFY(db.dataBus().executeProcedure(QStringLiteral("corresSalle"),
                                              {{QStringLiteral("clocal"), QStringLiteral("SCB")},
                                               {QStringLiteral("salnumerosource"), option},
                                               {QStringLiteral("salnumerodestination"), eo::eoNull()}}));
        const QVariant free =
            db.scalar(QStringLiteral("SELECT SAL_NUMERO FROM SOLMA.SALLES WHERE SAL_NUMERO NOT IN (SELECT "
                                     "BUR_ORDRE FROM SOLMA.REPART_BUREAU) "
                                     "AND SAL_NUMERO IN (SELECT SAL_NUMERO FROM PRISES) LIMIT 1"));
        QVERIFY(db.dataBus().executeProcedure(QStringLiteral("delSalles"),
                                              {{QStringLiteral("salnumero"), free}}));
        QVERIFY(db.takeAlerts().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestDemoDataGenerator)
#include "tst_DemoDataGenerator.moc"
