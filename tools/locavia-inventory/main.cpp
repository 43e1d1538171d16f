// Opens the inventory through the data bus and prints what a user checks first.

#include "EOEditingContext.h"
#include "EOException.h"
#include "EOModelGroup.h"
#include "EOSQLiteAdaptor.h"
#include "InventoryReport.h"
#include "KORDataBusOC.h"
#include "Resources.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("locavia-inventory"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Affiche les bâtiments, les salles par bâtiment et les listes "
                       "de référence de l'inventaire Locavia."));
    parser.addHelpOption();
    const QCommandLineOption databaseOption(
        QStringLiteral("database"),
        QStringLiteral(
            "Dossier de la base embarquée (locavia.db et solma.db) ; par défaut, celui du modèle."),
        QStringLiteral("dossier"));
    parser.addOption(databaseOption);
    parser.process(application);

    QTextStream out(stdout);
    QTextStream err(stderr);
    try {
        eo::EOModel &model = eo::EOModelGroup::defaultGroup().addModelWithFile(
            platform::resourcePath(QStringLiteral("models/Locavia.json")));
        if (parser.isSet(databaseOption)) {
            QVariantMap dictionary = model.connectionDictionary();
            dictionary.insert(QStringLiteral("URL"), QStringLiteral("sqlite://") +
                                                         QDir(parser.value(databaseOption)).absolutePath() +
                                                         QStringLiteral("/locavia.db"));
            model.setConnectionDictionary(dictionary);
        }
        eo::EOEditingContext context(eo::EOModelGroup::defaultGroup());
        data::KORDataBusOC dataBus;
        dataBus.initDataBusWithModel(model.name(), &context);
        out << "Locavia — base « "
            << eo::EOSQLiteAdaptor::pathForURL(
                   dataBus.dataBusAdaptor()->connectionDictionary().value(QStringLiteral("URL")).toString())
            << " »\n\n";
        InventoryReport report(dataBus, out);
        report.printBuildings();
        report.printRoomsPerBuilding();
        report.printReferenceLists();
    } catch (const eo::EOException &error) {
        err << "Locavia : " << error.message() << '\n';
        return 1;
    }
    return 0;
}
