// The writes of one action as one transaction in steps, on the embedded database and on the server (where
// they travel in one round trip): each step is stored wholly or not at all, a refused step goes back to where
// it began and the next one runs, a refused essential step or a refused commit leaves nothing, and a
// transaction open on the data bus is their beginning.

#include "BackendTestCase.h"
#include "EOPostgreSQLAdaptor.h"
#include "KORDataBusOC.h"
#include "TestDatabase.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QTest>

namespace
{

using Steps = eo::EOTransactionSteps;

// A unit as a step writes it: "!x" is refused (no label), "?x" calls a procedure the model lacks, and "late"
// is refused by the server at the commit only (see the deferred check below).
Steps::Call unit(const QString &code)
{
    if (code.startsWith(u'?'))
        return {QStringLiteral("insNulle"), nullptr, {}};
    const bool refused = code.startsWith(u'!');
    return {QStringLiteral("insUnite"),
            nullptr,
            {{QStringLiteral("uniabrev"), refused ? code.mid(1) : code},
             {QStringLiteral("unilibelle"), refused ? QString() : QStringLiteral("lot %1").arg(code)}}};
}

// Steps separated by "|", calls by ","; a step that begins with "*" is essential.
Steps steps(const QString &description)
{
    Steps transaction;
    for (QString step : description.split(u'|')) {
        Steps::Step written;
        written.essential = step.startsWith(u'*');
        if (written.essential)
            step.remove(0, 1);
        for (const QString &code : step.split(u','))
            written.calls.push_back(unit(code));
        transaction.steps.push_back(written);
    }
    return transaction;
}

// "committed" or "rolled back", then each step: "ok", or "refused@<call>".
QString described(const Steps::Result &result)
{
    QStringList seen{result.committed() ? QStringLiteral("committed") : QStringLiteral("rolled back")};
    for (const Steps::StepOutcome &step : result.steps)
        seen.append(step.refused ? QStringLiteral("refused@%1").arg(step.refusedCall) : QStringLiteral("ok"));
    return seen.join(u' ');
}

} // namespace

class TestTransactionSteps : public BackendTestCase
{
    Q_OBJECT

    bool onServer() const { return backend() == TestDatabase::Backend::PostgreSQL; }
    eo::EOPostgreSQLAdaptor &server() const
    {
        return *static_cast<eo::EOPostgreSQLAdaptor *>(db->dataBus().dataBusAdaptor());
    }

    QString storedUnits() const
    {
        QStringList codes;
        for (const QVariantMap &row :
             db->dataBus().executeSQLQuery(QStringLiteral("SELECT UNI_ABREV FROM UNITE ORDER BY UNI_ABREV")))
            codes.append(row.value(QStringLiteral("Attribute0")).toString());
        return codes.join(u',');
    }

    Steps::Result run(const QString &description, QString *journal = nullptr)
    {
        Steps transaction = steps(description);
        if (journal)
            transaction.sent = [journal](const QString &event) { *journal += event + u' '; };
        return db->dataBus().executeTransaction(transaction, QStringLiteral("l'essai"));
    }

private slots:
    void eachStepWhollyOrNotAtAll_data()
    {
        QTest::addColumn<QString>("before"); // a unit written in a transaction opened before the steps
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("stored");

        QTest::newRow("all stored") << ""
                                    << "a,b|c|d"
                                    << "committed ok ok ok"
                                    << "a,b,c,d";
        QTest::newRow("a refused call goes back to its step's beginning") << ""
                                                                          << "a|b,!c,d|e"
                                                                          << "committed ok refused@1 ok"
                                                                          << "a,e";
        QTest::newRow("two refused steps") << ""
                                           << "!a|b|c,!d|e"
                                           << "committed refused@0 ok refused@1 ok"
                                           << "b,e";
        QTest::newRow("a procedure the model lacks") << ""
                                                     << "a|b,?x|c"
                                                     << "committed ok refused@1 ok"
                                                     << "a,c";
        QTest::newRow("an essential step refused leaves nothing") << ""
                                                                  << "a|*b,!c|d"
                                                                  << "rolled back ok refused@1 ok"
                                                                  << "";
        QTest::newRow("the open transaction carried on") << "o"
                                                         << "a|b"
                                                         << "committed ok ok"
                                                         << "a,b,o";
        QTest::newRow("the open transaction with a refused step") << "o"
                                                                  << "a,!b|c"
                                                                  << "committed refused@1 ok"
                                                                  << "c,o";
        QTest::newRow("the open transaction and an essential refusal") << "o"
                                                                       << "*a,!b|c"
                                                                       << "rolled back refused@1 ok"
                                                                       << "";
    }

