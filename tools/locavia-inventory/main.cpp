// Opens the inventory through the data bus and prints what a user checks first.

#include "CommandLine.h"
#include "DatabaseAddress.h"
#include "EOEditingContext.h"
#include "EOException.h"
#include "EOModelGroup.h"
#include "FrenchTranslations.h"
#include "InventoryReport.h"
#include "KORDataBusOC.h"
#include "Resources.h"

#include <QCommandLineParser>
#include <QCoreApplication>

using platform::CommandLine;

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("locavia-inventory"));
    QCoreApplication::setApplicationVersion(platform::locaviaVersion());
    platform::FrenchTranslations::install();
    const QString program = QStringLiteral("locavia-inventory");
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Affiche les bâtiments, les salles par bâtiment et les listes de référence de "
                       "l'inventaire Locavia.\n"
                       "Sans option, la base est celle du modèle de données (par défaut "
                       "~/.local/share/Locavia/locavia.db)."));
    const QCommandLineOption help = CommandLine::helpOption();
    const QCommandLineOption version = CommandLine::versionOption();
    const QCommandLineOption databaseOption(
        QStringLiteral("database"),
        QStringLiteral("Base embarquée à lire : son dossier (locavia.db et solma.db) ou son fichier "
                       "locavia.db."),
        QStringLiteral("dossier"));
    const QCommandLineOption urlOption(
        QStringLiteral("url"),
        QStringLiteral("Base d'un serveur PostgreSQL à lire, postgresql://compte@serveur:port/base (mot de "
                       "passe : PGPASSWORD ou ~/.pgpass)."),
        QStringLiteral("adresse"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(databaseOption);
    parser.addOption(urlOption);
    const QList<CommandLine::Status> statuses{
        {CommandLine::Success, QStringLiteral("inventaire affiché, aide ou version affichée")},
        {CommandLine::Failure, QStringLiteral("base de données impossible à ouvrir ou à lire")},
        {CommandLine::UsageError, QStringLiteral("ligne de commande incorrecte")},
    };

    auto usageError = [&](const QString &message) {
        err << CommandLine::usageError(program, message);
        return int(CommandLine::UsageError);
    };
    if (!parser.parse(QCoreApplication::arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        out << CommandLine::helpText(program, parser, statuses);
        return CommandLine::Success;
    }
    if (parser.isSet(version)) {
        out << CommandLine::versionText(program);
        return CommandLine::Success;
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError(
            QStringLiteral("argument inattendu : « %1 ».").arg(parser.positionalArguments().first()));
    if (parser.isSet(databaseOption) && parser.isSet(urlOption))
        return usageError(
            QStringLiteral("--database et --url désignent chacune une base : n'en donnez qu'une."));

    QVariantMap address;
    if (parser.isSet(databaseOption)) {
        const QString folder = parser.value(databaseOption).trimmed();
        if (folder.isEmpty() || folder.contains(QLatin1String("://")))
            return usageError(
                QStringLiteral("l'option --database attend le dossier d'une base embarquée (pour "
                               "un serveur : --url)."));
        address = data::DatabaseAddress::fromArgument(folder);
    } else if (parser.isSet(urlOption)) {
        const QString url = parser.value(urlOption).trimmed();
        if (!url.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) &&
            !url.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive))
            return usageError(QStringLiteral("l'adresse « %1 » n'est pas celle d'une base PostgreSQL "
                                             "(postgresql://compte@serveur:port/base).")
                                  .arg(url));
        address = data::DatabaseAddress::fromArgument(url);
    }

    try {
        eo::EOModel &model = eo::EOModelGroup::defaultGroup().addModelWithFile(
            platform::resourcePath(QStringLiteral("models/Locavia.json")));
        model.setConnectionDictionary(data::DatabaseAddress::applied(model.connectionDictionary(), address));
        eo::EOEditingContext context(eo::EOModelGroup::defaultGroup());
        data::KORDataBusOC dataBus;
        dataBus.initDataBusWithModel(model.name(), &context);
        // The report is printed whole or not at all: a database that fails half-way leaves only its error.
        QString text;
        QTextStream report(&text);
        report << "Locavia — base « " << data::DatabaseAddress::describe(model.connectionDictionary())
               << " »\n\n";
        InventoryReport inventory(dataBus, report);
        inventory.printBuildings();
        inventory.printRoomsPerBuilding();
        inventory.printReferenceLists();
        report.flush();
        out << text;
    } catch (const eo::EOException &error) {
        err << program << " : " << error.message() << '\n';
        return CommandLine::Failure;
    }
    return CommandLine::Success;
}
