// Opens the "Historique" window on a room with 1,000 changes, as the room tab does: the changes read, the
// window filled and drawn. A room of a throwaway embedded database, and one of the server of
// LOCAVIA_BENCH_PG_URL when given (the room and its history deleted at the end). Prints "name: value"
// lines, the names prefixed with the backend: the median time of an opening, from the click to the window
// drawn.

#include "AlertPanel.h"
#include "BenchSupport.h"
#include "EOException.h"
#include "Historique.h"
#include "Resources.h"
#include "SqliteDatabaseInstaller.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <vector>

namespace
{

constexpr int Changes = 1000;

// owner: the administration role's dictionary on a server, which writes the changes by hand (empty: the
// embedded database's own connection writes them).
int runBackend(const char *name, const QVariantMap &dictionary, const QVariantMap &owner, int runs)
{
    eo::EOModel &model = *eo::EOModelGroup::defaultGroup().modelNamed(QStringLiteral("Locavia"));
    model.setConnectionDictionary(dictionary);
    eo::EOEditingContext context(eo::EOModelGroup::defaultGroup());
    data::KORDataBusOC bus;
    bus.initDataBusWithModel(model.name(), &context);
    bus.setSessionLogin(QStringLiteral("mesure"));
    std::unique_ptr<bench::SideBus> administration;
    if (!owner.isEmpty())
        administration = std::make_unique<bench::SideBus>(model, owner);
    data::KORDataBusOC &byHand = administration ? administration->bus() : bus;

    // A room of the first building and type, changed a thousand times, one field each time.
    const QVariant building = bus.executeSQLQuery(QStringLiteral("SELECT MIN(C_LOCAL) FROM SOLMA.LOCAL"))
                                  .value(0)
                                  .value(QStringLiteral("Attribute0"));
    const QVariant type = bus.executeSQLQuery(QStringLiteral("SELECT MIN(TSAL_NUMERO) FROM TYPE_SALLE"))
                              .value(0)
                              .value(QStringLiteral("Attribute0"));
    QVariantMap created;
    if (!bus.executeProcedure(created, QStringLiteral("insSalle"),
                              {{QStringLiteral("insCLocal"), building},
                               {QStringLiteral("tsalNumero"), type},
                               {QStringLiteral("salEtage"), QStringLiteral("0")},
                               {QStringLiteral("salPorte"), QStringLiteral("HIST")}})) {
        std::fprintf(stderr, "%s : la salle de mesure n'a pas été créée.\n", name);
        return 1;
    }
    const qint64 room = created.value(QStringLiteral("salNumero")).toLongLong();
    byHand.beginTransaction();
    for (int i = 1; i <= Changes; ++i) {
        byHand.executeSQLQuery(QStringLiteral("UPDATE SOLMA.SALLES SET SAL_ETAGE = ? WHERE SAL_NUMERO = ?"),
                               {QString::number(i), room});
    }
    byHand.commitTransaction();

    std::vector<double> openings;
    int shown = 0;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        history::Historique window(bus);
        if (!window.chargerSalle(room, QStringLiteral("Salle de mesure")))
            break;
        window.fenetreHistorique()->show();
        QApplication::processEvents(); // drawn
        openings.push_back(double(timer.nsecsElapsed()) / 1e6);
        shown = window.modele().rowCount();
        window.fenetreHistorique()->hide();
    }

    bus.executeProcedure(QStringLiteral("delSalles"), {{QStringLiteral("salnumero"), room}});
    byHand.executeSQLQuery(QStringLiteral("DELETE FROM HISTORIQUE WHERE SAL_NUMERO = ?"), {room});
    if (openings.empty() || shown < Changes) {
        std::fprintf(stderr, "%s : l'historique n'a pas été montré (%d changements).\n", name, shown);
        return 1;
    }
    std::printf("%s_history_changes_shown: %d\n", name, shown);
    std::printf("%s_history_window_1000_changes_median_ms: %.1f\n", name, bench::median(openings));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int runs = bench::runsAsked(21);
    platform::setAlertPresenter([](const QString &, const QString &message, const QString &) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
        return 1;
    });
    int status = 0;
    try {
        eo::EOModel &model = eo::EOModelGroup::defaultGroup().addModelWithFile(
            platform::resourcePath(QStringLiteral("models/Locavia.json")));
        const QVariantMap dictionary = model.connectionDictionary();

        QTemporaryDir directory;
        data::SqliteDatabaseInstaller::install(directory.path(), platform::resourcesDirectory());
        QVariantMap embedded = dictionary;
        embedded.insert(QStringLiteral("URL"),
                        QStringLiteral("sqlite://") + directory.path() + QStringLiteral("/locavia.db"));
        {
            // The throwaway database's one building and room type.
            model.setConnectionDictionary(embedded);
            eo::EOEditingContext context(eo::EOModelGroup::defaultGroup());
            data::KORDataBusOC bus;
            bus.initDataBusWithModel(model.name(), &context);
            bus.executeSQLQuery(
                QStringLiteral("INSERT INTO TYPE_SALLE (TSAL_NUMERO, TSAL_LIBELLE) VALUES (1, 'Salle')"));
            bus.executeSQLQuery(
                QStringLiteral("INSERT INTO SOLMA.LOCAL (C_LOCAL, APPELLATION) VALUES ('MES', 'MESURE')"));
        }
        status |= runBackend("sqlite", embedded, {}, runs);

        const QString url = qEnvironmentVariable("LOCAVIA_BENCH_PG_URL");
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
