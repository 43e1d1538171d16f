// Exact decimal arithmetic: sums and comparisons on the digits, whatever their number and sign, so that
// amounts typed as decimals (use percentages) are added without rounding.

#include "EODecimal.h"

#include <QTest>

using eo::EODecimal;

class TestEODecimal : public QObject
{
    Q_OBJECT

private slots:
    void sum_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<QString>("somme"); // "" for an invalid sum

        QTest::newRow("thirds of 100") << "66.66"
                                       << "33.34"
                                       << "100";
        QTest::newRow("carry into a new digit") << "99.99"
                                                << "0.01"
                                                << "100";
        QTest::newRow("different fraction lengths") << "0.5"
                                                    << "0.125"
                                                    << "0.625";
        QTest::newRow("integers") << "40"
                                  << "60"
                                  << "100";
        QTest::newRow("beyond double precision") << "0.00000000000000000001"
                                                 << "100"
                                                 << "100.00000000000000000001";
        QTest::newRow("more digits than a 64-bit integer holds") << "99999999999999999999"
                                                                 << "1"
                                                                 << "100000000000000000000";
        QTest::newRow("opposite signs") << "-12.5"
                                        << "2.25"
                                        << "-10.25";
        QTest::newRow("opposite signs, positive result") << "12.5"
                                                         << "-2.25"
                                                         << "10.25";
        QTest::newRow("cancelling out") << "-3.30"
                                        << "3.3"
                                        << "0";
        QTest::newRow("two negatives") << "-1.5"
                                       << "-1.5"
                                       << "-3";
        QTest::newRow("an invalid operand") << "abc"
                                            << "1"
                                            << "";
    }

    void sum()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(QString, somme);
        const EODecimal resultat = EODecimal::fromString(a) + EODecimal::fromString(b);
        QCOMPARE(resultat.isValid(), !somme.isEmpty());
        QCOMPARE(resultat.toString(), somme);
    }

    void compare_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("ordre");

        QTest::newRow("equal with other zeros") << "100.00"
                                                << "100" << 0;
        QTest::newRow("just above") << "100.01"
                                    << "100" << 1;
        QTest::newRow("far below") << "9.999"
                                   << "100" << -1;
        QTest::newRow("longer integer part") << "1000"
                                             << "999.999" << 1;
        QTest::newRow("negative below positive") << "-5"
                                                 << "3" << -1;
        QTest::newRow("negatives by magnitude") << "-5"
                                                << "-3" << -1;
        QTest::newRow("minus zero is zero") << "-0.00"
                                            << "0" << 0;
        QTest::newRow("an invalid decimal counts as zero") << ""
                                                           << "0" << 0;
    }

    void compare()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, ordre);
        QCOMPARE(EODecimal::fromString(a).compare(EODecimal::fromString(b)), ordre);
        QCOMPARE(EODecimal::fromString(b).compare(EODecimal::fromString(a)), -ordre);
    }
};

QTEST_APPLESS_MAIN(TestEODecimal)
#include "tst_eodecimal.moc"
