// Saves rooms as values, without a form (rooms::RoomSaver, as the room tab and an import save them): a new
// room with its custodian, 20 equipment lines, 10 occupation lines and 10 outlets, then the same room
// modified (its equipment and occupation lines replaced, its outlets updated). Runs on the embedded database
// of LOCAVIA_BENCH_DATA and on the server of LOCAVIA_BENCH_PG_URL, each when given; the rooms saved are
// deleted at the end, so that the databases are left as they were. Prints "name: value" lines, the names
// prefixed with the backend: the median time of a save, the transactions it opens and, on the server, its
// round trips; without the change history and the conflict check (the history triggers off,
// RoomConflictCheck inactive) and with them ("..._with_history_..."), the runs alternating so that neither
// side gains from a warmer cache or loses to a fuller database; what the history and the check add to a
// creation and to a modification, in percent; and on the embedded database the same rows inserted bare in
// one transaction, with the save as a ratio of them (sqlite_save_to_bare_ratio).

#include "AlertPanel.h"
#include "BenchSupport.h"
#include "EOEditingContext.h"
#include "EOException.h"
#include "EOModelGroup.h"
#include "EOPostgreSQLAdaptor.h"
#include "EOSQLiteAdaptor.h"
#include "EOValues.h"
#include "KORDataBusOC.h"
#include "Resources.h"
#include "RoomBenchForm.h"
#include "RoomConflictCheck.h"
#include "RoomDisplayGroups.h"
#include "RoomSaver.h"
#include "SaisieSalle.h"
#include "SaveTransaction.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <sqlite3.h>
#include <vector>

