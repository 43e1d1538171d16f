#pragma once

#include "MIRLClientInterface.h"

#include <QByteArray>
#include <QJsonObject>
#include <QUrl>
#include <chrono>

namespace framework
{

// Our client of the MIRL directory service: JSON over HTTP or HTTPS (the protocol is described in
// docs/directory-services.md). Every request is bounded in time: a service that does not answer within the
// timeout is a service without answer, so start-up never hangs on it.
//
// A connection request without answer gives none (the model keeps what it has). A password check without
// a usable answer is a refusal, never an acceptance: the verdict then carries errno serviceUnreachableErrno
// and the message serviceUnreachableMessage().
class MIRLClient : public MIRLClientInterface
{
public:
    static QString className() { return QStringLiteral("MIRLClient"); }
    static void registerComponent();

    static constexpr int serviceUnreachableErrno = 1;
    static QString serviceUnreachableMessage();

    // The bound of every request made by clients created afterwards (5 s unless changed).
    static std::chrono::milliseconds defaultTimeout();
    static void setDefaultTimeout(std::chrono::milliseconds timeout);
    // Larger answers are not read.
    static constexpr qint64 maxAnswerSize = 64 * 1024;

    MIRLClient();

    void initClient(const QString &address) override;
    QVariant requestDecryptedConnectionInfo(const QString &modelId, const QString &alias) override;
    QVariant requestDecryptedUserInfo(const QString &login, const QString &password,
                                      const QString &alias) override;
    QVariant toDictionary(const QVariant &answer) const override;

private:
    struct Reply {
        bool answered = false; // an HTTP answer arrived whole, in time
        int status = 0;
        QByteArray body;
        QString problem; // why there is no answer, for the log
    };
    Reply post(const QString &endpoint, const QJsonObject &body) const;
    static QVariantMap refusal();

    QUrl m_address;
    std::chrono::milliseconds m_timeout;
};

} // namespace framework
