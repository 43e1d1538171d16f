// The room tab's result list, 1,000 rooms found by a search and scrolled from the first to the last: drawing
// it runs no SQL, on either database.

#include "BackendTestCase.h"
#include "Creation.h"
#include "ListScrolling.h"
#include "RoomsFixture.h"
#include "StatementCounter.h"

#include <QTableView>
#include <QTest>

class TestRoomListScrolling : public BackendTestCase
{
    Q_OBJECT

private:
    void prepare() override
    {
        QVERIFY(db->exec(QStringLiteral("INSERT INTO SOLMA.LOCAL (C_LOCAL, APPELLATION) VALUES ('SCI', "
                                        "'SCIENCES'), ('ARC', 'Archives')")));
        QVERIFY(db->exec(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
            "INSERT INTO SOLMA.SALLES (C_LOCAL, TSAL_NUMERO, SAL_ETAGE, SAL_PORTE, SAL_CAPACITE, "
            "SAL_SUPERFICIE, SAL_RESERVABLE) "
            "SELECT CASE WHEN i % 2 = 0 THEN 'SCI' ELSE 'ARC' END, 1 + i % 3, '1', 'P' || i, i % 50, 12.5, "
            "'O' "
            "FROM n")));
    }

private slots:
    void aThousandRoomsScrolledRunNoSql()
    {
        rooms::Creation creation(db->dataBus());
        creation.initObjet();
        // A search without criteria: every bookable room.
        QPushButton *recherche = roomstest::bouton(creation, QStringLiteral("boutonRecherche"));
        recherche->click();
        recherche->click();
        auto *liste = creation.listeSalles()->findChild<QTableView *>(QStringLiteral("vueSalles"));
        QVERIFY(liste);
        QCOMPARE(liste->model()->rowCount(), 1000);

        StatementCounter statements(*db);
        QVERIFY(drawFromTopToBottom(*liste) > 10);
        QCOMPARE(statements.count(), 0);
        QCOMPARE(liste->model()->index(999, 0).data().toString(), QStringLiteral("SCIENCES"));
    }
};

QTEST_MAIN(TestRoomListScrolling)
#include "tst_RoomListScrolling.moc"
