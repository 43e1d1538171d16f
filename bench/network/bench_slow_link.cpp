// The server backend over a slow link: the room tab reaches the department's server through a relay that
// holds every chunk for 0, 5 and 15 ms in each direction (a campus VPN), and what a user waits for is
// measured at each delay: a room saved (the same 42 procedure calls as bench_save_room: the record and its
// complement, 20 equipment lines, 10 occupation lines, 10 outlets), the form filled when the selection moves
// to another room, the search of every bookable room, and the round trips of the tab's start-up. Round trips
// are counted by the relay itself. Needs LOCAVIA_BENCH_PG_URL (scripts/bench starts a server); the rooms
// saved are deleted at the end. Prints "name: value" lines, each name prefixed with the delay
// ("at_15ms_save_room_ms"); at the non-zero delays, the save and the move also as a ratio to the relay's
// round-trip time (twice the delay).

#include "AlertPanel.h"
#include "BenchSupport.h"
#include "Creation.h"
#include "EOEditingContext.h"
#include "EOException.h"
#include "EOModelGroup.h"
#include "KORDataBusOC.h"
#include "LatencyRelay.h"
#include "Resources.h"
#include "RoomBenchForm.h"
#include "RoomDisplayGroups.h"
#include "RoomEtat.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QUrl>
#include <cstdio>
#include <vector>

namespace
{

using bench::RoomBenchForm;

double elapsedMs(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

qint64 medianCount(std::vector<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

int measure(const QVariantMap &dictionary, const QString &host, quint16 port, int delay, int runs)
{
    LatencyRelay relay(host, port, delay);
    if (relay.port() == 0) {
        std::fprintf(stderr, "le relais ne peut pas écouter\n");
        return 1;
    }
    const QVariantMap relayed = relay.relayedDictionary(dictionary);
    eo::EOModel &model = *eo::EOModelGroup::defaultGroup().modelNamed(QStringLiteral("Locavia"));
    model.setConnectionDictionary(relayed);
    eo::EOEditingContext context(eo::EOModelGroup::defaultGroup());
    data::KORDataBusOC bus;
    bus.initDataBusWithModel(model.name(), &context);
    // The administration role deletes the measure's history, straight to the server.
    bench::SideBus administration(model, bench::ownerDictionary(dictionary));
    // The connection opened first: its handshake is not the tab's.
    bus.executeSQLQuery(QStringLiteral("SELECT 1"));

    relay.resetRoundTrips();
    rooms::Creation creation(bus);
    creation.initObjet();
    creation.afficheVue()->resize(1150, 760);
    creation.afficheVue()->show();
    QApplication::processEvents();
    const qint64 startup = relay.roundTrips();
    const RoomBenchForm::References refs = RoomBenchForm::references(bus);

    QStringList alerts;
    platform::setAlertPresenter([&alerts](const QString &, const QString &message, const QString &) {
        alerts.append(message);
        return 1;
    });

    // Every bookable room: the criteria entry, then the search.
    auto *search = RoomBenchForm::outlet<QPushButton>(creation, "boutonRecherche");
    search->click();
    QApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    search->click();
    QApplication::processEvents();
    const double searchMs = elapsedMs(timer);
    eo::EODisplayGroup &found = creation.tables().tableSalles;
    const qsizetype rooms = found.displayedObjects().size();
    if (rooms < 2) {
        std::fprintf(stderr, "la recherche n'a trouvé aucune salle\n");
        return 1;
    }

    std::vector<double> moveTimes;
    std::vector<qint64> moveTrips;
    for (int move = 1; move <= 3 * runs; ++move) {
        const int row = int((qint64(move) * 7919) % rooms);
        relay.resetRoundTrips();
        timer.restart();
        found.setSelectionIndexes({row});
        QApplication::processEvents();
        moveTimes.push_back(elapsedMs(timer));
        moveTrips.push_back(relay.roundTrips());
    }

    std::vector<double> saveTimes;
    std::vector<qint64> saveTrips;
    QVariantList saved;
    // The rooms saved go however the runs end: the database is left as it was.
    const auto removeSaved = qScopeGuard([&] {
        for (const QVariant &room : std::as_const(saved)) {
            bus.executeProcedure(QStringLiteral("delSalles"), {{QStringLiteral("salnumero"), room}});
            administration.bus().executeSQLQuery(
                QStringLiteral("DELETE FROM HISTORIQUE WHERE SAL_NUMERO = ?"), {room});
        }
    });
    auto *save = RoomBenchForm::outlet<QPushButton>(creation, "boutonCreer");
    for (int run = 0; run < runs; ++run) {
        save->click(); // a new room
        RoomBenchForm::fillNewRoom(creation, refs, QStringLiteral("SL%1_%2").arg(delay).arg(run),
                                   800000 + delay * 1000 + run * 100);
        QApplication::processEvents();
        relay.resetRoundTrips();
        timer.restart();
        save->click();
        QApplication::processEvents(); // the stored room drawn
        saveTimes.push_back(elapsedMs(timer));
        saveTrips.push_back(relay.roundTrips());
        if (creation.etat() == rooms::Etat::salleAffichee)
            saved.append(found.selectedObject()->valueForKey(QStringLiteral("salNumero")));
        if (creation.etat() != rooms::Etat::salleAffichee || !alerts.isEmpty()) {
            std::fprintf(stderr, "la salle n'a pas été enregistrée : %s\n",
                         qPrintable(alerts.join(QLatin1String(" | "))));
            return 1;
        }
    }
    platform::setAlertPresenter({});

    const QByteArray at = QByteArray("at_") + QByteArray::number(delay) + "ms_";
    const double saveMs = bench::median(saveTimes);
    const double moveMs = bench::median(moveTimes);
    std::printf("%srelay_round_trip_ms: %d\n", at.constData(), 2 * delay);
    std::printf("%ssave_room_ms: %.1f\n", at.constData(), saveMs);
    std::printf("%ssave_room_round_trips: %lld\n", at.constData(), (long long)medianCount(saveTrips));
    std::printf("%sroom_move_ms: %.1f\n", at.constData(), moveMs);
    std::printf("%sroom_move_round_trips: %lld\n", at.constData(), (long long)medianCount(moveTrips));
    std::printf("%ssearch_%lld_ms: %.1f\n", at.constData(), (long long)rooms, searchMs);
    std::printf("%sstartup_round_trips: %lld\n", at.constData(), (long long)startup);
    if (delay > 0) {
        std::printf("%ssave_room_rtt_ratio: %.1f\n", at.constData(), saveMs / (2.0 * delay));
        std::printf("%sroom_move_rtt_ratio: %.1f\n", at.constData(), moveMs / (2.0 * delay));
    }
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QString url = qEnvironmentVariable("LOCAVIA_BENCH_PG_URL");
    if (url.isEmpty()) {
        std::fprintf(stderr, "LOCAVIA_BENCH_PG_URL doit désigner le serveur de mesure.\n");
        return 2;
    }
    const int runs = bench::runsAsked(5);
    int status = 0;
    try {
        eo::EOModel &model = eo::EOModelGroup::defaultGroup().addModelWithFile(
            platform::resourcePath(QStringLiteral("models/Locavia.json")));
        const QVariantMap dictionary = bench::serverDictionary(model.connectionDictionary(), url);
        const QUrl server(url);
        for (const int delay : {0, 5, 15})
            status |= measure(dictionary, server.host(), quint16(server.port(5432)), delay, runs);
    } catch (const eo::EOException &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    return status;
}
