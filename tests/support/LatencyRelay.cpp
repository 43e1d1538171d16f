#include "LatencyRelay.h"

#include <QFile>
#include <QPointer>
#include <QQueue>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QUrl>

namespace
{

// One client connection and its connection to the server.
class Link : public QObject
{
public:
    Link(QTcpSocket *client, const QString &host, quint16 port, int delay, std::atomic<qint64> &roundTrips,
         std::atomic<qint64> &dropAbove, std::atomic<int> &drops, std::atomic<bool> &dropAnswer,
         QObject *parent)
        : QObject(parent), m_client(client), m_server(new QTcpSocket(this)), m_delay(delay),
          m_roundTrips(roundTrips), m_dropAbove(dropAbove), m_drops(drops), m_dropAnswer(dropAnswer)
    {
        m_client->setParent(this);
        for (QTcpSocket *socket : {m_client, m_server}) {
            connect(socket, &QTcpSocket::disconnected, this, &Link::cut);
            connect(socket, &QTcpSocket::errorOccurred, this, &Link::cut);
        }
        connect(m_client, &QTcpSocket::readyRead, this, &Link::fromClient);
        connect(m_server, &QTcpSocket::readyRead, this, &Link::fromServer);
        connect(m_server, &QTcpSocket::connected, this,
                [this] { m_server->setSocketOption(QAbstractSocket::LowDelayOption, 1); });
        m_client->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        m_server->connectToHost(host, port);
    }

private:
    void fromClient()
    {
        const QByteArray data = m_client->readAll();
        if (data.isEmpty())
            return;
        qint64 dropAbove = m_dropAbove.load();
        if (dropAbove >= 0 && data.size() >= dropAbove &&
            m_dropAbove.compare_exchange_strong(dropAbove, -1)) {
            ++m_drops;
            cut();
            return;
        }
        if (m_dropAnswer.exchange(false))
            m_cutOnAnswer = true;
        if (m_awaitingClient) {
            ++m_roundTrips;
            m_awaitingClient = false;
        }
        hold(m_toServer, data, m_server);
    }

    void fromServer()
    {
        const QByteArray data = m_server->readAll();
        if (data.isEmpty())
            return;
        if (m_cutOnAnswer) {
            m_cutOnAnswer = false;
            ++m_drops;
            cut();
            return;
        }
        m_awaitingClient = true;
        hold(m_toClient, data, m_client);
    }

    // Each chunk waits its delay; the timers all wait as long, so taking the oldest keeps the order.
    void hold(QQueue<QByteArray> &queue, const QByteArray &data, QTcpSocket *to)
    {
        queue.enqueue(data);
        QTimer::singleShot(m_delay, Qt::PreciseTimer, this, [this, &queue, to] {
            if (queue.isEmpty() || m_cut)
                return;
            const QByteArray chunk = queue.dequeue();
            if (to->state() == QAbstractSocket::ConnectedState || to == m_server)
                to->write(chunk);
        });
    }

    void cut()
    {
        if (m_cut)
            return;
        m_cut = true;
        m_client->abort();
        m_server->abort();
        deleteLater();
    }

    QTcpSocket *m_client;
    QTcpSocket *m_server;
    int m_delay;
    std::atomic<qint64> &m_roundTrips;
    std::atomic<qint64> &m_dropAbove;
    std::atomic<int> &m_drops;
    std::atomic<bool> &m_dropAnswer;
    bool m_cutOnAnswer = false;
    QQueue<QByteArray> m_toServer, m_toClient;
    bool m_awaitingClient = true;
    bool m_cut = false;
};

} // namespace

class LatencyRelay::Worker : public QObject
{
public:
    Worker(const QString &host, quint16 port, int delay, LatencyRelay &relay)
        : m_host(host), m_port(port), m_delay(delay), m_relay(relay)
    {
    }

    quint16 listen()
    {
        m_listener = new QTcpServer(this);
        if (!m_listener->listen(QHostAddress::LocalHost, 0))
            return 0;
        connect(m_listener, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *client = m_listener->nextPendingConnection()) {
                if (m_relay.m_refusing.load()) {
                    client->abort();
                    client->deleteLater();
                    continue;
                }
                new Link(client, m_host, m_port, m_delay, m_relay.m_roundTrips, m_relay.m_dropAbove,
                         m_relay.m_drops, m_relay.m_dropAnswer, this);
            }
        });
        return m_listener->serverPort();
    }

private:
    QString m_host;
    quint16 m_port;
    int m_delay;
    LatencyRelay &m_relay;
    QTcpServer *m_listener = nullptr;
};

LatencyRelay::LatencyRelay(const QString &serverHost, quint16 serverPort, int delayMilliseconds)
    : m_thread(std::make_unique<QThread>()), m_delay(delayMilliseconds)
{
    m_worker = new Worker(serverHost, serverPort, delayMilliseconds, *this);
    m_worker->moveToThread(m_thread.get());
    m_thread->start();
    QMetaObject::invokeMethod(
        m_worker, [this] { m_port = m_worker->listen(); }, Qt::BlockingQueuedConnection);
}

LatencyRelay::~LatencyRelay()
{
    // The worker and its connections go on their own thread.
    QMetaObject::invokeMethod(
        m_worker, [this] { delete m_worker; }, Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
}

void LatencyRelay::dropNextAnswer()
{
    m_dropAnswer.store(true);
}

void LatencyRelay::refuseConnections(bool refusing)
{
    m_refusing.store(refusing);
}

void LatencyRelay::dropNextRequest(qint64 minimumBytes)
{
    m_dropAbove.store(minimumBytes);
}

QString LatencyRelay::relayedUrl(const QString &url) const
{
    QUrl relayed(url);
    relayed.setHost(QStringLiteral("127.0.0.1"));
    relayed.setPort(m_port);
    return relayed.toString();
}

namespace
{

// A field of a password file line: "*" matches anything; a backslash makes the next character plain.
QStringList passwordFileFields(const QString &line)
{
    QStringList fields{QString()};
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line.at(i) == u'\\' && i + 1 < line.size())
            fields.last() += line.at(++i);
        else if (line.at(i) == u':')
            fields.append(QString());
        else
            fields.last() += line.at(i);
    }
    return fields;
}

QString storedPassword(const QUrl &server, const QString &user)
{
    QFile file(qEnvironmentVariable("PGPASSFILE"));
    if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    const QString database = server.path().mid(1);
    const auto matches = [](const QString &field, const QString &value) {
        return field == u"*" || field == value;
    };
    while (!file.atEnd()) {
        const QStringList fields = passwordFileFields(QString::fromUtf8(file.readLine()).trimmed());
        if (fields.size() == 5 && matches(fields[0], server.host()) &&
            matches(fields[1], QString::number(server.port(5432))) && matches(fields[2], database) &&
            matches(fields[3], user))
            return fields[4];
    }
    return {};
}

} // namespace

QVariantMap LatencyRelay::relayedDictionary(const QVariantMap &dictionary) const
{
    QVariantMap relayed = dictionary;
    const QUrl server(dictionary.value(QStringLiteral("URL")).toString());
    relayed.insert(QStringLiteral("URL"), relayedUrl(server.toString()));
    if (dictionary.value(QStringLiteral("password")).toString().isEmpty() && server.password().isEmpty()) {
        QString user = dictionary.value(QStringLiteral("username")).toString();
        if (user.isEmpty())
            user = server.userName();
        const QString password = storedPassword(server, user);
        if (!password.isEmpty())
            relayed.insert(QStringLiteral("password"), password);
    }
    return relayed;
}
