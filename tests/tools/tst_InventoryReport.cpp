// locavia-inventory's listings in French order, the same on the embedded database and on the server (the
// class runs once per backend): the buildings as fetched, the rooms per building as counted in memory.

#include "InventoryReport.h"
#include "TestDatabase.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTest>

class TestInventoryReport : public QObject
{
    Q_OBJECT

public:
    explicit TestInventoryReport(TestDatabase::Backend backend) : m_backend(backend) {}

private:
    const TestDatabase::Backend m_backend;
    std::unique_ptr<TestDatabase> db;

    // The building of each line the expression finds.
    static QStringList names(const QString &text, const QRegularExpression &line)
    {
        QStringList found;
        for (const QRegularExpressionMatch &match : line.globalMatch(text))
            found.append(match.captured(1).trimmed());
        return found;
    }

private slots:
    void init()
    {
        LOCAVIA_REQUIRE_BACKEND(m_backend);
        db = std::make_unique<TestDatabase>(m_backend);
        QVERIFY2(db->isValid(), qPrintable(db->error()));
        int code = 0;
        for (const char *name : {"entrepôt", "Cube", "École", "cité U", "Écluse", "CUBE B"}) {
            const QString key = QStringLiteral("B%1").arg(++code);
            QCOMPARE(db->addBuilding(key, QString::fromUtf8(name)), key);
            QVERIFY(db->addRoom(key, QStringLiteral("1"), QStringLiteral("P%1").arg(code)) > 0);
        }
        QVERIFY(db->takeAlerts().isEmpty());
    }
    void cleanup() { db.reset(); }

    void listsInFrenchOrder()
    {
        QString text;
        QTextStream out(&text);
        InventoryReport report(db->dataBus(), out);
        report.printBuildings();
        report.printRoomsPerBuilding();
        out.flush();

        const QStringList french{"cité U", "Cube", "CUBE B", "Écluse", "École", "entrepôt"};
        QCOMPARE(names(text, QRegularExpression(QStringLiteral("^  B\\d+\\s+(.+?) —"),
                                                QRegularExpression::MultilineOption)),
                 french);
        QCOMPARE(names(text, QRegularExpression(QStringLiteral("^  (.+?)\\s+\\d+ salle\\(s\\)"),
                                                QRegularExpression::MultilineOption)),
                 french);
    }
};

class TestInventoryReportOnSQLite : public TestInventoryReport
{
    Q_OBJECT
public:
    TestInventoryReportOnSQLite() : TestInventoryReport(TestDatabase::Backend::SQLite) {}
};

class TestInventoryReportOnPostgreSQL : public TestInventoryReport
{
    Q_OBJECT
public:
    TestInventoryReportOnPostgreSQL() : TestInventoryReport(TestDatabase::Backend::PostgreSQL) {}
};

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    int status = 0;
    if (TestDatabase::backendSelected(TestDatabase::Backend::SQLite)) {
        TestInventoryReportOnSQLite test;
        status |= QTest::qExec(&test, argc, argv);
    }
    if (TestDatabase::backendSelected(TestDatabase::Backend::PostgreSQL)) {
        TestInventoryReportOnPostgreSQL test;
        status |= QTest::qExec(&test, argc, argv);
    }
    return status;
}

#include "tst_InventoryReport.moc"
