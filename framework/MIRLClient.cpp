#include "MIRLClient.h"

#include "EONull.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QtDebug>

#include <memory>
#include <optional>

namespace framework
{

namespace
{

std::chrono::milliseconds &timeoutSetting()
{
    static std::chrono::milliseconds timeout{5000};
    return timeout;
}

// The JSON object an answer holds, or nothing when it holds no object.
std::optional<QJsonObject> jsonObject(const QByteArray &body)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

// A verdict is usable only when its errno is a whole number, written as a number or as digits.
bool hasUsableErrno(const QJsonObject &verdict)
{
    const QJsonValue code = verdict.value(QLatin1String("errno"));
    if (code.isDouble()) {
        const double number = code.toDouble();
        return number == double(qint64(number));
    }
    if (code.isString()) {
        bool ok = false;
        code.toString().trimmed().toLongLong(&ok);
        return ok;
    }
    return false;
}

} // namespace

void MIRLClient::registerComponent()
{
    ComponentRegistry::registerComponent(className(), [] { return std::make_unique<MIRLClient>(); });
}

QString MIRLClient::serviceUnreachableMessage()
{
    return QStringLiteral("Le service d'identification ne peut pas être joint");
}

std::chrono::milliseconds MIRLClient::defaultTimeout()
{
    return timeoutSetting();
}

void MIRLClient::setDefaultTimeout(std::chrono::milliseconds timeout)
{
    timeoutSetting() = timeout;
}

MIRLClient::MIRLClient() : m_timeout(timeoutSetting()) {}

void MIRLClient::initClient(const QString &address)
{
    m_address = QUrl(address.trimmed(), QUrl::StrictMode);
}

QVariant MIRLClient::requestDecryptedConnectionInfo(const QString &modelId, const QString &alias)
{
    QJsonObject body{{QStringLiteral("modelId"), modelId}};
    if (!alias.isNull())
        body.insert(QStringLiteral("alias"), alias);
    const Reply reply = post(QStringLiteral("connection-info"), body);
    if (!reply.answered) {
        qWarning().noquote() << ">>>>> MIRL: pas d'information de connexion pour" << modelId << ":"
                             << reply.problem;
        return {};
    }
    // 404: the service knows nothing for this identifier.
    if (reply.status != 200)
        return {};
    return reply.body;
}

QVariant MIRLClient::requestDecryptedUserInfo(const QString &login, const QString &password,
                                              const QString &alias)
{
    const QJsonObject body{{QStringLiteral("login"), login},
                           {QStringLiteral("password"), password},
                           {QStringLiteral("alias"), alias.isNull() ? QString(QLatin1String("")) : alias}};
    const Reply reply = post(QStringLiteral("user-info"), body);
    if (!reply.answered) {
        qWarning().noquote() << ">>>>> MIRL: contrôle du mot de passe impossible :" << reply.problem;
        return refusal();
    }
    const std::optional<QJsonObject> verdict = jsonObject(reply.body);
    if (!verdict || !hasUsableErrno(*verdict)) {
        qWarning().noquote() << ">>>>> MIRL: réponse illisible au contrôle du mot de passe (HTTP"
                             << reply.status << ")";
        return refusal();
    }
    // Outside 200 only a refusal is believed: an acceptance must come with a plain answer.
    if (reply.status != 200 && verdict->value(QLatin1String("errno")).toVariant().toLongLong() <= 0) {
        qWarning().noquote() << ">>>>> MIRL: réponse HTTP" << reply.status << "au contrôle du mot de passe";
        return refusal();
    }
    return verdict->toVariantMap();
}

QVariant MIRLClient::toDictionary(const QVariant &answer) const
{
    if (answer.metaType().id() == QMetaType::QVariantMap)
        return answer;
    if (answer.metaType().id() == QMetaType::QByteArray || answer.metaType().id() == QMetaType::QString) {
        const QByteArray body = answer.metaType().id() == QMetaType::QByteArray ? answer.toByteArray()
                                                                                : answer.toString().toUtf8();
        if (const std::optional<QJsonObject> object = jsonObject(body); object && !object->isEmpty())
            return object->toVariantMap();
    }
    return eo::eoNull();
}

QVariantMap MIRLClient::refusal()
{
    return {{QStringLiteral("errno"), serviceUnreachableErrno},
            {QStringLiteral("msg"), serviceUnreachableMessage()}};
}

MIRLClient::Reply MIRLClient::post(const QString &endpoint, const QJsonObject &body) const
{
    Reply result;
    if (!m_address.isValid() ||
        (m_address.scheme() != QLatin1String("http") && m_address.scheme() != QLatin1String("https"))) {
        result.problem = QStringLiteral("adresse du service invalide : %1").arg(m_address.toDisplayString());
        return result;
    }
    if (!QCoreApplication::instance()) {
        result.problem = QStringLiteral("pas de boucle d'événements");
        return result;
    }
    QUrl url = m_address;
    QString path = url.path();
    while (path.endsWith(u'/'))
        path.chop(1);
    url.setPath(path + u'/' + endpoint);

    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    request.setRawHeader("Accept", "application/json");
    request.setTransferTimeout(int(m_timeout.count()));
    const std::unique_ptr<QNetworkReply> reply(
        manager.post(request, QJsonDocument(body).toJson(QJsonDocument::Compact)));

    bool tooLarge = false;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(reply.get(), &QNetworkReply::downloadProgress, reply.get(),
                     [&tooLarge, target = reply.get()](qint64 received, qint64) {
                         if (received > maxAnswerSize) {
                             tooLarge = true;
                             target->abort();
                         }
                     });
    // The deadline bounds the whole exchange, even a service that keeps sending a trickle of bytes.
    deadline.start(m_timeout);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!reply->isFinished()) {
        reply->abort();
        result.problem = QStringLiteral("pas de réponse en %1 ms").arg(m_timeout.count());
        return result;
    }
    if (tooLarge) {
        result.problem = QStringLiteral("réponse trop longue");
        return result;
    }
    // Below 200 the errors are those of the network (refused, reset, timed out, cancelled): whatever arrived
    // is not a whole answer. From 200 on they stand for HTTP statuses, whose body is read.
    if (reply->error() != QNetworkReply::NoError && reply->error() < QNetworkReply::ContentAccessDenied) {
        result.problem = reply->errorString();
        return result;
    }
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid()) {
        result.problem = reply->errorString();
        return result;
    }
    result.answered = true;
    result.status = status.toInt();
    result.body = reply->readAll();
    return result;
}

} // namespace framework
