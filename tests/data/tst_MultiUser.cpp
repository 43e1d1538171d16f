// Several clients at once on one server: eight processes search, create, modify and delete rooms through the
// data bus for a bounded time (LOCAVIA_MULTIUSER_SECONDS, 10 by default). Afterwards no client saw an error
// it did not cause, every room a client committed is read back identically by this process (another client),
// no write is lost, and the server holds no half-written room nor any line without its room. The operations
// done and the errors seen are printed.

#include "EOModelGroup.h"
#include "EONull.h"
#include "TestDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <vector>

namespace
{

constexpr int Clients = 8;

QStringList sortedLines(const QList<QStringList> &rows)
{
    QStringList lines;
    for (const QStringList &row : rows)
        lines.append(row.join(QLatin1Char('/')));
    lines.sort();
    return lines;
}

QString number(const QVariant &value)
{
    return eo::isNullOrNone(value) ? QStringLiteral("<NULL>") : QString::number(value.toDouble());
}

} // namespace

class TestMultiUser : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> db;

    QList<QStringList> rows(const QString &sql, const QVariantList &bindings, int columns)
    {
        QList<QStringList> result;
        for (const QVariantMap &row : db->dataBus().executeSQLQuery(sql, bindings)) {
            QStringList values;
            for (int c = 0; c < columns; ++c) {
                const QVariant value = row.value(QStringLiteral("Attribute%1").arg(c));
                values.append(eo::isNullOrNone(value) ? QStringLiteral("<NULL>") : value.toString());
            }
            result.append(values);
        }
        return result;
    }

