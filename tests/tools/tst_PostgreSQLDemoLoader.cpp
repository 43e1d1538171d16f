// The demo data on a department's server: row for row the data the embedded database gets from the same
// start, the server's own reference rows kept, a server that has rooms left alone, and keys that the
// procedures go on giving without collision.

#include "DemoCatalogue.h"
#include "DemoDataGenerator.h"
#include "EONull.h"
#include "PostgreSQLDemoLoader.h"
#include "TestDatabase.h"

#include <QCoreApplication>
#include <QTest>
#include <memory>

using admin::DemoDataGenerator;
using admin::PostgreSQLDemoLoader;

namespace
{

const char *const Tables[] = {
    "SOLMA.SOLMA_PARAMETRES",
    "PARAMETRES",
    "SOLMA.STRUCTURE",
    "SOLMA.INDIVIDU",
    "SOLMA.REPART_COMPTE",
    "SOLMA.REPART_STRUCTURE",
    "TYPE_SALLE",
    "IMPLANTATION_GEO",
    "TYPE_OCCUPATION",
    "UNITE",
    "TYPE_MATERIEL",
    "SOLMA.ADRESSE",
    "SOLMA.LOCAL",
    "SOLMA.SALLES",
    "SALLE_TAV",
    "SOLMA.DEPOSITAIRE",
    "SOLMA.REPART_BUREAU",
    "PRISES",
    "DETAIL_SALLE",
    "DETAIL_POURCENTAGE",
    "CONFIGURATION",
};

// Every row of a table as text, in key order; numbers written the same way whatever their storage.
QStringList dump(TestDatabase &db, const char *table)
{
    QStringList lines;
    for (const QVariantMap &row : db.dataBus().executeSQLQuery(
             QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2").arg(QLatin1String(table)))) {
        QStringList values;
        for (int c = 0; c < row.size(); ++c) {
            const QVariant value = row.value(QStringLiteral("Attribute%1").arg(c));
            if (eo::isNullOrNone(value))
                values.append(QStringLiteral("<NULL>"));
            else if (value.typeId() == QMetaType::Double)
                values.append(QString::number(value.toDouble()));
            else
                values.append(value.toString());
        }
        lines.append(values.join(QLatin1Char('|')));
    }
    return lines;
}

} // namespace

class TestPostgreSQLDemoLoader : public QObject
{
    Q_OBJECT

private slots:
    void init() { LOCAVIA_REQUIRE_BACKEND(TestDatabase::Backend::PostgreSQL); }

    void loadsWhatTheEmbeddedDatabaseGets()
    {
        // Both start from the fixtures' reference rows, the room manager's account among them, which the
        // generator keeps and reuses.
        TestDatabase embedded(TestDatabase::Backend::SQLite);
        QVERIFY2(embedded.isValid(), qPrintable(embedded.error()));
        QVERIFY(embedded.addRoomManagerAccount());
        DemoDataGenerator::Summary expected;
        QVERIFY(DemoDataGenerator::fill(embedded.directory(), 300, QStringLiteral("alice"), &expected));
        TestDatabase server(TestDatabase::Backend::PostgreSQL);
        QVERIFY2(server.isValid(), qPrintable(server.error()));
        DemoDataGenerator::Summary loaded;
        QVERIFY(PostgreSQLDemoLoader::fill(server.connectionDictionary(TestDatabase::Role::Owner), 300,
                                           QStringLiteral("alice"), &loaded));

        QCOMPARE(loaded.rooms, 300);
        QCOMPARE(loaded.outlets, expected.outlets);
        QCOMPARE(loaded.equipmentLines, expected.equipmentLines);
        QCOMPARE(loaded.occupationLines, expected.occupationLines);
        for (const char *table : Tables) {
            const QStringList rows = dump(server, table);
            QVERIFY2(!rows.isEmpty(), table);
            QCOMPARE(rows, dump(embedded, table));
        }
    }

    void keepsTheServersRowsAndItsKeysGoOn()
    {
        TestDatabase server(TestDatabase::Backend::PostgreSQL);
        QVERIFY2(server.isValid(), qPrintable(server.error()));
        // A building of the department's that has the name of a demo building: it stays as it is, and the
        // demo building of that name is left out.
        const admin::DemoCatalogue::Building &demo = admin::DemoCatalogue::buildings().front();
        const QString name = QString::fromUtf8(demo.name);
        QCOMPARE(server.addBuilding(QStringLiteral("ZZZ"), name), QStringLiteral("ZZZ"));
        DemoDataGenerator::Summary summary;
        QVERIFY(PostgreSQLDemoLoader::fill(server.connectionDictionary(TestDatabase::Role::Owner), 200,
                                           QStringLiteral("bob"), &summary));
        QCOMPARE(
            server.scalar(QStringLiteral("SELECT C_LOCAL FROM SOLMA.LOCAL WHERE APPELLATION = ?"), {name})
                .toString(),
            QStringLiteral("ZZZ"));
        QCOMPARE(server
                     .scalar(QStringLiteral("SELECT COUNT(*) FROM SOLMA.LOCAL WHERE C_LOCAL = ?"),
                             {QString::fromUtf8(demo.code)})
                     .toInt(),
                 0);
        QCOMPARE(
            server.scalar(QStringLiteral("SELECT COUNT(*) FROM SOLMA.SALLES WHERE C_LOCAL = 'ZZZ'")).toInt(),
            0);
        QCOMPARE(server.scalar(QStringLiteral("SELECT COUNT(*) FROM SOLMA.LOCAL")).toInt(),
                 summary.buildings + 1);

        // A server that has rooms gets nothing more.
        QVERIFY(!PostgreSQLDemoLoader::fill(server.connectionDictionary(TestDatabase::Role::Owner), 50,
                                            QStringLiteral("bob"), nullptr));
        QCOMPARE(server.scalar(QStringLiteral("SELECT COUNT(*) FROM SOLMA.SALLES")).toInt(), 200);

        // The keys written by the load are behind the generators: the procedures give new ones.
        const qint64 largest =
            server.scalar(QStringLiteral("SELECT MAX(SAL_NUMERO) FROM SOLMA.SALLES")).toLongLong();
        QVERIFY(server.addRoom(QStringLiteral("ZZZ"), QStringLiteral("1"), QStringLiteral("N1")) > largest);
        QVERIFY(server.dataBus().executeProcedure(QStringLiteral("insUnite"),
                                                  {{"uniabrev", "hl"}, {"unilibelle", "hectolitre"}}));
        QVERIFY(server.dataBus().executeProcedure(
            QStringLiteral("insLocal"),
            {{"batabrev", "NEW"}, {"adrnom", "NOUVEAU"}, {"insCImplantation", ""}}));
        QVERIFY(server.takeAlerts().isEmpty());
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    TestPostgreSQLDemoLoader test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_PostgreSQLDemoLoader.moc"
