#include "StartupFailure.h"

#include "EOException.h"
#include "KORFormHelpers.h"

namespace app
{

namespace
{

QString connectionAdvice(const QVariantMap &connection)
{
    const QString url = connection.value(QStringLiteral("URL")).toString().trimmed();
    if (url.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive)) {
        return QStringLiteral(
            "Vérifiez que les fichiers locavia.db et solma.db sont présents et lisibles dans "
            "le dossier de la base. Pour essayer Locavia sur une base de démonstration : "
            "locavia-admin sqlite --dir DOSSIER --demo, puis locavia --database DOSSIER.");
    }
    if (url.startsWith(QLatin1String("postgres"), Qt::CaseInsensitive)) {
        return QStringLiteral("Vérifiez que le serveur de base de données est démarré et joignable à "
                              "l'adresse %1, et que l'identifiant et le mot de passe de la connexion "
                              "(modèle de données ou service MIRL) sont acceptés par le serveur.")
            .arg(url);
    }
    return QStringLiteral("Vérifiez l'adresse URL de la connexion dans le modèle de données (« %1 »).")
        .arg(url);
}

} // namespace

QString StartupFailure::message(const std::exception &error, const QVariantMap &connection)
{
    const QString reason = framework::KORFormHelpers::traitementException(error);
    const auto *eoError = dynamic_cast<const eo::EOException *>(&error);
    if (eoError && eoError->kind() == eo::EOException::Kind::Connection) {
        return QStringLiteral("Locavia ne peut pas ouvrir sa base de données.\n\n%1\n\n%2")
            .arg(reason, connectionAdvice(connection));
    }
    if (eoError && eoError->kind() == eo::EOException::Kind::Model) {
        return QStringLiteral("Locavia ne peut pas démarrer : sa description de la base de données est "
                              "incomplète.\n\n%1\n\nVérifiez le dossier des ressources de Locavia (ou la "
                              "variable LOCAVIA_RESOURCES qui le désigne).")
            .arg(reason);
    }
    return QStringLiteral("Locavia ne peut pas démarrer.\n\n%1").arg(reason);
}

} // namespace app
