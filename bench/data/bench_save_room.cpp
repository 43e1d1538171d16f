// Saves one room as the room tab does, on a department's server over the network: insSalle, insSalleTav, one
// insDetailSalle per equipment line (20), one insDetailPourcentage per occupation line (10), one insPrises
// per outlet (10), each call in a transaction of its own through the data bus. Prints the median time of a
// save and the number of round trips to the server it costs. The rooms saved are deleted at the end, so that
// the database is left as it was. Needs LOCAVIA_BENCH_PG_URL. Prints "name: value" lines.

#include "AlertPanel.h"
#include "BenchSupport.h"
#include "EOEditingContext.h"
#include "EOException.h"
#include "EOModelGroup.h"
#include "EOPostgreSQLAdaptor.h"
#include "KORDataBusOC.h"
#include "Resources.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{

constexpr int EquipmentLines = 20;
constexpr int OccupationLines = 10;
constexpr int Outlets = 10;

QVariantMap roomArguments(const QString &building, const QString &door, const QString &custodian)
{
    return {{"insCStructure", custodian},
            {"insCLocal", building},
            {"salCapacite", 40},
            {"salDescriptif", "Salle de mesure"},
            {"salEcran", "O"},
            {"salEtage", "2"},
            {"salIdentAcces", ""},
            {"salInsonorisee", "N"},
            {"salNature", "ENSEIGNEMENT"},
            {"salNbArmoires", 1},
            {"salNbBureaux", 1},
            {"salNbChaises", 40},
            {"salNbFenetres", 3},
            {"salNbTables", 20},
            {"salNoPoste", "0"},
            {"salObscur", "O"},
            {"salPorte", door},
            {"salPourAdministration", ""},
            {"salPourDocumentation", ""},
            {"salPourEnseignement", 100},
            {"salPourRecherche", ""},
            {"salPourTechnique", ""},
            {"salReservable", "O"},
            {"salRetro", "N"},
            {"salSuperficie", "72.50"},
            {"salTableau", "1"},
            {"salTableauBlanc", "1"},
            {"salTableauPapier", "0"},
            {"salTelevision", "N"},
            {"tsalNumero", 1},
            {"insSalPasNum", ""},
            {"insSalTemHandicap", ""},
            {"insSalTemEnService", ""},
            {"insSalCapaExam", ""},
            {"insSalNbPlacesExamLib", ""},
            {"insSalSalleProcheTel", ""},
            {"insSalNumDepart", ""}};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QString url = qEnvironmentVariable("LOCAVIA_BENCH_PG_URL");
    if (url.isEmpty()) {
        std::fprintf(stderr, "LOCAVIA_BENCH_PG_URL doit désigner la base PostgreSQL de mesure.\n");
        return 2;
    }
    const int runs = qEnvironmentVariableIntValue("LOCAVIA_BENCH_RUNS") > 0
                         ? 3 * qEnvironmentVariableIntValue("LOCAVIA_BENCH_RUNS")
                         : 21;
    QStringList alerts;
    platform::setAlertPresenter([&alerts](const QString &, const QString &message, const QString &) {
        alerts.append(message);
        return 1;
    });
    try {
        eo::EOModel &model = eo::EOModelGroup::defaultGroup().addModelWithFile(
            platform::resourcePath(QStringLiteral("models/Locavia.json")));
        QVariantMap dictionary = model.connectionDictionary();
        dictionary.insert(QStringLiteral("URL"), url);
        dictionary.insert(QStringLiteral("username"), QString());
        dictionary.insert(QStringLiteral("password"), QString());
        model.setConnectionDictionary(dictionary);
        eo::EOEditingContext context(eo::EOModelGroup::defaultGroup());
        data::KORDataBusOC bus;
        bus.initDataBusWithModel(model.name(), &context);
        auto *adaptor = dynamic_cast<eo::EOPostgreSQLAdaptor *>(bus.dataBusAdaptor());
        if (!adaptor) {
            std::fprintf(stderr, "LOCAVIA_BENCH_PG_URL ne désigne pas une base PostgreSQL.\n");
            return 2;
        }

        // What a room refers to, read once as the room form has it at hand.
        const QString building = bus.fetchArray(QStringLiteral("LocalVix"), eo::EOQualifierPtr(), {})
                                     .value(0)
                                     ->valueForKey("cLocal")
                                     .toString();
        const QString custodian =
            bus.fetchObject(QStringLiteral("StructureZebVix"), QStringLiteral("lcStructure='DEPOS'"), {})
                ->valueForKey("cStructure")
                .toString();
        const QString department = bus.fetchArray(QStringLiteral("ServiceVix"), eo::EOQualifierPtr(), {})
                                       .value(0)
                                       ->valueForKey("cStructure")
                                       .toString();
        const QVariant kind = bus.fetchArray(QStringLiteral("TypeOccupation"), eo::EOQualifierPtr(), {})
                                  .value(0)
                                  ->valueForKey("tocOrdre");
        const QList<eo::EORecord> types =
            bus.fetchArray(QStringLiteral("TypeMateriel"), QStringLiteral("tavNiveau=2"), {}, {});
        if (types.size() < EquipmentLines) {
            std::fprintf(stderr, "La base de mesure n'a que %lld types de matériel (%d demandés).\n",
                         (long long)types.size(), EquipmentLines);
            return 1;
        }

        std::vector<double> times;
        std::vector<qint64> roundTrips;
        QList<QVariant> saved;
        for (int run = 0; run < runs; ++run) {
            const qint64 before = adaptor->roundTrips();
            QElapsedTimer timer;
            timer.start();
            QVariantMap result;
            bus.executeProcedure(result, QStringLiteral("insSalle"),
                                 roomArguments(building, QStringLiteral("M%1").arg(run), custodian));
            const QVariant room = result.value(QStringLiteral("salNumero"));
            bus.executeProcedure(QStringLiteral("insSalleTav"), {{"salnumero", room},
                                                                 {"tavhauteurMoyenPlafond", "3.10"},
                                                                 {"tavnombrePortes", 2},
                                                                 {"tavsurfaceVitree", "8.40"},
                                                                 {"tavaccueil", "10"}});
            for (int line = 0; line < EquipmentLines; ++line) {
                bus.executeProcedure(QStringLiteral("insDetailSalle"),
                                     {{"dsapourcentage", 1 + line},
                                      {"salnumero", room},
                                      {"tavtype", types.at(line)->valueForKey("tavType")},
                                      {"uniordre", types.at(line)->valueForKey("tavUniteOrdre")}});
            }
            for (int line = 0; line < OccupationLines; ++line) {
                bus.executeProcedure(QStringLiteral("insDetailPourcentage"), {{"detpourcentage", 10},
                                                                              {"dettype", kind},
                                                                              {"salnumero", room},
                                                                              {"cstructure", department}});
            }
            for (int outlet = 0; outlet < Outlets; ++outlet) {
                bus.executeProcedure(QStringLiteral("insPrises"),
                                     {{"pricode", QString::number(700000 + run * 100 + outlet)},
                                      {"pritype", outlet % 3 == 0 ? "T" : "I"},
                                      {"salnumero", room}});
            }
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
            roundTrips.push_back(adaptor->roundTrips() - before);
            saved.append(room);
        }
        for (const QVariant &room : std::as_const(saved))
            bus.executeProcedure(QStringLiteral("delSalles"), {{"salnumero", room}});
        if (!alerts.isEmpty()) {
            std::fprintf(stderr, "Appels refusés : %s\n", qPrintable(alerts.join(QLatin1String(" | "))));
            return 1;
        }
        const int calls = 2 + EquipmentLines + OccupationLines + Outlets;
        std::sort(roundTrips.begin(), roundTrips.end());
        std::printf("saves: %d\n", runs);
        std::printf("procedure_calls_per_save: %d\n", calls);
        std::printf("save_room_median_ms: %.1f\n", bench::median(times));
        std::printf("save_room_round_trips: %lld\n", (long long)roundTrips[roundTrips.size() / 2]);
        std::printf("round_trips_per_call: %.1f\n", double(roundTrips[roundTrips.size() / 2]) / calls);
    } catch (const eo::EOException &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