namespace
{

using bench::RoomBenchForm;

struct Figures {
    std::vector<double> creations, modifications;
    std::vector<qint64> transactions, roundTrips, modificationRoundTrips;
};

// The change history's triggers of this connection, off or on; the conflict check with them. On a server
// the tables' owner turns them (owner: its data bus).
void followHistory(data::KORDataBusOC &bus, data::KORDataBusOC &owner, bool on)
{
    rooms::RoomConflictCheck::setActive(on);
    if (dynamic_cast<eo::EOPostgreSQLAdaptor *>(bus.dataBusAdaptor())) {
        // The benchmark's own database: its tables' triggers, for every session.
        owner.executeSQLQuery(
            QStringLiteral(
                "DO $$ DECLARE followed regclass; BEGIN "
                "FOR followed IN SELECT tgrelid::regclass FROM pg_trigger WHERE tgname = 'historique' "
                "LOOP EXECUTE format('ALTER TABLE %s %1 TRIGGER historique', followed); END LOOP; END $$")
                .arg(on ? QStringLiteral("ENABLE") : QStringLiteral("DISABLE")));
        return;
    }
    if (on) {
        // A new connection runs the session script again, triggers included; opened now, out of the timing.
        bus.dataBusAdaptor()->close();
        bus.executeSQLQuery(QStringLiteral("SELECT 1"));
        return;
    }
    for (const QVariantMap &trigger : bus.executeSQLQuery(QStringLiteral(
             "SELECT name FROM sqlite_temp_master WHERE type = 'trigger' AND name LIKE 'HISTORIQUE%'")))
        bus.executeSQLQuery(QStringLiteral("DROP TRIGGER temp.%1")
                                .arg(trigger.value(QStringLiteral("Attribute0")).toString()));
}

// owner: the administration role's dictionary on a server (empty: the embedded database's own connection).
// The same rows as a save of room writes, inserted bare in one transaction on the embedded database's own
// connection: what storing them durably costs at least. Answers the time in milliseconds; the rows are
// deleted afterwards, out of the timing.
double bareInsert(sqlite3 *db, const rooms::SaisieSalle &room, const QVariant &building, const QVariant &type)
{
    auto run = [db](const QByteArray &sql, const QVariantList &values) {
        sqlite3_stmt *statement = nullptr;
        sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &statement, nullptr);
        for (int i = 0; i < values.size(); ++i) {
            const QByteArray text = eo::EOValues::displayText(values.at(i)).toUtf8();
            sqlite3_bind_text(statement, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
        const int rc = sqlite3_step(statement);
        sqlite3_finalize(statement);
        return rc;
    };
    QElapsedTimer timer;
    timer.start();
    run("BEGIN IMMEDIATE", {});
    run("INSERT INTO SOLMA.SALLES (C_LOCAL, TSAL_NUMERO, SAL_ETAGE, SAL_PORTE, SAL_CAPACITE, SAL_RESERVABLE, "
        "SAL_POUR_ENSEIGNEMENT, SAL_ECRAN, SAL_RETRO, SAL_TELEVISION, SAL_OBSCUR, SAL_INSONORISEE, "
        "SAL_TABLEAU, "
        "SAL_TABLEAU_BLANC, SAL_TABLEAU_PAPIER, SAL_NO_POSTE) VALUES (?, ?, ?, ?, ?, 'O', ?, 'N', 'N', 'N', "
        "'N', "
        "'N', '0', '0', '0', '0')",
        {building, type, room.etage, room.porte, room.places, room.enseignement});
    const qint64 number = sqlite3_last_insert_rowid(db);
    run("INSERT INTO SALLE_TAV (SAL_NUMERO, TAV_SPORTIF) VALUES (?, ?)", {number, room.sportif});
    run("INSERT INTO SOLMA.DEPOSITAIRE (SAL_NUMERO, C_STRUCTURE) VALUES (?, ?)",
        {number, room.depositaires.first()});
    for (const rooms::SaisieSalle::Materiel &line : room.materiels) {
        run("INSERT INTO DETAIL_SALLE (SAL_NUMERO, TAV_TYPE, DSA_POURCENTAGE, UNI_ORDRE) VALUES (?, ?, ?, ?)",
            {number, line.type, line.quantite, line.unite});
    }
    for (const rooms::SaisieSalle::Occupation &line : room.occupations) {
        run("INSERT INTO DETAIL_POURCENTAGE (SAL_NUMERO, DET_TYPE, DET_POURCENTAGE, C_STRUCTURE) VALUES (?, "
            "?, ?, ?)",
            {number, line.type, line.pourcentage, line.departement});
    }
    for (const rooms::SaisieSalle::Prise &outlet : room.prises)
        run("INSERT INTO PRISES (SAL_NUMERO, PRI_CODE, PRI_TYPE) VALUES (?, ?, ?)",
            {number, outlet.code, outlet.type});
    const int committed = run("COMMIT", {});
    const double elapsed = double(timer.nsecsElapsed()) / 1e6;
    if (committed != SQLITE_DONE)
        std::fprintf(stderr, "sqlite : l'insertion nue a échoué : %s\n", sqlite3_errmsg(db));
    for (const char *table :
         {"SOLMA.SALLES", "SALLE_TAV", "SOLMA.DEPOSITAIRE", "DETAIL_SALLE", "DETAIL_POURCENTAGE", "PRISES"})
        run(QByteArray("DELETE FROM ") + table + " WHERE SAL_NUMERO = ?", {number});
    return elapsed;
}

// owner: the administration role's dictionary on a server (empty: the embedded database's own connection).
int runBackend(const char *name, const QVariantMap &dictionary, const QVariantMap &owner, int runs)
{
    eo::EOModel &model = *eo::EOModelGroup::defaultGroup().modelNamed(QStringLiteral("Locavia"));
    model.setConnectionDictionary(dictionary);
    eo::EOEditingContext context(eo::EOModelGroup::defaultGroup());
    data::KORDataBusOC bus;
    bus.initDataBusWithModel(model.name(), &context);
    auto *server = dynamic_cast<eo::EOPostgreSQLAdaptor *>(bus.dataBusAdaptor());
    auto *embedded = dynamic_cast<eo::EOSQLiteAdaptor *>(bus.dataBusAdaptor());
    std::unique_ptr<bench::SideBus> administration;
    if (!owner.isEmpty())
        administration = std::make_unique<bench::SideBus>(model, owner);
    data::KORDataBusOC &byHand = administration ? administration->bus() : bus;
    const RoomBenchForm::References refs = RoomBenchForm::references(bus);

    // The room saved as a value, without a form: what a save costs itself.
    rooms::RoomDisplayGroups tables;
    rooms::RoomSaver saver(bus, tables);
    rooms::RoomConflictCheck check(bus);
    qint64 transactions = 0;
    data::SaveTransaction::setJournal([&transactions](const QString &event) {
        if (event == u"begin")
            ++transactions;
    });

    Figures without, with; // the history and the conflict check
    std::vector<double> bare;
    QList<QVariant> saved;
    QStringList alerts;
    platform::setAlertPresenter([&alerts](const QString &, const QString &message, const QString &) {
        alerts.append(message);
        return 1;
    });
    // The history followed again however the runs end: the server keeps a disabled trigger for good.
    const auto restore = qScopeGuard([&bus, &byHand] { followHistory(bus, byHand, true); });
    for (int run = 0; run < runs; ++run) {
        const bool history = run % 2 == 1;
        followHistory(bus, byHand, history);
        Figures &figures = history ? with : without;
        rooms::SaisieSalle room =
            RoomBenchForm::room(refs, QStringLiteral("M%1").arg(run), 700000 + run * 100);

        const qint64 roundTripsBefore = server ? server->roundTrips() : 0;
        transactions = 0;
        QVariant number;
        QElapsedTimer timer;
        timer.start();
        const rooms::RoomSaver::Issue created = saver.creer(room, &number);
        figures.creations.push_back(double(timer.nsecsElapsed()) / 1e6);
        figures.transactions.push_back(transactions);
        if (server)
            figures.roundTrips.push_back(server->roundTrips() - roundTripsBefore);
        if (created != rooms::RoomSaver::Issue::enregistree || !alerts.isEmpty()) {
            std::fprintf(stderr, "%s : la salle n'a pas été enregistrée : %s\n", name,
                         qPrintable(alerts.join(QLatin1String(" | "))));
            return 1;
        }
        saved.append(number);
        // The same rows inserted bare, beside a save that writes no history either.
        if (embedded && !history) {
            const eo::EORecord building = tables.tableBatiments.displayedObjects().value(0);
            const eo::EORecord type = tables.tableTypeSalle.displayedObjects().value(0);
            bare.push_back(
                bareInsert(embedded->handle(),
                           RoomBenchForm::room(refs, QStringLiteral("N%1").arg(run), 800000 + run * 100),
                           building->valueForKey(QStringLiteral("cLocal")),
                           type->valueForKey(QStringLiteral("tsalNumero"))));
        }

        // The same room modified: its outlets by their stored keys, every list written again.
        room.numero = number;
        room.prises.clear();
        for (const eo::EORecord &outlet :
             bus.fetchArray(QStringLiteral("Prises"), QStringLiteral("salNumero=%@"), {number}, {}))
            room.prises.append(rooms::SaisieSalle::prise(outlet));
        RoomBenchForm::setLists(room, refs, 1);
        check.prendre(number);
        const qint64 modificationRoundTripsBefore = server ? server->roundTrips() : 0;
        timer.restart();
        const rooms::RoomSaver::Issue modified = saver.modifier(room, check);
        figures.modifications.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (server)
            figures.modificationRoundTrips.push_back(server->roundTrips() - modificationRoundTripsBefore);
        check.oublier();
        if (modified != rooms::RoomSaver::Issue::enregistree || !alerts.isEmpty()) {
            std::fprintf(stderr, "%s : la modification a échoué : %s\n", name,
                         qPrintable(alerts.join(QLatin1String(" | "))));
            return 1;
        }
    }
    data::SaveTransaction::setJournal({});
    // The rooms and their history go: the database is left as it was.
    for (const QVariant &room : std::as_const(saved)) {
        bus.executeProcedure(QStringLiteral("delSalles"), {{QStringLiteral("salnumero"), room}});
        byHand.executeSQLQuery(QStringLiteral("DELETE FROM HISTORIQUE WHERE SAL_NUMERO = ?"), {room});
    }

    std::printf("%s_saves: %d\n", name, runs);
    const auto print = [name, server](const char *suffix, Figures &figures) {
        std::sort(figures.transactions.begin(), figures.transactions.end());
        std::sort(figures.roundTrips.begin(), figures.roundTrips.end());
        std::sort(figures.modificationRoundTrips.begin(), figures.modificationRoundTrips.end());
        std::printf("%s_save_room%s_median_ms: %.1f\n", name, suffix, bench::median(figures.creations));
        std::printf("%s_save_room%s_transactions: %lld\n", name, suffix,
                    (long long)figures.transactions[figures.transactions.size() / 2]);
        if (server) {
            std::printf("%s_save_room%s_round_trips: %lld\n", name, suffix,
                        (long long)figures.roundTrips[figures.roundTrips.size() / 2]);
        }
        std::printf("%s_modify_room%s_median_ms: %.1f\n", name, suffix, bench::median(figures.modifications));
        if (server) {
            std::printf("%s_modify_room%s_round_trips: %lld\n", name, suffix,
                        (long long)figures.modificationRoundTrips[figures.modificationRoundTrips.size() / 2]);
        }
    };
    print("", without);
    print("_with_history", with);
    const double added = 100.0 * (bench::median(with.creations) / bench::median(without.creations) - 1.0);
    std::printf("%s_save_room_history_added_percent: %.0f\n", name, added);
    // A modification pays for the conflict check as well as for the history.
    const double addedToModification =
        100.0 * (bench::median(with.modifications) / bench::median(without.modifications) - 1.0);
    std::printf("%s_modify_room_history_added_percent: %.0f\n", name, addedToModification);
    if (!bare.empty()) {
        // One commit a save: the save costs little more than storing its rows durably.
        std::printf("%s_bare_insert_median_ms: %.1f\n", name, bench::median(bare));
        std::printf("%s_save_to_bare_ratio: %.2f\n", name,
                    bench::median(without.creations) / bench::median(bare));
    }
    return alerts.isEmpty() ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QString directory = qEnvironmentVariable("LOCAVIA_BENCH_DATA");
    const QString url = qEnvironmentVariable("LOCAVIA_BENCH_PG_URL");
    if (directory.isEmpty() && url.isEmpty()) {
        std::fprintf(stderr,
                     "LOCAVIA_BENCH_DATA ou LOCAVIA_BENCH_PG_URL doit désigner une base de mesure.\n");
        return 2;
    }
    const int runs = qEnvironmentVariableIntValue("LOCAVIA_BENCH_RUNS") > 0
                         ? 3 * qEnvironmentVariableIntValue("LOCAVIA_BENCH_RUNS")
                         : 42;
    int status = 0;
    try {
        eo::EOModel &model = eo::EOModelGroup::defaultGroup().addModelWithFile(
            platform::resourcePath(QStringLiteral("models/Locavia.json")));
        const QVariantMap dictionary = model.connectionDictionary();
        if (!directory.isEmpty()) {
            QVariantMap embedded = dictionary;
            embedded.insert(QStringLiteral("URL"), QStringLiteral("sqlite://") +
                                                       QDir(directory).absolutePath() +
                                                       QStringLiteral("/locavia.db"));
            status |= runBackend("sqlite", embedded, {}, runs);
        }
        if (!url.isEmpty()) {
            const QVariantMap server = bench::serverDictionary(dictionary, url);
            status |= runBackend("postgresql", server, bench::ownerDictionary(server), runs);
        }
    } catch (const eo::EOException &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    return status;
}
