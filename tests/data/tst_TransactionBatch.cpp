// Transactions of procedure calls handed to the data bus at once, on the embedded database and on the server
// (where they travel in one round trip): each is stored wholly or not at all, a refused call stops its own
// transaction only, a transaction open on the data bus is carried on by the first one, and a commit the
// server refuses counts as a refusal.

#include "BackendTestCase.h"
#include "EOPostgreSQLAdaptor.h"
#include "KORDataBusOC.h"
#include "TestDatabase.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QTest>

namespace
{

// A unit as the batch writes it: "!x" is refused (no label), "?x" calls a procedure the model lacks, and
// "late" is refused by the server at the commit only (see the deferred check below).
eo::EOTransactionBatch::Call unit(const QString &code)
{
    if (code.startsWith(u'?'))
        return {QStringLiteral("insNulle"), nullptr, {}};
    const bool refused = code.startsWith(u'!');
    return {QStringLiteral("insUnite"),
            nullptr,
            {{QStringLiteral("uniabrev"), refused ? code.mid(1) : code},
             {QStringLiteral("unilibelle"), refused ? QString() : QStringLiteral("lot %1").arg(code)}}};
}

// "stored", "refused@<call>" (-1: the commit), "unknown".
QString described(const eo::EOTransactionBatch::Outcome &outcome)
{
    switch (outcome.state) {
    case eo::EOTransactionBatch::Outcome::State::Committed:
        return QStringLiteral("stored");
    case eo::EOTransactionBatch::Outcome::State::Refused:
        return QStringLiteral("refused@%1").arg(outcome.refusedCall);
    case eo::EOTransactionBatch::Outcome::State::Unknown:
        break;
    }
    return QStringLiteral("unknown");
}

} // namespace

class TestTransactionBatch : public BackendTestCase
{
    Q_OBJECT

    bool onServer() const { return backend() == TestDatabase::Backend::PostgreSQL; }

    QString storedUnits() const
    {
        QStringList codes;
        for (const QVariantMap &row :
             db->dataBus().executeSQLQuery(QStringLiteral("SELECT UNI_ABREV FROM UNITE ORDER BY UNI_ABREV")))
            codes.append(row.value(QStringLiteral("Attribute0")).toString());
        return codes.join(u',');
    }

    std::vector<eo::EOTransactionBatch::Outcome> run(const QString &transactions, QString *journal = nullptr)
    {
        eo::EOTransactionBatch batch;
        for (const QString &transaction : transactions.split(u'|')) {
            std::vector<eo::EOTransactionBatch::Call> calls;
            for (const QString &code : transaction.split(u','))
                calls.push_back(unit(code));
            batch.transactions.push_back(calls);
        }
        if (journal)
            batch.sent = [journal](const QString &event) { *journal += event + u' '; };
        return db->dataBus().executeTransactions(batch, QStringLiteral("l'essai"));
    }

private slots:
    void eachTransactionWhollyOrNotAtAll_data()
    {
        QTest::addColumn<QString>("before"); // a unit written in a transaction opened before the batch
        QTest::addColumn<QString>("transactions");
        QTest::addColumn<QString>("outcomes");
        QTest::addColumn<QString>("stored");

        QTest::newRow("all stored") << ""
                                    << "a,b|c|d"
                                    << "stored stored stored"
                                    << "a,b,c,d";
        QTest::newRow("a refused call stops its own transaction only") << ""
                                                                       << "a|b,!c,d|e"
                                                                       << "stored refused@1 stored"
                                                                       << "a,e";
        QTest::newRow("the first call refused") << ""
                                                << "!a,b|c"
                                                << "refused@0 stored"
                                                << "c";
        QTest::newRow("a procedure the model lacks") << ""
                                                     << "a|b,?x|c"
                                                     << "stored refused@1 stored"
                                                     << "a,c";
        QTest::newRow("the open transaction carried on") << "o"
                                                         << "a|b"
                                                         << "stored stored"
                                                         << "a,b,o";
        QTest::newRow("the open transaction refused with its last calls") << "o"
                                                                          << "a,!b|c"
                                                                          << "refused@1 stored"
                                                                          << "c";
    }

