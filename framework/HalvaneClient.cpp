#include "HalvaneClient.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTimer>
#include <QtDebug>

#include <memory>

namespace framework
{

namespace
{

std::chrono::milliseconds &timeoutSetting()
{
    static std::chrono::milliseconds timeout{5000};
    return timeout;
}

bool hasControlCharacter(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return true;
    }
    return false;
}

} // namespace

void HalvaneClient::registerComponent()
{
    ComponentRegistry::registerComponent(className(), [] { return std::make_unique<HalvaneClient>(); });
}

std::chrono::milliseconds HalvaneClient::defaultTimeout()
{
    return timeoutSetting();
}

void HalvaneClient::setDefaultTimeout(std::chrono::milliseconds timeout)
{
    timeoutSetting() = timeout;
}

HalvaneClient::HalvaneClient() : m_timeout(timeoutSetting()) {}

QVariant HalvaneClient::getNetID(const QString &host, const QString &port, const QString &ticket)
{
    bool portOk = false;
    const uint portNumber = port.trimmed().toUInt(&portOk);
    if (!portOk || portNumber == 0 || portNumber > 65535) {
        qWarning().noquote() << ">>>>> Halvane: port invalide" << port;
        return {};
    }
    // A ticket is one line of text: a line break in it would forge a second request.
    if (ticket.isEmpty() || hasControlCharacter(ticket)) {
        qWarning().noquote() << ">>>>> Halvane: ticket invalide";
        return {};
    }
    if (!QCoreApplication::instance())
        return {};

    QTcpSocket socket;
    socket.setProxy(QNetworkProxy::NoProxy);
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QByteArray received;
    bool done = false;
    auto finish = [&] {
        done = true;
        loop.quit();
    };
    QObject::connect(&socket, &QTcpSocket::connected, &socket,
                     [&] { socket.write("TICKET " + ticket.toUtf8() + '\n'); });
    auto readLine = [&] {
        received += socket.readAll();
        if (received.contains('\n') || received.size() > maxLineLength)
            finish();
    };
    QObject::connect(&socket, &QTcpSocket::readyRead, &socket, readLine);
    QObject::connect(&socket, &QTcpSocket::errorOccurred, &socket, [&] {
        readLine();
        finish();
    });
    QObject::connect(&deadline, &QTimer::timeout, &loop, finish);

    deadline.start(m_timeout);
    if (host.isEmpty())
        socket.connectToHost(QHostAddress(QHostAddress::LocalHost), quint16(portNumber));
    else
        socket.connectToHost(host, quint16(portNumber));
    if (!done)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    socket.abort();

    const qsizetype end = received.indexOf('\n');
    if (end < 0 || end > maxLineLength) {
        qWarning().noquote() << ">>>>> Halvane: pas de réponse du lanceur sur le port" << portNumber;
        return {};
    }
    QByteArray line = received.left(end);
    if (line.endsWith('\r'))
        line.chop(1);
    if (line == "NONE")
        return QString(QLatin1String(""));
    if (line.startsWith("USER ")) {
        const QString login = QString::fromUtf8(line.mid(5)).trimmed();
        if (!hasControlCharacter(login))
            return login;
    }
    qWarning().noquote() << ">>>>> Halvane: réponse inattendue du lanceur";
    return {};
}

} // namespace framework
