// The room tab on a large inventory: the search (from the second click of the search button to the result
// window filled and the first room shown in the form) and the move to another room of the list (the form
// filled with its six sub-fetches). Each is compared with the bare SQL of the same rows, stepped through the
// sqlite3 C API on the same connection in the same run. Prints "name: value" lines.

#include "BenchSupport.h"
#include "Creation.h"
#include "EOEditingContext.h"
#include "EOException.h"
#include "EOModelGroup.h"
#include "EOSQLExpression.h"
#include "EOSQLiteAdaptor.h"
#include "KORDataBusOC.h"
#include "Resources.h"
#include "RoomDisplayGroups.h"
#include "RoomSearchBuilder.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <vector>

namespace
{

constexpr auto sansCasse = eo::EOSortOrdering::Selector::CompareCaseInsensitiveAscending;

double elapsedMs(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// The six fetches that fill the form for one room, as bare statements.
std::vector<bench::BareQuery> roomFetches(const eo::EOModel &model, const eo::EOSQLDialect &dialect,
                                          const QVariant &room)
{
    const auto byRoom = eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("salNumero=%@"), {room});
    const auto byOffice =
        eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("burOrdre=%@"), {room});
    std::vector<bench::BareQuery> queries;
    queries.emplace_back(model, dialect, QStringLiteral("DepositaireVix"), byRoom,
                         QList<eo::EOSortOrdering>{});
    queries.emplace_back(model, dialect, QStringLiteral("Prises"), byRoom,
                         QList<eo::EOSortOrdering>{{QStringLiteral("priType"), sansCasse},
                                                   {QStringLiteral("priCode"), sansCasse}});
    queries.emplace_back(model, dialect, QStringLiteral("Configuration"), byRoom,
                         QList<eo::EOSortOrdering>{});
    queries.emplace_back(model, dialect, QStringLiteral("DetailSalle"), byRoom, QList<eo::EOSortOrdering>{});
    queries.emplace_back(model, dialect, QStringLiteral("DetailPourcentage"), byRoom,
                         QList<eo::EOSortOrdering>{});
    queries.emplace_back(model, dialect, QStringLiteral("RepartBureauVix"), byOffice,
                         QList<eo::EOSortOrdering>{});
    return queries;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QString directory = qEnvironmentVariable("LOCAVIA_BENCH_DATA");
    if (directory.isEmpty()) {
        std::fprintf(stderr, "LOCAVIA_BENCH_DATA doit désigner le dossier de la base de mesure.\n");
        return 2;
    }
    const int runs = bench::runsAsked(7);
    const int moves = qEnvironmentVariableIntValue("LOCAVIA_BENCH_MOVES") > 0
                          ? qEnvironmentVariableIntValue("LOCAVIA_BENCH_MOVES")
                          : 60;
    try {
        eo::EOModel &model = eo::EOModelGroup::defaultGroup().addModelWithFile(
            platform::resourcePath(QStringLiteral("models/Locavia.json")));
        QVariantMap dictionary = model.connectionDictionary();
        dictionary.insert(QStringLiteral("URL"), QStringLiteral("sqlite://") +
                                                     QDir(directory).absolutePath() +
                                                     QStringLiteral("/locavia.db"));
        model.setConnectionDictionary(dictionary);

        std::vector<double> searchTimes, searchBareTimes, moveTimes, moveBareTimes;
        qsizetype rooms = 0;
        long long checksum = 0;
        for (int run = 0; run < runs; ++run) {
            // A fresh stack each time: the records are made, as on the first search of a session.
            eo::EOEditingContext context(eo::EOModelGroup::defaultGroup());
            data::KORDataBusOC dataBus;
            dataBus.initDataBusWithModel(model.name(), &context);
            rooms::Creation creation(dataBus);
            creation.initObjet();
            QWidget *form = creation.afficheVue();
            form->resize(1150, 760);
            form->show();
            auto *searchButton =
                creation.afficheBoutons()->findChild<QPushButton *>(QStringLiteral("boutonRecherche"));
            searchButton->click(); // criteria entry, no criterion typed
            QApplication::processEvents();

            QElapsedTimer timer;
            timer.start();
            searchButton->click();
            QApplication::processEvents(); // the result window laid out and drawn
            searchTimes.push_back(elapsedMs(timer));
            eo::EODisplayGroup &found = creation.tables().tableSalles;
            rooms = found.displayedObjects().size();
            if (rooms == 0 || !creation.listeSalles()->isVisible()) {
                std::fprintf(stderr, "la recherche n'a trouvé aucune salle\n");
                return 1;
            }

            auto *adaptor = static_cast<eo::EOSQLiteAdaptor *>(dataBus.dataBusAdaptor());
            sqlite3 *db = adaptor->handle();
            const bench::BareQuery search(model, adaptor->dialect(), rooms::RoomSearchBuilder::entite(),
                                          rooms::RoomSearchBuilder::conditionDeBase(),
                                          rooms::RoomSearchBuilder::ordreDesSalles());
            timer.restart();
            checksum += search.run(db);
            searchBareTimes.push_back(elapsedMs(timer));

            // Moving through the list, a room at a time, spread over the whole result.
            for (int move = 1; move <= moves / runs + 1; ++move) {
                const int row = int((qint64(run) * 15485 + qint64(move) * 7919) % rooms);
                const QVariant room =
                    found.displayedObjects().at(row)->valueForKey(QStringLiteral("salNumero"));
                timer.restart();
                const bool moved = found.setSelectionIndexes({row});
                moveTimes.push_back(elapsedMs(timer));
                if (!moved) {
                    std::fprintf(stderr, "la sélection n'a pas changé de salle\n");
                    return 1;
                }

                const std::vector<bench::BareQuery> fetches = roomFetches(model, adaptor->dialect(), room);
                timer.restart();
                for (const bench::BareQuery &query : fetches)
                    checksum += query.run(db);
                moveBareTimes.push_back(elapsedMs(timer));
            }
            creation.listeSalles()->close();
        }
        const double search = bench::median(searchTimes);
        const double searchBare = bench::median(searchBareTimes);
        const double move = bench::median(moveTimes);
        const double moveBare = bench::median(moveBareTimes);
        std::printf("rooms_found: %lld\n", (long long)rooms);
        std::printf("runs: %d\n", runs);
        std::printf("room_search_to_list_and_form_median_ms: %.1f\n", search);
        std::printf("room_search_bare_sqlite3_median_ms: %.1f\n", searchBare);
        std::printf("room_search_to_bare_ratio: %.2f\n", searchBare > 0 ? search / searchBare : 0.0);
        std::printf("room_moves: %zu\n", moveTimes.size());
        std::printf("room_move_fill_form_median_ms: %.3f\n", move);
        std::printf("room_move_bare_sqlite3_median_ms: %.3f\n", moveBare);
        std::printf("room_move_to_bare_ratio: %.2f\n", moveBare > 0 ? move / moveBare : 0.0);
        if (checksum == 42)
            std::fprintf(stderr, " ");
    } catch (const eo::EOException &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
