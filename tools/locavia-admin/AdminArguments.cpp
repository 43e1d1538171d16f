#include "AdminArguments.h"

namespace admin
{

QString AdminArguments::usage()
{
    return QStringLiteral(
        "Utilisation : locavia-admin sqlite --dir DOSSIER [--demo] [--rooms N] [--user LOGIN] [--replace]\n"
        "\n"
        "Installe la base embarquée de Locavia (locavia.db et solma.db) dans DOSSIER, ou la met à jour\n"
        "si elle existe déjà (les données sont conservées).\n"
        "\n"
        "  --dir DOSSIER   dossier de la base (créé au besoin)\n"
        "  --replace       remplace une base existante par une base vide (ses données sont perdues)\n"
        "  --demo          ajoute des données de démonstration si la base ne contient encore aucune salle\n"
        "  --rooms N       nombre de salles de démonstration (300 par défaut)\n"
        "  --user LOGIN    compte de démonstration autorisé (par défaut, l'utilisateur courant)\n"
        "  --help          affiche cette aide\n");
}

AdminArguments AdminArguments::parse(const QStringList &arguments)
{
    AdminArguments result;
    auto refuse = [&result](const QString &message) {
        result = AdminArguments();
        result.m_error = message;
        return result;
    };

    bool commandSeen = false;
    bool roomsGiven = false;
    bool userGiven = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        auto value = [&](QString *target) {
            if (i + 1 >= arguments.size() || arguments.at(i + 1).startsWith(QLatin1String("--")))
                return false;
            *target = arguments.at(++i);
            return true;
        };
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            result.m_help = true;
        } else if (argument == QLatin1String("--dir")) {
            if (!value(&result.m_directory) || result.m_directory.isEmpty())
                return refuse(QStringLiteral("L'option --dir attend un dossier."));
        } else if (argument == QLatin1String("--demo")) {
            result.m_demo = true;
        } else if (argument == QLatin1String("--replace")) {
            result.m_replace = true;
        } else if (argument == QLatin1String("--rooms")) {
            QString text;
            bool ok = false;
            const int rooms = value(&text) ? text.toInt(&ok) : 0;
            if (!ok || rooms < 1 || rooms > MaximumRooms)
                return refuse(QStringLiteral("L'option --rooms attend un nombre de salles entre 1 et %1.")
                                  .arg(MaximumRooms));
            result.m_rooms = rooms;
            roomsGiven = true;
        } else if (argument == QLatin1String("--user")) {
            if (!value(&result.m_user) || result.m_user.trimmed().isEmpty())
                return refuse(QStringLiteral("L'option --user attend un identifiant de connexion."));
            result.m_user = result.m_user.trimmed();
            userGiven = true;
        } else if (argument.startsWith(QLatin1Char('-'))) {
            return refuse(QStringLiteral("Option inconnue : « %1 ».").arg(argument));
        } else if (!commandSeen && argument == QLatin1String("sqlite")) {
            commandSeen = true;
        } else if (!commandSeen) {
            return refuse(
                QStringLiteral("Commande inconnue : « %1 » (seule « sqlite » existe).").arg(argument));
        } else {
            return refuse(QStringLiteral("Argument inattendu : « %1 ».").arg(argument));
        }
    }
    if (result.m_help)
        return result;
    if (!commandSeen)
        return refuse(QStringLiteral("Indiquez la commande « sqlite »."));
    if (result.m_directory.isEmpty())
        return refuse(QStringLiteral("Indiquez le dossier de la base avec --dir."));
    if ((roomsGiven || userGiven) && !result.m_demo)
        return refuse(QStringLiteral("Les options --rooms et --user ne servent qu'avec --demo."));
    return result;
}

} // namespace admin