    void eachStepWhollyOrNotAtAll()
    {
        QFETCH(QString, before);
        QFETCH(QString, steps);
        QFETCH(QString, outcome);
        QFETCH(QString, stored);
        auto &bus = db->dataBus();
        if (!before.isEmpty()) {
            bus.beginTransaction();
            const Steps::Call call = unit(before);
            QVERIFY(bus.executeProcedureSansTransaction(call.name, call.values));
        }
        const Steps::Result result = run(steps);
        QCOMPARE(described(result), outcome);
        // A refusal says why, in French.
        for (const Steps::StepOutcome &step : result.steps)
            QCOMPARE(step.message.isEmpty(), !step.refused);
        QVERIFY(!bus.hasOpenTransaction());
        QCOMPARE(storedUnits(), stored);
        // Nothing is shown, and the connection is ready for the next call.
        QCOMPARE(db->takeAlerts().size(), 0);
        QVERIFY(bus.executeProcedure(QStringLiteral("insUnite"), unit(QStringLiteral("next")).values));
    }

    void theRefusalsSayWhy()
    {
        const Steps::Result result = run(QStringLiteral("!a|?x|c"));
        QVERIFY2(result.steps[0].message.contains(QStringLiteral("libellé")),
                 qPrintable(result.steps[0].message));
        QVERIFY2(result.steps[1].message.contains(QStringLiteral("« insNulle » n'existe pas")),
                 qPrintable(result.steps[1].message));
        QVERIFY(result.steps[2].outputs.value(QStringLiteral("uniOrdre")).toLongLong() > 0);
    }

    // On the server the steps and the commit go in one round trip, and each refused step costs one more; a
    // commit refused there leaves nothing.
    void onTheServerAtOnce_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<qint64>("roundTrips");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("journal");

        QTest::newRow("nothing refused") << "a,b|c|d" << qint64(1) << "committed ok ok ok"
                                         << "a,b,c,d"
                                         << "begin insUnite insUnite insUnite insUnite commit";
        QTest::newRow("one step refused") << "a|!b|c" << qint64(2) << "committed ok refused@0 ok"
                                          << "a,c"
                                          << "begin insUnite insUnite insUnite commit rollback step";
        QTest::newRow("refused at the commit") << "a|late|c" << qint64(1) << "rolled back ok ok ok"
                                               << ""
                                               << "begin insUnite insUnite insUnite commit";
    }

    void onTheServerAtOnce()
    {
        if (!onServer())
            return; // the embedded database has no round trips, and no deferred check
        QFETCH(QString, steps);
        QFETCH(qint64, roundTrips);
        QFETCH(QString, outcome);
        QFETCH(QString, stored);
        QFETCH(QString, journal);
        // A check the server makes at the commit only: the unit "late" is refused there.
        QVERIFY(db->exec(QStringLiteral(
            "DROP TRIGGER IF EXISTS refus_tardif ON locavia.UNITE;"
            "CREATE OR REPLACE FUNCTION locavia.refus_tardif() RETURNS trigger LANGUAGE plpgsql AS "
            "$$ BEGIN IF NEW.UNI_ABREV = 'late' THEN RAISE EXCEPTION 'Refusée à la validation'; END IF; "
            "RETURN NULL; END $$;"
            "CREATE CONSTRAINT TRIGGER refus_tardif AFTER INSERT ON locavia.UNITE DEFERRABLE INITIALLY "
            "DEFERRED FOR EACH ROW EXECUTE FUNCTION locavia.refus_tardif();")));
        const auto dropCheck = qScopeGuard([this] {
            db->exec(QStringLiteral("DROP TRIGGER IF EXISTS refus_tardif ON locavia.UNITE;"
                                    "DROP FUNCTION IF EXISTS locavia.refus_tardif();"));
        });
        db->dataBus().executeSQLQuery(QStringLiteral("SELECT 1"));
        const qint64 before = server().roundTrips();
        QString sent;
        const Steps::Result result = run(steps, &sent);
        QCOMPARE(server().roundTrips() - before, roundTrips);
        QCOMPARE(described(result), outcome);
        QCOMPARE(storedUnits(), stored);
        QCOMPARE(sent.trimmed(), journal);
        if (!result.committed())
            QVERIFY2(result.message.contains(QStringLiteral("Refusée à la validation")),
                     qPrintable(result.message));
    }

    // Steps far larger than what the connection buffers: written while the first answers are read.
    void manyStepsOnTheServer()
    {
        if (!onServer())
            return; // the embedded database has no connection to fill
        Steps transaction;
        for (int t = 0; t < 800; ++t)
            transaction.steps.push_back(
                {{unit(QStringLiteral("a%1").arg(t)), unit(QStringLiteral("b%1").arg(t))}});
        // The last one refused: its refusal is read after all the others.
        transaction.steps.push_back({{unit(QStringLiteral("z")), unit(QStringLiteral("!y"))}});
        db->dataBus().executeSQLQuery(QStringLiteral("SELECT 1"));
        const qint64 before = server().roundTrips();
        const Steps::Result result = db->dataBus().executeTransaction(transaction, QStringLiteral("l'essai"));
        QCOMPARE(server().roundTrips() - before, qint64(2));
        QVERIFY(result.committed());
        QCOMPARE(result.steps.back().refusedCall, 1);
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM UNITE")).toInt(), 1600);
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    TestTransactionSteps test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_TransactionSteps.moc"
