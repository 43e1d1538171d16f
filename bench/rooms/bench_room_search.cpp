// The room tab on a large inventory: the search (from the second click of the search button to the result
// window filled and the first room shown in the form) and the move to another room of the list (the form
// filled with its six sub-fetches). Each is compared with the bare SQL of the same rows, stepped through the
// sqlite3 C API on the same connection in the same run. Prints "name: value" lines.

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

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double elapsedMs(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// The statement the layer writes for a fetch, run bare: prepared, bound, stepped, every column read.
class BareQuery
{
public:
    BareQuery(const eo::EOModel &model, const eo::EOSQLDialect &dialect, const QString &entity,
              const eo::EOQualifierPtr &qualifier, const QList<eo::EOSortOrdering> &sort)
    {
        eo::EOSQLExpression expression(model.entity(entity), dialect);
        eo::EOFetchSpecification fetchSpec;
        fetchSpec.entityName = entity;
        fetchSpec.qualifier = qualifier;
        fetchSpec.sortOrderings = sort;
        m_sql = expression.selectStatement(fetchSpec).toUtf8();
        m_bindings = expression.bindings();
    }

    long long run(sqlite3 *db) const
    {
        sqlite3_stmt *statement = nullptr;
        sqlite3_prepare_v2(db, m_sql.constData(), int(m_sql.size()), &statement, nullptr);
        for (int i = 0; i < m_bindings.size(); ++i) {
            const QVariant &value = m_bindings.at(i);
            if (value.metaType().id() == QMetaType::QString) {
                const QByteArray text = value.toString().toUtf8();
                sqlite3_bind_text(statement, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            } else if (value.metaType().id() == QMetaType::Double) {
                sqlite3_bind_double(statement, i + 1, value.toDouble());
            } else if (value.canConvert<qint64>() && !value.isNull()) {
                sqlite3_bind_int64(statement, i + 1, value.toLongLong());
            } else {
                sqlite3_bind_null(statement, i + 1);
            }
        }
        long long checksum = 0;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            const int columns = sqlite3_column_count(statement);
            for (int c = 0; c < columns; ++c) {
                switch (sqlite3_column_type(statement, c)) {
                case SQLITE_INTEGER:
                    checksum += sqlite3_column_int64(statement, c);
                    break;
                case SQLITE_FLOAT:
                    checksum += (long long)sqlite3_column_double(statement, c);
                    break;
                case SQLITE_TEXT:
                    checksum +=
                        sqlite3_column_bytes(statement, c) + (sqlite3_column_text(statement, c) ? 1 : 0);
                    break;
                default:
                    break;
                }
            }
        }
        sqlite3_finalize(statement);
        return checksum;
    }

private:
    QByteArray m_sql;
    QVariantList m_bindings;
};

// The six fetches that fill the form for one room, as bare statements.
std::vector<BareQuery> roomFetches(const eo::EOModel &model, const eo::EOSQLDialect &dialect,
                                   const QVariant &room)
{
    const auto byRoom = eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("salNumero=%@"), {room});
    const auto byOffice =
        eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("burOrdre=%@"), {room});
    std::vector<BareQuery> queries;
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
    const int runs = qEnvironmentVariableIntValue("LOCAVIA_BENCH_RUNS") > 0
                         ? qEnvironmentVariableIntValue("LOCAVIA_BENCH_RUNS")
                         : 7;
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
            const BareQuery search(model, adaptor->dialect(), rooms::RoomSearchBuilder::entite(),
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

                const std::vector<BareQuery> fetches = roomFetches(model, adaptor->dialect(), room);
                timer.restart();
                for (const BareQuery &query : fetches)
                    checksum += query.run(db);
                moveBareTimes.push_back(elapsedMs(timer));
            }
            creation.listeSalles()->close();
        }
        const double search = median(searchTimes);
        const double searchBare = median(searchBareTimes);
        const double move = median(moveTimes);
        const double moveBare = median(moveBareTimes);
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
