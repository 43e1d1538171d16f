#include "AdminArguments.h"

namespace admin
{

QString AdminArguments::usage()
{
    return QStringLiteral(
        "Utilisation : locavia-admin sqlite --dir DOSSIER [--demo] [--rooms N] [--user LOGIN] [--replace]\n"
        "              locavia-admin postgresql --url postgresql://COMPTE@SERVEUR:PORT/BASE [--password "
        "MOT]\n"
        "                            [--demo] [--rooms N] [--user LOGIN]\n"
        "              locavia-admin backup [--dir DOSSIER] [--daily]\n"
        "              locavia-admin restore [--dir DOSSIER] (SAUVEGARDE | --list)\n"
        "              locavia-admin --help | --version\n"
        "\n"
        "sqlite : installe la base embarquée de Locavia (locavia.db et solma.db) dans DOSSIER, ou la met à\n"
        "jour si elle existe déjà (les données sont conservées).\n"
        "postgresql : installe les schémas de Locavia (locavia et solma) dans la base BASE du serveur, ou\n"
        "les met à jour (les données sont conservées) ; la base est créée si le serveur ne l'a pas encore.\n"
        "backup : sauvegarde la base embarquée (locavia.db et solma.db ensemble) dans son dossier de\n"
        "sauvegardes (« sauvegardes » à côté des fichiers, ou BACKUP_DIR du fichier de configuration).\n"
        "restore : liste les sauvegardes (--list), ou vérifie la sauvegarde SAUVEGARDE (son nom ou son\n"
        "dossier), garde les fichiers actuels parmi les sauvegardes et la remet à leur place. Fermez "
        "Locavia\n"
        "avant de restaurer.\n"
        "\n"
        "  --dir DOSSIER   dossier de la base embarquée (créé au besoin ; pour backup et restore, celui de\n"
        "                  l'utilisateur par défaut)\n"
        "  --replace       remplace une base embarquée existante par une base vide (ses données sont "
        "perdues)\n"
        "  --url ADRESSE   base du serveur PostgreSQL\n"
        "  --password MOT  mot de passe du compte (sinon PGPASSWORD ou ~/.pgpass)\n"
        "  --demo          ajoute des données de démonstration si la base ne contient encore aucune salle\n"
        "  --rooms N       nombre de salles de démonstration (300 par défaut)\n"
        "  --user LOGIN    compte de démonstration autorisé (par défaut, l'utilisateur courant)\n"
        "  --daily         la copie du jour, gardée par la rotation (7 jours, 4 semaines), si aucune n'a "
        "été\n"
        "                  faite aujourd'hui (pour cron)\n"
        "  --list          liste les sauvegardes : nom, date, type, salles, version\n"
        "  -h, --help      affiche cette aide et s'arrête\n"
        "  -v, --version   affiche la version et s'arrête\n"
        "\n"
        "Codes de sortie :\n"
        "  0  base installée ou mise à jour, sauvegarde faite, listée ou restaurée, aide ou version "
        "affichée\n"
        "  1  échec de l'installation, du chargement des données, de la sauvegarde ou de la restauration\n"
        "     (une sauvegarde endommagée est refusée, la base reste telle quelle)\n"
        "  2  ligne de commande incorrecte\n");
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
    bool passwordGiven = false;
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
        } else if (argument == QLatin1String("--version") || argument == QLatin1String("-v")) {
            result.m_version = true;
        } else if (argument == QLatin1String("--dir")) {
            if (!value(&result.m_directory) || result.m_directory.isEmpty())
                return refuse(QStringLiteral("L'option --dir attend un dossier."));
        } else if (argument == QLatin1String("--url")) {
            if (!value(&result.m_url) || result.m_url.trimmed().isEmpty())
                return refuse(QStringLiteral("L'option --url attend l'adresse d'une base PostgreSQL."));
            result.m_url = result.m_url.trimmed();
            if (!result.m_url.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) &&
                !result.m_url.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive))
                return refuse(QStringLiteral("L'adresse « %1 » n'est pas celle d'une base PostgreSQL "
                                             "(postgresql://compte@serveur:port/base).")
                                  .arg(result.m_url));
        } else if (argument == QLatin1String("--password")) {
            // A password may begin with "--": it is taken as it is.
            if (i + 1 >= arguments.size())
                return refuse(QStringLiteral("L'option --password attend un mot de passe."));
            result.m_password = arguments.at(++i);
            passwordGiven = true;
        } else if (argument == QLatin1String("--demo")) {
            result.m_demo = true;
        } else if (argument == QLatin1String("--replace")) {
            result.m_replace = true;
        } else if (argument == QLatin1String("--daily")) {
            result.m_daily = true;
        } else if (argument == QLatin1String("--list")) {
            result.m_list = true;
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
            result.m_command = Command::Sqlite;
        } else if (!commandSeen && argument == QLatin1String("postgresql")) {
            commandSeen = true;
            result.m_command = Command::PostgreSQL;
        } else if (!commandSeen &&
                   (argument == QLatin1String("backup") || argument == QLatin1String("restore"))) {
            commandSeen = true;
            result.m_command = argument == QLatin1String("backup") ? Command::Backup : Command::Restore;
        } else if (!commandSeen) {
            return refuse(
                QStringLiteral("Commande inconnue : « %1 » (« sqlite », « postgresql », « backup » ou "
                               "« restore »).")
                    .arg(argument));
        } else if (result.m_command == Command::Restore && result.m_backup.isEmpty()) {
            result.m_backup = argument;
        } else {
            return refuse(QStringLiteral("Argument inattendu : « %1 ».").arg(argument));
        }
    }
    if (result.m_help || result.m_version)
        return result;
    if (!commandSeen)
        return refuse(
            QStringLiteral("Indiquez la commande « sqlite », « postgresql », « backup » ou « restore »."));
    if (result.m_command != Command::Restore && result.m_list)
        return refuse(QStringLiteral("L'option --list ne sert qu'avec la commande « restore »."));
    if (result.m_command != Command::Backup && result.m_daily)
        return refuse(QStringLiteral("L'option --daily ne sert qu'avec la commande « backup »."));
    if (result.m_command == Command::Backup || result.m_command == Command::Restore) {
        if (!result.m_url.isEmpty() || passwordGiven || result.m_demo || result.m_replace || roomsGiven ||
            userGiven)
            return refuse(
                QStringLiteral("Les commandes « backup » et « restore » n'acceptent que --dir, --daily, "
                               "--list et le nom d'une sauvegarde."));
        if (result.m_command == Command::Restore && result.m_list == !result.m_backup.isEmpty())
            return refuse(QStringLiteral("Indiquez la sauvegarde à restaurer, ou --list pour les lister."));
        return result;
    }
    if (result.m_command == Command::Sqlite) {
        if (!result.m_url.isEmpty() || passwordGiven)
            return refuse(QStringLiteral("Les options --url et --password ne servent qu'avec la commande "
                                         "« postgresql »."));
        if (result.m_directory.isEmpty())
            return refuse(QStringLiteral("Indiquez le dossier de la base avec --dir."));
    } else {
        if (!result.m_directory.isEmpty() || result.m_replace)
            return refuse(QStringLiteral("Les options --dir et --replace ne servent qu'avec la commande "
                                         "« sqlite »."));
        if (result.m_url.isEmpty())
            return refuse(QStringLiteral("Indiquez la base du serveur avec --url."));
    }
    if ((roomsGiven || userGiven) && !result.m_demo)
        return refuse(QStringLiteral("Les options --rooms et --user ne servent qu'avec --demo."));
    return result;
}

} // namespace admin
