#pragma once

#include <QHostAddress>
#include <QString>
#include <QVariantMap>
#include <QtGlobal>
#include <atomic>
#include <memory>

class QThread;

// A slow network between a client and a server on this machine: a TCP relay on the loopback that forwards
// every connection to the server's port and holds every chunk for a delay in each direction, so that one
// round trip costs twice the delay. It counts the round trips it relays: a message of the client that
// follows an answer of the server (or opens the connection) starts one, however many chunks it spans.
//
// It runs on a thread of its own, so that a client that blocks on its socket (libpq) is still served.
class LatencyRelay
{
public:
    LatencyRelay(const QString &serverHost, quint16 serverPort, int delayMilliseconds);
    ~LatencyRelay();
    LatencyRelay(const LatencyRelay &) = delete;
    LatencyRelay &operator=(const LatencyRelay &) = delete;

    // The loopback port the clients connect to; 0 when the relay could not listen.
    quint16 port() const { return m_port; }
    int delay() const { return m_delay; }

    // Since the relay started or was last reset, over every connection.
    qint64 roundTrips() const { return m_roundTrips.load(); }
    void resetRoundTrips() { m_roundTrips.store(0); }

    // The next message of a client that holds at least minimumBytes is not forwarded: both sides of its
    // connection are cut instead, as a network that fails in the middle of a request.
    void dropNextRequest(qint64 minimumBytes = 0);
    // The next message of a client is forwarded, and its connection is cut as soon as the server answers, the
    // answer lost: as a network that fails after the server did the work.
    void dropNextAnswer();
    // While on, every new connection is closed at once, as a server that cannot be reached.
    void refuseConnections(bool refusing);
    // Connections cut so far by dropNextRequest and dropNextAnswer.
    int drops() const { return m_drops.load(); }

    // A PostgreSQL URL of the form postgresql://host:port/database?... with host and port replaced by the
    // relay's.
    QString relayedUrl(const QString &url) const;
    // A connection dictionary of the server made to go through the relay: its URL relayed, and the password
    // that libpq's password file (PGPASSFILE) keeps for the server's own host and port given explicitly,
    // since the file knows nothing of the relay's port.
    QVariantMap relayedDictionary(const QVariantMap &dictionary) const;

    class Worker;

private:
    std::unique_ptr<QThread> m_thread;
    Worker *m_worker = nullptr; // lives on m_thread, deleted there
    quint16 m_port = 0;
    int m_delay = 0;
    std::atomic<qint64> m_roundTrips{0};
    std::atomic<qint64> m_dropAbove{-1};
    std::atomic<int> m_drops{0};
    std::atomic<bool> m_dropAnswer{false};
    std::atomic<bool> m_refusing{false};
};
