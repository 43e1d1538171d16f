#include "EOAdaptor.h"

#include "EOException.h"
#include "EOPostgreSQLAdaptor.h"
#include "EOSQLiteAdaptor.h"

namespace eo
{

std::unique_ptr<EOAdaptor> EOAdaptor::adaptorWithConnectionDictionary(const QVariantMap &dictionary)
{
    const QString url = dictionary.value(QStringLiteral("URL")).toString();
    std::unique_ptr<EOAdaptor> adaptor;
    if (url.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive)) {
        adaptor = std::make_unique<EOSQLiteAdaptor>();
    } else if (url.startsWith(QLatin1String("postgresql:"), Qt::CaseInsensitive) ||
               url.startsWith(QLatin1String("postgres:"), Qt::CaseInsensitive)) {
        adaptor = std::make_unique<EOPostgreSQLAdaptor>();
    } else {
        throw EOException(EOException::Kind::Connection,
                          QStringLiteral("L'adresse de base de données « %1 » n'est pas reconnue : "
                                         "elle doit commencer par sqlite:// ou postgresql://.")
                              .arg(url));
    }
    adaptor->setConnectionDictionary(dictionary);
    return adaptor;
}

void EOAdaptor::setSessionLogin(const QString &login)
{
    m_sessionLogin = login;
    if (isOpen())
        applySessionLogin();
}

void EOAdaptor::checkArguments(const EOStoredProcedure &procedure, const QVariantMap &values)
{
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        if (!procedure.argumentNamed(it.key())) {
            throw EOException(
                EOException::Kind::Database,
                QStringLiteral("La procédure %1 n'a pas d'argument « %2 ».").arg(procedure.name, it.key()));
        }
    }
}

} // namespace eo