    void eachTransactionWhollyOrNotAtAll()
    {
        QFETCH(QString, before);
        QFETCH(QString, transactions);
        QFETCH(QString, outcomes);
        QFETCH(QString, stored);
        auto &bus = db->dataBus();
        if (!before.isEmpty()) {
            bus.beginTransaction();
            const eo::EOTransactionBatch::Call call = unit(before);
            QVERIFY(bus.executeProcedureSansTransaction(call.name, call.values));
        }
        QStringList seen;
        const std::vector<eo::EOTransactionBatch::Outcome> result = run(transactions);
        for (const eo::EOTransactionBatch::Outcome &outcome : result) {
            seen.append(described(outcome));
            // A refusal says why, in French; a stored transaction has nothing to say.
            QCOMPARE(outcome.message.isEmpty(),
                     outcome.state == eo::EOTransactionBatch::Outcome::State::Committed);
        }
        QCOMPARE(seen.join(u' '), outcomes);
        QVERIFY(!bus.hasOpenTransaction());
        QCOMPARE(storedUnits(), stored);
        // The batch shows nothing itself, and the connection is ready for the next call.
        QCOMPARE(db->takeAlerts().size(), 0);
        QVERIFY(bus.executeProcedure(QStringLiteral("insUnite"), unit(QStringLiteral("next")).values));
    }

    void theRefusalsSayWhy()
    {
        const std::vector<eo::EOTransactionBatch::Outcome> result = run(QStringLiteral("!a|?x|c"));
        QCOMPARE(result.size(), size_t(3));
        QVERIFY2(result[0].message.contains(QStringLiteral("libellé")), qPrintable(result[0].message));
        QVERIFY2(result[1].message.contains(QStringLiteral("« insNulle » n'existe pas")),
                 qPrintable(result[1].message));
        QVERIFY(result[2].outputs.value(QStringLiteral("uniOrdre")).toLongLong() > 0);
    }

    // On the server the whole batch is one round trip, and a commit refused there is a refusal of its own
    // transaction only.
    void onTheServerAtOnce()
    {
        if (!onServer())
            return; // the embedded database has no round trips, and no deferred check
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
        auto *adaptor = static_cast<eo::EOPostgreSQLAdaptor *>(db->dataBus().dataBusAdaptor());
        db->dataBus().executeSQLQuery(QStringLiteral("SELECT 1"));
        const qint64 before = adaptor->roundTrips();
        QString journal;
        const std::vector<eo::EOTransactionBatch::Outcome> result =
            run(QStringLiteral("a,b|late|!c,d|e"), &journal);
        QCOMPARE(adaptor->roundTrips() - before, qint64(1));
        QStringList seen;
        for (const eo::EOTransactionBatch::Outcome &outcome : result)
            seen.append(described(outcome));
        QCOMPARE(seen.join(u' '), QStringLiteral("stored refused@-1 refused@0 stored"));
        QVERIFY2(result[1].message.contains(QStringLiteral("Refusée à la validation")),
                 qPrintable(result[1].message));
        QCOMPARE(storedUnits(), QStringLiteral("a,b,e"));
        // Everything went at once, commits included.
        QCOMPARE(journal.trimmed(),
                 QStringLiteral("begin insUnite insUnite commit begin insUnite commit begin insUnite "
                                "insUnite commit begin insUnite commit"));
    }

    // A batch far larger than what the connection buffers: written while the first answers are read.
    void aLongBatchOnTheServer()
    {
        if (!onServer())
            return; // the embedded database has no connection to fill
        eo::EOTransactionBatch batch;
        for (int t = 0; t < 800; ++t) {
            batch.transactions.push_back(
                {unit(QStringLiteral("a%1").arg(t)), unit(QStringLiteral("b%1").arg(t))});
        }
        // The last one refused: its refusal is read after all the others.
        batch.transactions.push_back({unit(QStringLiteral("z")), unit(QStringLiteral("!y"))});
        auto *adaptor = static_cast<eo::EOPostgreSQLAdaptor *>(db->dataBus().dataBusAdaptor());
        db->dataBus().executeSQLQuery(QStringLiteral("SELECT 1"));
        const qint64 before = adaptor->roundTrips();
        const std::vector<eo::EOTransactionBatch::Outcome> result =
            db->dataBus().executeTransactions(batch, QStringLiteral("l'essai"));
        QCOMPARE(adaptor->roundTrips() - before, qint64(1));
        QCOMPARE(result.size(), size_t(801));
        QCOMPARE(std::count_if(result.cbegin(), result.cend(),
                               [](const eo::EOTransactionBatch::Outcome &outcome) {
                                   return outcome.state == eo::EOTransactionBatch::Outcome::State::Committed;
                               }),
                 800);
        QCOMPARE(described(result.back()), QStringLiteral("refused@1"));
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM UNITE")).toInt(), 1600);
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    TestTransactionBatch test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_TransactionBatch.moc"
