// The options tab on a large inventory: "Recharger" (the option rooms, every managed room and every
// building fetched into their lists and sorted by building, floor and door), the tab's lists laid out and
// drawn; compared with the bare SQL of the same rows stepped through the sqlite3 C API on the same
// connection in the same run. Prints "name: value" lines.

#include "BenchSupport.h"
#include "EOEditingContext.h"
#include "EOException.h"
#include "EOModelGroup.h"
#include "EONull.h"
#include "EOSQLiteAdaptor.h"
#include "KORDataBusOC.h"
#include "Options.h"
#include "Resources.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>
#include <sqlite3.h>
#include <vector>

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
    const int runs = bench::runsAsked(5);
    try {
        eo::EOModel &model = eo::EOModelGroup::defaultGroup().addModelWithFile(
            platform::resourcePath(QStringLiteral("models/Locavia.json")));
        QVariantMap dictionary = model.connectionDictionary();
        dictionary.insert(QStringLiteral("URL"), QStringLiteral("sqlite://") +
                                                     QDir(directory).absolutePath() +
                                                     QStringLiteral("/locavia.db"));
        model.setConnectionDictionary(dictionary);

        std::vector<double> reloadTimes, bareTimes;
        qsizetype managed = 0;
        qsizetype options = 0;
        long long checksum = 0;
        for (int run = 0; run < runs; ++run) {
            // A fresh stack each time: the records are made, as on the first reload of a session.
            eo::EOEditingContext context(eo::EOModelGroup::defaultGroup());
            data::KORDataBusOC dataBus;
            dataBus.initDataBusWithModel(model.name(), &context);
            reference::Options tab(dataBus);
            tab.initObjet();
            tab.afficheVue()->resize(1100, 640);
            tab.afficheVue()->show();
            QApplication::processEvents();

            QElapsedTimer timer;
            timer.start();
            tab.reloadOptions(nullptr);
            QApplication::processEvents(); // the lists laid out and drawn
            reloadTimes.push_back(double(timer.nsecsElapsed()) / 1e6);
            managed = tab.tableSalle().displayedObjects().size();
            options = tab.tableOption().displayedObjects().size();

            auto *adaptor = static_cast<eo::EOSQLiteAdaptor *>(dataBus.dataBusAdaptor());
            const QVariantList nul{eo::eoNull()};
            const bench::BareQuery queries[] = {
                {model, adaptor->dialect(), QStringLiteral("SallesVix"),
                 eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("salReservable=%@"), nul),
                 tab.tableOption().sortOrderings()},
                {model, adaptor->dialect(), QStringLiteral("SallesVix"),
                 eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("salReservable!=%@"), nul),
                 tab.tableSalle().sortOrderings()},
                {model,
                 adaptor->dialect(),
                 QStringLiteral("LocalVix"),
                 {},
                 tab.tableBatiment().sortOrderings()}};
            timer.restart();
            for (const bench::BareQuery &query : queries)
                checksum += query.run(adaptor->handle());
            bareTimes.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        if (managed == 0) {
            std::fprintf(stderr, "aucune salle gérée dans la base de mesure\n");
            return 1;
        }
        const double reload = bench::median(reloadTimes);
        const double bare = bench::median(bareTimes);
        std::printf("options_managed_rooms: %lld\n", (long long)managed);
        std::printf("options_option_rooms: %lld\n", (long long)options);
        std::printf("options_reload_ms: %.1f\n", reload);
        std::printf("options_reload_bare_sql_ms: %.1f\n", bare);
        std::printf("options_reload_over_bare: %.2f\n", bare > 0 ? reload / bare : 0.0);
        std::fprintf(stderr, "checksum %lld\n", checksum);
    } catch (const eo::EOException &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
