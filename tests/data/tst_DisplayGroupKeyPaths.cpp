// A list whose columns follow relationships (the building name of each room) reads them with the rows, in
// a few fetches, and drawing it never runs SQL: on both databases, with 1,000 rooms scrolled through.

#include "BackendTestCase.h"
#include "EODisplayGroup.h"
#include "EOGenericRecord.h"
#include "KORDataBusOC.h"
#include "ListScrolling.h"
#include "StatementCounter.h"

#include <QTableView>
#include <QTest>

namespace
{

constexpr int rooms = 1000;
constexpr int buildings = 40;

} // namespace

class TestDisplayGroupKeyPaths : public BackendTestCase
{
    Q_OBJECT

private:
    void prepare() override
    {
        // Written in one statement each, the same SQL on both databases.
        QVERIFY(db->exec(
            QStringLiteral(
                "WITH RECURSIVE n(i) AS (SELECT 10 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                "INSERT INTO SOLMA.LOCAL (C_LOCAL, APPELLATION) SELECT 'B' || i, 'Bâtiment ' || i FROM n")
                .arg(10 + buildings - 1)));
        QVERIFY(db->exec(
            QStringLiteral(
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                "INSERT INTO SOLMA.SALLES (C_LOCAL, TSAL_NUMERO, SAL_ETAGE, SAL_PORTE, SAL_RESERVABLE) "
                "SELECT 'B' || (10 + i % %2), 1 + i % 3, '1', 'P' || i, 'O' FROM n")
                .arg(rooms)
                .arg(buildings)));
    }

private slots:
    void keyPathsAreReadWithTheRowsAndDrawingRunsNoSql()
    {
        eo::EODisplayGroup group;
        group.addColumn(QStringLiteral("salPorte"), QStringLiteral("Porte"));
        group.addColumn(QStringLiteral("local.appellation"), QStringLiteral("Bâtiment"));
        group.addColumn(QStringLiteral("toTypeSalle.tsalLibelle"), QStringLiteral("Type"));
        group.addColumn(QStringLiteral("local.toAdresseVix.ville"), QStringLiteral("Ville"));

        StatementCounter statements(*db);
        db->dataBus().fetchTable(
            &group, QStringLiteral("SallesVix"), eo::EOQualifierPtr(),
            {{QStringLiteral("salNumero"), eo::EOSortOrdering::Selector::CompareCaseInsensitiveAscending}},
            false);
        QCOMPARE(group.rowCount(), rooms);
        // The rooms, their buildings, their types, the buildings' addresses: one fetch each, not one per row.
        QVERIFY2(statements.count() >= 1 && statements.count() <= 4,
                 qPrintable(QString::number(statements.count())));

        statements.reset();
        QTableView view;
        view.setModel(&group);
        QVERIFY(drawFromTopToBottom(view) > 10);
        // A click on a column header sorts by what the rows already hold.
        group.sort(1, Qt::DescendingOrder);
        view.viewport()->grab();
        QCOMPARE(statements.count(), 0);

        // What the columns show is what the relationships lead to.
        for (int row : {0, rooms / 2, rooms - 1}) {
            const eo::EORecord room = group.displayedObjects().at(row);
            const QString code = room->valueForKey(QStringLiteral("cLocal")).toString();
            QCOMPARE(group.data(group.index(row, 1)).toString(),
                     QStringLiteral("Bâtiment %1").arg(code.mid(1)));
            QCOMPARE(group.data(group.index(row, 2)).toString(),
                     room->valueForKey(QStringLiteral("tsalLibelle")).toString());
            // No address: the key path ends in none, without a fetch per row to find it out.
            QCOMPARE(group.data(group.index(row, 3)).toString(), QString());
        }
        QCOMPARE(statements.count(), 0);
    }

    void aRoomMovedToAnotherBuildingShowsItOnceRedisplayed()
    {
        eo::EODisplayGroup group;
        group.addColumn(QStringLiteral("local.appellation"), QStringLiteral("Bâtiment"));
        db->dataBus().fetchTable(&group, QStringLiteral("SallesVix"), QStringLiteral("salPorte=%@"),
                                 {QStringLiteral("P1")}, {}, true);
        QCOMPARE(group.data(group.index(0, 0)).toString(), QStringLiteral("Bâtiment 11"));
        QVERIFY(db->exec(QStringLiteral("UPDATE SOLMA.SALLES SET C_LOCAL = 'B12' WHERE SAL_PORTE = 'P1'")));
        // Read again elsewhere (the room's form refreshes the same record), then shown again in the list.
        db->dataBus().fetchArray(QStringLiteral("SallesVix"), QStringLiteral("salPorte=%@"),
                                 {QStringLiteral("P1")}, {});
        group.redisplay();
        StatementCounter statements(*db);
        QCOMPARE(group.data(group.index(0, 0)).toString(), QStringLiteral("Bâtiment 12"));
        QCOMPARE(statements.count(), 0);
    }
};

QTEST_MAIN(TestDisplayGroupKeyPaths)
#include "tst_DisplayGroupKeyPaths.moc"
