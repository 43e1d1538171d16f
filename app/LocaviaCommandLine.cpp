#include "LocaviaCommandLine.h"

#include "CommandLine.h"
#include "DatabaseAddress.h"

#include <QCommandLineParser>

using platform::CommandLine;

namespace app
{

namespace
{

// A user default's key: one dash, then a word (one letter alone is a short option such as -h).
bool isUserDefaultKey(const QString &word)
{
    return word.size() > 2 && word.front() == u'-' && word.at(1).isLetter();
}

// What the user defaults take as a key (UserDefaults::argumentDomain): a value never looks like this.
bool looksLikeKey(const QString &word)
{
    return word.size() > 1 && word.front() == u'-' && word.at(1).isLetter();
}

const QList<CommandLine::Status> &exitStatuses()
{
    static const QList<CommandLine::Status> statuses{
        {CommandLine::Success,
         QStringLiteral("fin normale (menu « Quitter », ou fenêtre de bienvenue quittée), aide ou version "
                        "affichée")},
        {CommandLine::Failure,
         QStringLiteral("démarrage interrompu : base de données impossible à ouvrir, identification ou "
                        "droits refusés")},
        {CommandLine::UsageError, QStringLiteral("ligne de commande incorrecte")},
    };
    return statuses;
}

} // namespace

QStringList LocaviaCommandLine::withoutUserDefaults(const QStringList &arguments)
{
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &word = arguments.at(i);
        if (i > 0 && isUserDefaultKey(word) && i + 1 < arguments.size() &&
            !looksLikeKey(arguments.at(i + 1))) {
            ++i;
            continue;
        }
        kept.append(word);
    }
    return kept;
}

LocaviaCommandLine LocaviaCommandLine::parse(const QStringList &arguments)
{
    const QString program = QStringLiteral("locavia");
    QCommandLineParser parser;
    // The "-Clé valeur" pairs are the launcher's (-HalvanePort, -HalvaneTicket): they keep working, and the
    // help, which is the user's, does not list them.
    parser.setApplicationDescription(
        QStringLiteral("Locavia : l'inventaire des locaux de l'université (bâtiments, salles, équipements, "
                       "usages).\n"
                       "Sans option, Locavia ouvre la base choisie à son premier démarrage ; au premier, "
                       "il propose de créer une base (vide ou de démonstration) dans "
                       "~/.local/share/Locavia, d'en ouvrir une ou de se connecter à un serveur."));
    const QCommandLineOption help = CommandLine::helpOption();
    const QCommandLineOption version = CommandLine::versionOption();
    const QCommandLineOption database(
        QStringLiteral("database"),
        QStringLiteral("Ouvre cette base au lieu de celle choisie au premier démarrage : le dossier d'une "
                       "base embarquée "
                       "(locavia.db et solma.db), son fichier locavia.db, ou l'adresse "
                       "postgresql://compte@serveur:port/base d'un serveur."),
        QStringLiteral("base"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(database);

    LocaviaCommandLine result;
    const QStringList words = withoutUserDefaults(arguments.isEmpty() ? QStringList{program} : arguments);
    if (!parser.parse(words)) {
        result.m_exits = true;
        result.m_exitStatus = CommandLine::UsageError;
        result.m_errorOutput = CommandLine::usageError(program, parser.errorText());
        return result;
    }
    if (parser.isSet(help)) {
        result.m_exits = true;
        result.m_output = CommandLine::helpText(program, parser, exitStatuses());
        return result;
    }
    if (parser.isSet(version)) {
        result.m_exits = true;
        result.m_output = CommandLine::versionText(program);
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.m_exits = true;
        result.m_exitStatus = CommandLine::UsageError;
        result.m_errorOutput = CommandLine::usageError(
            program,
            QStringLiteral("argument inattendu : « %1 ».").arg(parser.positionalArguments().first()));
        return result;
    }
    if (parser.isSet(database)) {
        result.m_databaseAddress = data::DatabaseAddress::fromArgument(parser.value(database));
        if (result.m_databaseAddress.isEmpty()) {
            result.m_exits = true;
            result.m_exitStatus = CommandLine::UsageError;
            result.m_errorOutput = CommandLine::usageError(
                program, QStringLiteral("l'option --database attend le dossier d'une base ou l'adresse d'un "
                                        "serveur PostgreSQL."));
        }
    }
    return result;
}

} // namespace app