private slots:
    void init()
    {
        LOCAVIA_REQUIRE_BACKEND(TestDatabase::Backend::PostgreSQL);
        db = std::make_unique<TestDatabase>(TestDatabase::Backend::PostgreSQL);
        QVERIFY2(db->isValid(), qPrintable(db->error()));
    }
    void cleanup() { db.reset(); }

    void clientsAtOnceLoseNothing()
    {
        auto &bus = db->dataBus();
        for (const QString &code : {QStringLiteral("BA"), QStringLiteral("BB"), QStringLiteral("BC")})
            QCOMPARE(db->addBuilding(code, QStringLiteral("BATIMENT ") + code), code);
        QVariantMap unit;
        QVERIFY(bus.executeProcedure(unit, QStringLiteral("insUnite"),
                                     {{"uniabrev", "u"}, {"unilibelle", "unité"}}));
        QVariantMap family;
        QVERIFY(bus.executeProcedure(
            family, QStringLiteral("insTypeMat"),
            {{"tavlibelle", "Mobilier"}, {"tavniveau", 1}, {"tavpere", -1}, {"tavuniteOrdre", -1}}));
        for (const char *label : {"Table", "Chaise", "Armoire", "Tableau", "Écran", "Projecteur"}) {
            QVERIFY(bus.executeProcedure(QStringLiteral("insTypeMat"),
                                         {{"tavlibelle", label},
                                          {"tavniveau", 2},
                                          {"tavpere", family.value("tavType")},
                                          {"tavuniteOrdre", unit.value("uniOrdre")}}));
        }

        const QString client =
            QCoreApplication::applicationDirPath() + QStringLiteral("/locavia_multiuser_client");
        const int seconds = qEnvironmentVariableIsSet("LOCAVIA_MULTIUSER_SECONDS")
                                ? qEnvironmentVariableIntValue("LOCAVIA_MULTIUSER_SECONDS")
                                : 10;
        QTemporaryDir reports;
        QVERIFY(reports.isValid());
        std::vector<std::unique_ptr<QProcess>> processes;
        QElapsedTimer timer;
        timer.start();
        for (int index = 1; index <= Clients; ++index) {
            auto process = std::make_unique<QProcess>();
            process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            process->start(client, {"--url", db->connectionDictionary().value("URL").toString(), "--index",
                                    QString::number(index), "--seconds", QString::number(seconds), "--report",
                                    reports.filePath(QStringLiteral("client%1.json").arg(index))});
            QVERIFY2(process->waitForStarted(10000), qPrintable(process->errorString()));
            processes.push_back(std::move(process));
        }
        for (auto &process : processes) {
            QVERIFY2(process->waitForFinished((seconds + 120) * 1000), "a client did not finish");
            QCOMPARE(process->exitStatus(), QProcess::NormalExit);
            QCOMPARE(process->exitCode(), 0);
        }
        const qint64 elapsed = timer.elapsed();

        // What each client did and believes.
        QMap<QString, int> operations;
        int caused = 0;
        QStringList unexpected;
        QList<QJsonObject> rooms;
        for (int index = 1; index <= Clients; ++index) {
            QFile file(reports.filePath(QStringLiteral("client%1.json").arg(index)));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QJsonObject report = QJsonDocument::fromJson(file.readAll()).object();
            const QJsonObject done = report.value("operations").toObject();
            for (auto it = done.constBegin(); it != done.constEnd(); ++it)
                operations[it.key()] += it.value().toInt();
            caused += report.value("causedErrors").toInt();
            for (const QJsonValue &message : report.value("unexpectedErrors").toArray())
                unexpected.append(QStringLiteral("client %1 : %2").arg(index).arg(message.toString()));
            for (const QJsonValue &room : report.value("rooms").toArray())
                rooms.append(room.toObject());
        }
        int total = 0;
        for (const int count : std::as_const(operations))
            total += count;
        qInfo("%d clients, %lld ms : %d opérations (recherches %d, créations %d, modifications %d, "
              "suppressions %d, refus voulus %d) ; erreurs provoquées %d, erreurs non provoquées %lld ; %lld "
              "salles à l'arrivée",
              Clients, elapsed, total, operations.value("search"), operations.value("create"),
              operations.value("modify"), operations.value("delete"), operations.value("refusal"), caused,
              qlonglong(unexpected.size()), qlonglong(rooms.size()));
        for (const QString &message : std::as_const(unexpected))
            qInfo("%s", qPrintable(message));
        QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(QLatin1Char('\n'))));
        // Enough happened at once to mean something.
        QVERIFY2(operations.value("create") >= Clients && operations.value("modify") >= Clients,
                 "the clients did too little");
        QCOMPARE(caused, operations.value("refusal"));

        // Every room a client committed, read back by this process, value by value and line by line.
        for (const QJsonObject &room : std::as_const(rooms)) {
            const qint64 key = room.value("number").toInteger();
            const QString where = QStringLiteral("salle %1 (%2)").arg(key).arg(room.value("door").toString());
            const eo::EORecord stored =
                db->dataBus().fetchObject(QStringLiteral("SallesVix"), QStringLiteral("salNumero=%@"), {key});
            QVERIFY2(stored, qPrintable(where + QStringLiteral(" perdue")));
            QCOMPARE(stored->valueForKey("cLocal").toString(), room.value("building").toString());
            QCOMPARE(stored->valueForKey("salEtage").toString(), room.value("floor").toString());
            QCOMPARE(stored->valueForKey("salPorte").toString(), room.value("door").toString());
            QCOMPARE(stored->valueForKey("salCapacite").toInt(), room.value("capacity").toInt());
            QCOMPARE(stored->valueForKey("salDescriptif").toString(), room.value("description").toString());
            QCOMPARE(number(stored->valueForKey("tavHauteurMoyenPlafond")),
                     QString::number(room.value("ceiling").toString().toDouble()));
            QCOMPARE(number(stored->valueForKey("tavAccueil")),
                     QString::number(room.value("reception").toString().toDouble()));

            QList<QStringList> expected;
            for (const QJsonValue &line : room.value("equipment").toArray()) {
                const QJsonArray values = line.toArray();
                expected.append({QString::number(values.at(0).toInteger()),
                                 QString::number(values.at(1).toInteger()),
                                 QString::number(values.at(2).toInteger())});
            }
            QCOMPARE(sortedLines(rows("SELECT TAV_TYPE, DSA_POURCENTAGE, UNI_ORDRE FROM DETAIL_SALLE WHERE "
                                      "SAL_NUMERO = ?",
                                      {key}, 3)),
                     sortedLines(expected));
            expected.clear();
            for (const QJsonValue &line : room.value("occupation").toArray()) {
                const QJsonArray values = line.toArray();
                expected.append({QString::number(values.at(0).toInteger()),
                                 QString::number(values.at(1).toInteger()), QStringLiteral("SCI")});
            }
            QCOMPARE(sortedLines(rows("SELECT DET_TYPE, DET_POURCENTAGE, C_STRUCTURE FROM DETAIL_POURCENTAGE "
                                      "WHERE SAL_NUMERO = ?",
                                      {key}, 3)),
                     sortedLines(expected));
            expected.clear();
            for (const QJsonValue &line : room.value("outlets").toArray()) {
                const QJsonArray values = line.toArray();
                expected.append({QString::number(values.at(0).toInteger()), values.at(1).toString(),
                                 values.at(2).toString()});
            }
            QCOMPARE(sortedLines(rows("SELECT PRI_ORDRE, PRI_CODE, PRI_TYPE FROM PRISES WHERE SAL_NUMERO = ?",
                                      {key}, 3)),
                     sortedLines(expected));
        }

        // Nothing more on the server than what the clients committed: no room they deleted, no room left
        // half-written (each has its department complement), no line without its room.
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM SOLMA.SALLES")).toInt(), rooms.size());
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM SOLMA.SALLES s WHERE NOT EXISTS "
                                           "(SELECT 1 FROM SALLE_TAV t WHERE t.SAL_NUMERO = s.SAL_NUMERO)"))
                     .toInt(),
                 0);
        for (const char *table : {"DETAIL_SALLE", "DETAIL_POURCENTAGE", "PRISES", "SALLE_TAV"}) {
            QVERIFY2(db->scalar(QStringLiteral("SELECT COUNT(*) FROM %1 d WHERE NOT EXISTS (SELECT 1 FROM "
                                               "SOLMA.SALLES s WHERE s.SAL_NUMERO = d.SAL_NUMERO)")
                                    .arg(QLatin1String(table)))
                             .toInt() == 0,
                     table);
        }
        QVERIFY(db->takeAlerts().isEmpty());
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    TestMultiUser test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_MultiUser.moc"
