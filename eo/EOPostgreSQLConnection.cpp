#include "EOPostgreSQLConnection.h"

#include "EOAdaptor.h"

#include <QDebug>
#include <QMap>
#include <QRegularExpression>
#include <QStringList>
#include <QUrl>
#include <QUrlQuery>
#include <libpq-fe.h>
#include <vector>

namespace eo
{

namespace
{

QString firstFilled(const QVariantMap &dictionary, std::initializer_list<const char *> keys)
{
    for (const char *key : keys) {
        const QString value = dictionary.value(QLatin1String(key)).toString();
        if (!value.isEmpty())
            return value;
    }
    return {};
}

QString oneLine(QString text)
{
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text.simplified();
}

// The schemas of the dictionary's search path; they go into the connection's options, so only plain names
// are taken.
QStringList searchPath(const QVariantMap &dictionary)
{
    static const QRegularExpression name(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    const QString text = dictionary.value(QStringLiteral("searchPath")).toString();
    QStringList schemas;
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString schema = part.trimmed();
        if (!name.match(schema).hasMatch()) {
            throw EOException(EOException::Kind::Connection,
                              QStringLiteral("Le chemin de recherche « %1 » du modèle doit être une liste de "
                                             "noms de schémas séparés par des virgules.")
                                  .arg(text));
        }
        schemas.append(schema);
    }
    return schemas;
}

// The installation hint of the dictionary after a message, when there is one.
QString withHint(const QString &message, const QString &hint)
{
    return hint.isEmpty() ? message : message + QLatin1Char(' ') + hint;
}

bool containsAny(const QString &text, std::initializer_list<const char *> needles)
{
    for (const char *needle : needles) {
        if (text.contains(QLatin1String(needle), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace

void EOPostgreSQLConnection::Closer::operator()(pg_conn *connection) const
{
    PQfinish(connection);
}

void EOPostgreSQLConnection::ResultClearer::operator()(pg_result *result) const
{
    PQclear(result);
}

EOPostgreSQLConnection::Parameters
EOPostgreSQLConnection::parametersForDictionary(const QVariantMap &dictionary)
{
    const QString text = dictionary.value(QStringLiteral("URL")).toString().trimmed();
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != u"postgresql" && scheme != u"postgres")) {
        throw EOException(EOException::Kind::Connection,
                          QStringLiteral("L'adresse « %1 » n'est pas celle d'un serveur PostgreSQL "
                                         "(postgresql://serveur:port/base).")
                              .arg(text));
    }
    QString database = url.path(QUrl::FullyDecoded);
    while (database.startsWith(QLatin1Char('/')))
        database.remove(0, 1);
    if (database.isEmpty() || database.contains(QLatin1Char('/'))) {
        throw EOException(
            EOException::Kind::Connection,
            QStringLiteral(
                "L'adresse « %1 » ne nomme pas de base de données (postgresql://serveur:port/base).")
                .arg(text));
    }

    // Ordered by keyword so that each is given once; the URL's own options may replace the defaults but not
    // what the program relies on (encoding, search path).
    QMap<QByteArray, QByteArray> keywords;
    keywords.insert("connect_timeout", QByteArray::number(DefaultConnectTimeout));
    keywords.insert("keepalives", "1");
    keywords.insert("keepalives_idle", "30");
    keywords.insert("keepalives_interval", "10");
    keywords.insert("keepalives_count", "3");
    const QString application = dictionary.value(QStringLiteral("applicationName")).toString();
    if (!application.isEmpty())
        keywords.insert("application_name", application.toUtf8());
    const QList<QPair<QString, QString>> options = QUrlQuery(url).queryItems(QUrl::FullyDecoded);
    for (const auto &[key, value] : options)
        keywords.insert(key.toUtf8(), value.toUtf8());
    const QString timeout = dictionary.value(QStringLiteral("connectTimeout")).toString();
    if (!timeout.isEmpty())
        keywords.insert("connect_timeout", timeout.toUtf8());
    if (!url.host().isEmpty())
        keywords.insert("host", url.host(QUrl::FullyDecoded).toUtf8());
    if (url.port() > 0)
        keywords.insert("port", QByteArray::number(url.port()));
    keywords.insert("dbname", database.toUtf8());
    const QString user = firstFilled(dictionary, {"username", "userName"});
    const QString effectiveUser = user.isEmpty() ? url.userName(QUrl::FullyDecoded) : user;
    if (!effectiveUser.isEmpty())
        keywords.insert("user", effectiveUser.toUtf8());
    const QString password = firstFilled(dictionary, {"password"});
    const QString effectivePassword = password.isEmpty() ? url.password(QUrl::FullyDecoded) : password;
    if (!effectivePassword.isEmpty())
        keywords.insert("password", effectivePassword.toUtf8());
    keywords.insert("client_encoding", "UTF8");
    const QStringList schemas = searchPath(dictionary);
    QByteArray settings = "-c standard_conforming_strings=on";
    if (!schemas.isEmpty())
        settings = "-c search_path=" + schemas.join(QLatin1Char(',')).toUtf8() + ' ' + settings;
    // Time limits of the session, so that a call waiting on another user's lock, or a statement that runs
    // away, ends with a message instead of holding the window for ever.
    const int lockTimeout =
        EOAdaptor::secondsOf(dictionary, QStringLiteral("lockTimeout"), EOAdaptor::DefaultLockTimeout);
    const int statementTimeout = EOAdaptor::secondsOf(dictionary, QStringLiteral("statementTimeout"),
                                                      EOAdaptor::DefaultStatementTimeout);
    settings += " -c lock_timeout=" + QByteArray::number(lockTimeout) +
                "s -c statement_timeout=" + QByteArray::number(statementTimeout) + 's';
    keywords.insert("options", settings);

    Parameters parameters;
    for (auto it = keywords.constBegin(); it != keywords.constEnd(); ++it)
        parameters.keywords.append({it.key(), it.value()});
    const QString host = keywords.value("host", "localhost");
    parameters.server = host + QLatin1Char(':') + QString::fromUtf8(keywords.value("port", "5432"));
    parameters.database = database;
    parameters.user = effectiveUser;
    parameters.schema = schemas.value(0);
    parameters.installHint = dictionary.value(QStringLiteral("installHint")).toString();
    return parameters;
}

EOPostgreSQLConnection::Parameters EOPostgreSQLConnection::withDatabase(Parameters parameters,
                                                                        const QString &database)
{
    for (auto &[keyword, value] : parameters.keywords) {
        if (keyword == "dbname")
            value = database.toUtf8();
    }
    parameters.database = database;
    return parameters;
}

QString EOPostgreSQLConnection::describe(const Parameters &parameters)
{
    return QStringLiteral("« %1/%2 »").arg(parameters.server, parameters.database);
}

QString EOPostgreSQLConnection::connectionFailureMessage(const Parameters &parameters, const QString &detail)
{
    const QString server = QStringLiteral("« %1 »").arg(parameters.server);
    const QString why = oneLine(detail);
    QString message;
    if (containsAny(why, {"password authentication failed", "no password supplied", "mot de passe",
                          "pg_hba.conf", "authentication failed", "authentification"}) ||
        (containsAny(why, {"role \"", "rôle"}) && containsAny(why, {"does not exist", "n'existe pas"}))) {
        message =
            QStringLiteral("Le serveur de base de données %1 refuse la connexion de l'utilisateur « %2 » : "
                           "identifiant ou mot de passe incorrect, ou accès non autorisé. Vérifiez "
                           "l'identifiant et le mot de passe, ou demandez l'accès à l'administrateur "
                           "du serveur.")
                .arg(server, parameters.user);
    } else if (containsAny(why, {"database \"", "base de données"}) &&
               containsAny(why, {"does not exist", "n'existe pas"})) {
        message = QStringLiteral("La base de données « %1 » n'existe pas sur le serveur %2 : corrigez "
                                 "l'adresse du modèle ou créez la base.")
                      .arg(parameters.database, server);
    } else if (containsAny(why, {"timeout expired", "délai"})) {
        message = QStringLiteral("Le serveur de base de données %1 ne répond pas : la connexion a été "
                                 "abandonnée après le délai d'attente. Vérifiez le réseau et réessayez.")
                      .arg(server);
    } else if (containsAny(why, {"connection refused", "could not connect", "could not translate host name",
                                 "no route to host", "network is unreachable", "is starting up",
                                 "shutting down", "connexion refusée", "n'a pas pu"})) {
        message =
            QStringLiteral("Le serveur de base de données %1 est injoignable : vérifiez qu'il est démarré "
                           "et que l'adresse du modèle est correcte.")
                .arg(server);
    } else {
        message =
            QStringLiteral("La connexion au serveur de base de données %1 a échoué : vérifiez l'adresse "
                           "du modèle et le réseau, puis réessayez.")
                .arg(server);
    }
    // libpq's own words (English, or the server's language) are for whoever looks after the server.
    if (!why.isEmpty())
        qWarning().noquote() << QStringLiteral(">>>>> %1 [%2]").arg(message, why);
    return message;
}

QString EOPostgreSQLConnection::lostConnectionMessage(const Parameters &parameters, bool transactionLost)
{
    QString message = QStringLiteral("La connexion au serveur de base de données %1 a été perdue.")
                          .arg(QStringLiteral("« %1 »").arg(parameters.server));
    if (transactionLost)
        message += QStringLiteral(" La transaction en cours a été annulée : rien n'a été enregistré.");
    message += QStringLiteral(" L'opération suivante se reconnectera.");
    return message;
}

QString EOPostgreSQLConnection::unconfirmedWriteMessage(const Parameters &parameters)
{
    return QStringLiteral(
               "La connexion au serveur de base de données « %1 » a été perdue avant que le serveur "
               "ne confirme l'enregistrement, et il n'a pas pu dire ensuite ce qu'il en est : "
               "l'enregistrement a peut-être été fait, ou pas. Réessayez : ce qui est enregistré sera "
               "vérifié d'abord.")
        .arg(parameters.server);
}

QString EOPostgreSQLConnection::rolledBackAfterLossMessage(const Parameters &parameters)
{
    return QStringLiteral("La connexion au serveur de base de données « %1 » a été perdue avant la fin de "
                          "l'enregistrement ; le serveur, interrogé de nouveau, confirme que rien n'a été "
                          "enregistré. Vous pouvez recommencer.")
        .arg(parameters.server);
}

EOPostgreSQLConnection::Handle EOPostgreSQLConnection::connect(const Parameters &parameters)
{
    std::vector<const char *> keywords;
    std::vector<const char *> values;
    for (const auto &[keyword, value] : parameters.keywords) {
        keywords.push_back(keyword.constData());
        values.push_back(value.constData());
    }
    keywords.push_back(nullptr);
    values.push_back(nullptr);
    Handle connection(PQconnectdbParams(keywords.data(), values.data(), 0));
    if (!connection) {
        throw EOException(EOException::Kind::Connection,
                          connectionFailureMessage(parameters, QStringLiteral("mémoire insuffisante")));
    }
    if (PQstatus(connection.get()) != CONNECTION_OK) {
        throw EOException(EOException::Kind::Connection,
                          connectionFailureMessage(
                              parameters, QString::fromUtf8(PQerrorMessage(connection.get())).trimmed()));
    }
    // Notices (a procedure's RAISE NOTICE, "already exists, skipping") are not the user's business.
    PQsetNoticeProcessor(
        connection.get(), [](void *, const char *) {}, nullptr);
    return connection;
}

EOException EOPostgreSQLConnection::errorOfResult(const pg_result *result, const Parameters &parameters,
                                                  const QString &context)
{
    const QByteArray state = result ? QByteArray(PQresultErrorField(result, PG_DIAG_SQLSTATE)) : QByteArray();
    const char *primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    const QString message = primary  ? QString::fromUtf8(primary)
                            : result ? oneLine(QString::fromUtf8(PQresultErrorMessage(result)))
                                     : QString();
    return errorForState(state, message, parameters, context);
}

EOException EOPostgreSQLConnection::errorForState(const QByteArray &state, const QString &serverMessage,
                                                  const Parameters &parameters, const QString &context)
{
    // A refusal of a procedure: its sentence is already the user's.
    if (state == "P0001")
        return EOException(EOException::Kind::Database, serverMessage);
    EOException error = frenchError(state, parameters, context);
    // The server's own text (English, with names of tables and statements) helps whoever maintains the
    // database, not the user: it goes to the log beside what the user read.
    qWarning().noquote() << QStringLiteral(">>>>> %1 [SQLSTATE %2 : %3%4]")
                                .arg(error.message(), QString::fromLatin1(state), serverMessage,
                                     context.isEmpty() ? QString() : QStringLiteral(" ; ") + context);
    return error;
}

EOException EOPostgreSQLConnection::frenchError(const QByteArray &state, const Parameters &parameters,
                                                const QString &context)
{
    if (state.startsWith("08") || state == "57P01" || state == "57P02" || state == "57P03" || state.isEmpty())
        return EOException(EOException::Kind::Connection, lostConnectionMessage(parameters, false));
    if (state == "42883" && context.startsWith(QLatin1String("procédure "))) {
        return EOException(
            EOException::Kind::Database,
            withHint(QStringLiteral("La %1 n'existe pas dans la base de données %2, ou pas avec "
                                    "les arguments du modèle : installez le schéma sur le serveur.")
                         .arg(context, describe(parameters)),
                     parameters.installHint));
    }
    if (state == "42P01" || state == "3F000") {
        return EOException(EOException::Kind::Database,
                           withHint(QStringLiteral("La base de données %1 n'a pas les tables du modèle : "
                                                   "installez le schéma sur le serveur.")
                                        .arg(describe(parameters)),
                                    parameters.installHint));
    }
    // The exact states first, then their classes (the first two characters).
    static const QList<QPair<QByteArray, QString>> messages{
        {"40001",
         QStringLiteral("La base de données est occupée par un autre utilisateur ; réessayez dans un "
                        "instant.")},
        {"40P01",
         QStringLiteral("La base de données est occupée par un autre utilisateur ; réessayez dans un "
                        "instant.")},
        {"55P03",
         QStringLiteral("La base de données est occupée par un autre utilisateur ; réessayez dans un "
                        "instant.")},
        {"23505", QStringLiteral("Contrainte d'intégrité non respectée : cette valeur est déjà enregistrée. "
                                 "Changez-la et recommencez.")},
        {"23502", QStringLiteral("Contrainte d'intégrité non respectée : une valeur obligatoire manque. "
                                 "Remplissez-la et recommencez.")},
        {"23503",
         QStringLiteral("Contrainte d'intégrité non respectée : un enregistrement lié manque, ou est "
                        "encore utilisé ailleurs.")},
        {"23514",
         QStringLiteral("Contrainte d'intégrité non respectée : une valeur sort des limites permises. "
                        "Corrigez-la et recommencez.")},
        {"23", QStringLiteral("Contrainte d'intégrité non respectée : corrigez les valeurs saisies et "
                              "recommencez.")},
        {"22001", QStringLiteral("Un texte est trop long pour la base de données : raccourcissez-le et "
                                 "recommencez.")},
        {"22003", QStringLiteral("Un nombre est trop grand pour la base de données : corrigez-le et "
                                 "recommencez.")},
        {"22P02", QStringLiteral("Une valeur n'a pas la forme que la base de données attend (un nombre, une "
                                 "date) : corrigez-la et recommencez.")},
        {"22007", QStringLiteral("Une date n'est pas valable pour la base de données : corrigez-la et "
                                 "recommencez.")},
        {"22008", QStringLiteral("Une date n'est pas valable pour la base de données : corrigez-la et "
                                 "recommencez.")},
        {"22021", QStringLiteral("Un texte contient un caractère que la base de données n'accepte pas : "
                                 "retirez-le et recommencez.")},
        {"22P05", QStringLiteral("Un texte contient un caractère que la base de données n'accepte pas : "
                                 "retirez-le et recommencez.")},
        {"22", QStringLiteral("Valeur refusée par la base de données : corrigez la valeur saisie et "
                              "recommencez.")},
        {"42501",
         QStringLiteral("Droits insuffisants sur la base de données %1 : le compte « %2 » ne peut pas "
                        "faire cette opération, et rien n'en a été enregistré. Demandez les droits "
                        "nécessaires à l'administrateur de la base.")},
        {"25006", QStringLiteral("Le serveur de base de données %1 n'accepte que des lectures en ce moment : "
                                 "rien n'a été enregistré. Réessayez plus tard ou prévenez l'administrateur "
                                 "du serveur.")},
        {"57014", QStringLiteral("L'opération a été interrompue par le serveur : rien n'en a été enregistré. "
                                 "Recommencez.")},
        {"53100", QStringLiteral("Le disque du serveur de base de données %1 est plein : rien n'a été "
                                 "enregistré. Prévenez l'administrateur du serveur, puis recommencez.")},
        {"53300", QStringLiteral("Le serveur de base de données %1 a atteint le nombre de connexions qu'il "
                                 "permet : réessayez dans un instant, ou prévenez l'administrateur du "
                                 "serveur.")},
        {"53",
         QStringLiteral("Le serveur de base de données %1 manque de ressources (mémoire, disque) : rien "
                        "n'a été enregistré. Recommencez dans un instant ; si l'erreur revient, "
                        "prévenez l'administrateur du serveur.")},
        {"58",
         QStringLiteral("Le serveur de base de données %1 n'a pas pu lire ou écrire ses fichiers : rien "
                        "n'a été enregistré. Prévenez l'administrateur du serveur.")},
        {"XX",
         QStringLiteral("Le serveur de base de données %1 a rencontré une erreur interne : rien n'a été "
                        "enregistré. Prévenez l'administrateur du serveur.")},
    };
    for (const qsizetype length : {5, 2}) {
        for (const auto &[known, message] : messages) {
            if (known.size() == length && state.left(length) == known) {
                QString text = message;
                if (text.contains(QLatin1String("%1")))
                    text = text.arg(describe(parameters));
                if (text.contains(QLatin1String("%2")))
                    text = text.arg(parameters.user);
                return EOException(EOException::Kind::Database, text);
            }
        }
    }
    return EOException(EOException::Kind::Database,
                       QStringLiteral("La base de données %1 a refusé l'opération : rien n'en a été "
                                      "enregistré. Recommencez ; si l'erreur revient, prévenez "
                                      "l'administrateur de la base (le détail est écrit dans le journal du "
                                      "programme).")
                           .arg(describe(parameters)));
}

void EOPostgreSQLConnection::execute(pg_conn *connection, const Parameters &parameters, const QString &sql,
                                     const QString &context)
{
    const Result result(PQexec(connection, sql.toUtf8().constData()));
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && status != PGRES_EMPTY_QUERY) {
        if (PQstatus(connection) == CONNECTION_BAD)
            throw EOException(EOException::Kind::Connection, lostConnectionMessage(parameters, true));
        throw errorOfResult(result.get(), parameters, context.isEmpty() ? sql.left(80) : context);
    }
}

} // namespace eo
