// The MIRL and Halvane clients against fake services on the loopback interface, started by the tests: what
// each request sends, how each answer is read, and that a service that never answers, answers garbage or
// is not there costs a bounded time and gives "no answer" (for a password check: a refusal). The wrappers
// find the components by name: taken away, they answer none.

#include "ComponentRegistry.h"
#include "EONull.h"
#include "HalvaneClient.h"
#include "MIRLClient.h"
#include "MIRLClientInterface.h"
#include "MIRLClientOC.h"
#include "QEBClientOC.h"

#include <QElapsedTimer>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

using framework::ComponentRegistry;
using framework::HalvaneClient;
using framework::MIRLClient;
using framework::MIRLClientOC;
using framework::QEBClientOC;

namespace
{

constexpr std::chrono::milliseconds shortTimeout{400};
// Far below the 5 s a request would take without the bound, far above the short timeout.
constexpr qint64 boundMs = 3000;

// A small HTTP server: reads one request (headers and a body of Content-Length bytes), records it and
// answers as told.
class FakeMirlServer : public QObject
{
public:
    enum class Mode {
        Answer,     // status and body
        Silent,     // reads the request, never answers
        Trickle,    // sends the headers, then one byte now and then, never the end
        CloseAtOnce // drops the connection without a word
    };
    struct Request {
        QByteArray method;
        QByteArray path;
        QByteArray body;
    };

    Mode mode = Mode::Answer;
    int status = 200;
    QByteArray body;
    QList<Request> requests;

    FakeMirlServer()
    {
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = server.nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
            }
        });
    }

    QString url(const QString &path = QStringLiteral("/mirl")) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server.serverPort()).arg(path);
    }

    QJsonObject lastJson() const
    {
        return requests.isEmpty() ? QJsonObject() : QJsonDocument::fromJson(requests.last().body).object();
    }

private:
    void read(QTcpSocket *socket)
    {
        QByteArray &buffer = buffers[socket];
        buffer += socket->readAll();
        const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return;
        qsizetype length = 0;
        const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
        for (const QByteArray &line : lines) {
            if (line.toLower().startsWith("content-length:"))
                length = line.mid(15).trimmed().toLongLong();
        }
        if (buffer.size() < headerEnd + 4 + length)
            return;
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        requests.append({requestLine.value(0), requestLine.value(1), buffer.mid(headerEnd + 4, length)});
        buffer.clear();
        respond(socket);
    }

    void respond(QTcpSocket *socket)
    {
        switch (mode) {
        case Mode::Silent:
            return;
        case Mode::CloseAtOnce:
            socket->abort();
            return;
        case Mode::Trickle: {
            socket->write(
                "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 100000\r\n\r\n{");
            auto *timer = new QTimer(socket);
            connect(timer, &QTimer::timeout, socket, [socket] { socket->write(" "); });
            timer->start(50);
            return;
        }
        case Mode::Answer:
            socket->write("HTTP/1.1 " + QByteArray::number(status) +
                          " X\r\nContent-Type: application/json\r\n" + "Content-Length: " +
                          QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
            socket->disconnectFromHost();
            return;
        }
    }

    QTcpServer server;
    QHash<QTcpSocket *, QByteArray> buffers;
};

// The launcher's side of the line protocol: answers from a table of tickets, or as told.
class FakeLauncher : public QObject
{
public:
    enum class Mode { Answer, Silent, Raw };
    Mode mode = Mode::Answer;
    QHash<QByteArray, QByteArray> users; // ticket -> login
    QByteArray raw;                      // what Raw sends, whatever was asked
    QList<QByteArray> received;          // every line received
    int connections = 0;

    FakeLauncher()
    {
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = server.nextPendingConnection()) {
                ++connections;
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
            }
        });
    }

    QString port() const { return QString::number(server.serverPort()); }

private:
    void read(QTcpSocket *socket)
    {
        QByteArray &buffer = buffers[socket];
        buffer += socket->readAll();
        const qsizetype end = buffer.indexOf('\n');
        if (end < 0)
            return;
        const QByteArray line = buffer.left(end);
        received.append(line);
        buffer.remove(0, end + 1);
        if (mode == Mode::Silent)
            return;
        if (mode == Mode::Raw) {
            socket->write(raw);
        } else if (line.startsWith("TICKET ") && users.contains(line.mid(7))) {
            socket->write("USER " + users.value(line.mid(7)) + '\n');
        } else {
            socket->write("NONE\n");
        }
        socket->disconnectFromHost();
    }

    QTcpServer server;
    QHash<QTcpSocket *, QByteArray> buffers;
};

// A port where nothing listens: taken from a server that is then closed.
quint16 closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

// A dropped connection is tried once more by Qt's HTTP layer before it gives up.
void verifyAskedOnce(const FakeMirlServer &service)
{
    const qsizetype allowed = service.mode == FakeMirlServer::Mode::CloseAtOnce ? 2 : 1;
    QVERIFY2(!service.requests.isEmpty() && service.requests.size() <= allowed,
             qPrintable(QString::number(service.requests.size())));
}

QVariantMap connectionInfo(const QString &url, const QString &modelId, const QString &alias)
{
    MIRLClientOC client;
    client.initClient(url);
    return MIRLClientOC::toDictionary(client.requestDecryptedConnectionInfo(modelId, alias)).toMap();
}

QVariant connectionAnswer(const QString &url)
{
    MIRLClientOC client;
    client.initClient(url);
    return MIRLClientOC::toDictionary(client.requestDecryptedConnectionInfo(QStringLiteral("M1"), QString()));
}

QVariantMap userInfo(const QString &url, const QString &login, const QString &password, const QString &alias)
{
    MIRLClientOC client;
    client.initClient(url);
    return MIRLClientOC::toDictionary(client.requestDecryptedUserInfo(login, password, alias)).toMap();
}

// A stand-in registered under the MIRL client's name, recording what the wrapper hands it.
class RecordingMirlClient : public framework::MIRLClientInterface
{
public:
    static inline QStringList calls;
    void initClient(const QString &address) override { calls.append(QStringLiteral("init ") + address); }
    QVariant requestDecryptedConnectionInfo(const QString &modelId, const QString &alias) override
    {
        calls.append(QStringLiteral("connection %1 %2")
                         .arg(modelId, alias.isNull() ? QStringLiteral("(absent)") : alias));
        return QStringLiteral("answer");
    }
    QVariant requestDecryptedUserInfo(const QString &login, const QString &password,
                                      const QString &alias) override
    {
        calls.append(QStringLiteral("user %1 %2 %3").arg(login, password, alias));
        return QStringLiteral("verdict");
    }
    QVariant toDictionary(const QVariant &answer) const override
    {
        return QVariantMap{{QStringLiteral("from"), answer}};
    }
};

} // namespace

class TestDirectoryClients : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void connectionInfoAnswered();
    void connectionInfoWithoutAlias();
    void connectionInfoNoAnswer_data();
    void connectionInfoNoAnswer();
    void connectionInfoFromAServiceThatNeverAnswers_data();
    void connectionInfoFromAServiceThatNeverAnswers();

    void passwordAccepted();
    void passwordRefusedByTheService_data();
    void passwordRefusedByTheService();
    void passwordCheckWithoutUsableAnswerIsARefusal_data();
    void passwordCheckWithoutUsableAnswerIsARefusal();
    void passwordCheckAgainstASilentServiceIsBounded();
    void passwordCheckWithBadAddresses_data();
    void passwordCheckWithBadAddresses();

    void absentMirlComponentAnswersNone();
    void wrapperForwardsToTheComponentFoundByName();

    void launcherUser_data();
    void launcherUser();
    void launcherWithoutUsableAnswer_data();
    void launcherWithoutUsableAnswer();
    void launcherThatNeverAnswersIsBounded();
    void launcherNotListening();
    void launcherRequestsRefusedBeforeSending_data();
    void launcherRequestsRefusedBeforeSending();
    void absentLauncherComponentAnswersNone();
};

void TestDirectoryClients::init()
{
    MIRLClient::setDefaultTimeout(shortTimeout);
    HalvaneClient::setDefaultTimeout(shortTimeout);
}

void TestDirectoryClients::cleanup()
{
    ComponentRegistry::registerBuiltInComponents();
    MIRLClient::setDefaultTimeout(std::chrono::milliseconds(5000));
    HalvaneClient::setDefaultTimeout(std::chrono::milliseconds(5000));
}

void TestDirectoryClients::connectionInfoAnswered()
{
    FakeMirlServer service;
    service.body = R"({"username":"tav","userName":"TAV","password":"s3cr\u00e9t","serverId":"ORA1",)"
                   R"("URL":"postgresql://db.univ.fr:5432/locavia","other":"kept"})";
    const QVariantMap dictionary = connectionInfo(service.url(QStringLiteral("/mirl/")), QStringLiteral("M1"),
                                                  QStringLiteral("LOCAVIA"));
    QCOMPARE(dictionary.value(QStringLiteral("username")).toString(), QStringLiteral("tav"));
    QCOMPARE(dictionary.value(QStringLiteral("userName")).toString(), QStringLiteral("TAV"));
    QCOMPARE(dictionary.value(QStringLiteral("password")).toString(), QStringLiteral("s3crét"));
    QCOMPARE(dictionary.value(QStringLiteral("serverId")).toString(), QStringLiteral("ORA1"));
    QCOMPARE(dictionary.value(QStringLiteral("URL")).toString(),
             QStringLiteral("postgresql://db.univ.fr:5432/locavia"));

    QCOMPARE(service.requests.size(), 1);
    QCOMPARE(service.requests.last().method, QByteArray("POST"));
    QCOMPARE(service.requests.last().path, QByteArray("/mirl/connection-info"));
    const QJsonObject sent = service.lastJson();
    QCOMPARE(sent.value(QLatin1String("modelId")).toString(), QStringLiteral("M1"));
    QCOMPARE(sent.value(QLatin1String("alias")).toString(), QStringLiteral("LOCAVIA"));
}

void TestDirectoryClients::connectionInfoWithoutAlias()
{
    FakeMirlServer service;
    service.body = R"({"serverId":"S"})";
    // A model identifier with characters that mean something in a URL travels as data.
    const QVariantMap dictionary = connectionInfo(service.url(), QStringLiteral("a&b=c d"), QString());
    QCOMPARE(dictionary.value(QStringLiteral("serverId")).toString(), QStringLiteral("S"));
    QCOMPARE(service.requests.last().path, QByteArray("/mirl/connection-info"));
    QCOMPARE(service.lastJson().value(QLatin1String("modelId")).toString(), QStringLiteral("a&b=c d"));
    QVERIFY2(!service.lastJson().contains(QLatin1String("alias")), service.requests.last().body.constData());
}

void TestDirectoryClients::connectionInfoNoAnswer_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("unknown identifier") << 404 << QByteArray(R"({"error":"inconnu"})");
    QTest::newRow("empty object") << 200 << QByteArray("{}");
    QTest::newRow("not JSON") << 200 << QByteArray("<html>panne</html>");
    QTest::newRow("JSON array") << 200 << QByteArray(R"([{"serverId":"S"}])");
    QTest::newRow("JSON null") << 200 << QByteArray("null");
    QTest::newRow("server error") << 500 << QByteArray(R"({"serverId":"S"})");
    QTest::newRow("too long") << 200
                              << QByteArray(R"({"serverId":")") + QByteArray(100 * 1024, 'x') +
                                     QByteArray(R"("})");
}

void TestDirectoryClients::connectionInfoNoAnswer()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    FakeMirlServer service;
    service.status = status;
    service.body = body;
    const QVariant answer = connectionAnswer(service.url());
    QVERIFY2(eo::isEONull(answer), qPrintable(answer.toString()));
    QCOMPARE(service.requests.size(), 1);
}

void TestDirectoryClients::connectionInfoFromAServiceThatNeverAnswers_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("silent") << int(FakeMirlServer::Mode::Silent);
    QTest::newRow("trickling") << int(FakeMirlServer::Mode::Trickle);
    QTest::newRow("hanging up") << int(FakeMirlServer::Mode::CloseAtOnce);
}

void TestDirectoryClients::connectionInfoFromAServiceThatNeverAnswers()
{
    QFETCH(int, mode);
    FakeMirlServer service;
    service.mode = FakeMirlServer::Mode(mode);
    QElapsedTimer clock;
    clock.start();
    const QVariant answer = connectionAnswer(service.url());
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(eo::isEONull(answer), qPrintable(answer.toString()));
    QVERIFY2(elapsed < boundMs, qPrintable(QString::number(elapsed)));
    verifyAskedOnce(service);
}

void TestDirectoryClients::passwordAccepted()
{
    FakeMirlServer service;
    service.body = R"({"errno":0,"msg":"Bienvenue"})";
    const QVariantMap verdict = userInfo(service.url(), QStringLiteral("jdupont"),
                                         QStringLiteral("p@ss w\"rd"), QStringLiteral("LOCAVIA"));
    QCOMPARE(verdict.value(QStringLiteral("errno")).toInt(), 0);
    QCOMPARE(verdict.value(QStringLiteral("msg")).toString(), QStringLiteral("Bienvenue"));

    // The password travels in the body, never in the address.
    QCOMPARE(service.requests.last().method, QByteArray("POST"));
    QCOMPARE(service.requests.last().path, QByteArray("/mirl/user-info"));
    const QJsonObject sent = service.lastJson();
    QCOMPARE(sent.value(QLatin1String("login")).toString(), QStringLiteral("jdupont"));
    QCOMPARE(sent.value(QLatin1String("password")).toString(), QStringLiteral("p@ss w\"rd"));
    QCOMPARE(sent.value(QLatin1String("alias")).toString(), QStringLiteral("LOCAVIA"));
}

void TestDirectoryClients::passwordRefusedByTheService_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("msg");
    QTest::newRow("number") << 200 << QByteArray(R"({"errno":3,"msg":"Mot de passe incorrect"})") << 3
                            << QStringLiteral("Mot de passe incorrect");
    QTest::newRow("numeric text") << 200 << QByteArray(R"({"errno":"12","msg":"Compte bloqué"})") << 12
                                  << QStringLiteral("Compte bloqué");
    QTest::newRow("carried by a 401")
        << 401 << QByteArray(R"({"errno":4,"msg":"Inconnu"})") << 4 << QStringLiteral("Inconnu");
    QTest::newRow("negative is an acceptance") << 200 << QByteArray(R"({"errno":-2,"msg":"Expire bientôt"})")
                                               << -2 << QStringLiteral("Expire bientôt");
}

void TestDirectoryClients::passwordRefusedByTheService()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(int, code);
    QFETCH(QString, msg);
    FakeMirlServer service;
    service.status = status;
    service.body = body;
    const QVariantMap verdict =
        userInfo(service.url(), QStringLiteral("jdupont"), QStringLiteral("x"), QString());
    QCOMPARE(verdict.value(QStringLiteral("errno")).toInt(), code);
    QCOMPARE(verdict.value(QStringLiteral("msg")).toString(), msg);
    QCOMPARE(service.lastJson().value(QLatin1String("alias")).toString(QStringLiteral("(absent)")),
             QString());
}

void TestDirectoryClients::passwordCheckWithoutUsableAnswerIsARefusal_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    const int answer = int(FakeMirlServer::Mode::Answer);
    QTest::newRow("not JSON") << answer << 200 << QByteArray("OK");
    QTest::newRow("empty body") << answer << 200 << QByteArray();
    QTest::newRow("no errno") << answer << 200 << QByteArray(R"({"msg":"ok"})");
    QTest::newRow("errno in letters") << answer << 200 << QByteArray(R"({"errno":"zero","msg":""})");
    QTest::newRow("errno with a fraction") << answer << 200 << QByteArray(R"({"errno":0.5,"msg":""})");
    QTest::newRow("errno null") << answer << 200 << QByteArray(R"({"errno":null})");
    QTest::newRow("JSON array") << answer << 200 << QByteArray(R"([{"errno":0}])");
    QTest::newRow("acceptance with a server error") << answer << 503 << QByteArray(R"({"errno":0,"msg":""})");
    QTest::newRow("HTML error page") << answer << 500 << QByteArray("<html>Erreur interne</html>");
    QTest::newRow("too long") << answer << 200
                              << QByteArray(R"({"errno":0,"msg":")") + QByteArray(100 * 1024, 'x') +
                                     QByteArray(R"("})");
    QTest::newRow("hanging up") << int(FakeMirlServer::Mode::CloseAtOnce) << 200 << QByteArray();
    QTest::newRow("trickling") << int(FakeMirlServer::Mode::Trickle) << 200 << QByteArray();
}

void TestDirectoryClients::passwordCheckWithoutUsableAnswerIsARefusal()
{
    QFETCH(int, mode);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    FakeMirlServer service;
    service.mode = FakeMirlServer::Mode(mode);
    service.status = status;
    service.body = body;
    QElapsedTimer clock;
    clock.start();
    const QVariantMap verdict = userInfo(service.url(), QStringLiteral("jdupont"), QStringLiteral("secret"),
                                         QStringLiteral("LOCAVIA"));
    QVERIFY(clock.elapsed() < boundMs);
    QCOMPARE(verdict.value(QStringLiteral("errno")).toInt(), MIRLClient::serviceUnreachableErrno);
    QVERIFY(verdict.value(QStringLiteral("errno")).toInt() > 0);
    QCOMPARE(verdict.value(QStringLiteral("msg")).toString(),
             QStringLiteral("Le service d'identification ne peut pas être joint"));
    verifyAskedOnce(service);
}

void TestDirectoryClients::passwordCheckAgainstASilentServiceIsBounded()
{
    FakeMirlServer service;
    service.mode = FakeMirlServer::Mode::Silent;
    QElapsedTimer clock;
    clock.start();
    const QVariantMap verdict =
        userInfo(service.url(), QStringLiteral("jdupont"), QStringLiteral("secret"), QString());
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(elapsed >= shortTimeout.count() - 50, qPrintable(QString::number(elapsed)));
    QVERIFY2(elapsed < boundMs, qPrintable(QString::number(elapsed)));
    QVERIFY(verdict.value(QStringLiteral("errno")).toInt() > 0);
    QCOMPARE(service.requests.size(), 1);
}

void TestDirectoryClients::passwordCheckWithBadAddresses_data()
{
    QTest::addColumn<QString>("url");
    QTest::newRow("nothing listening") << QStringLiteral("http://127.0.0.1:%1/mirl").arg(closedPort());
    QTest::newRow("local file") << QStringLiteral("file:///etc/passwd");
    QTest::newRow("other scheme") << QStringLiteral("ftp://127.0.0.1/mirl");
    QTest::newRow("not an address") << QStringLiteral("::pas une adresse::");
    QTest::newRow("blank") << QStringLiteral(" ");
}

void TestDirectoryClients::passwordCheckWithBadAddresses()
{
    QFETCH(QString, url);
    QElapsedTimer clock;
    clock.start();
    const QVariantMap verdict = userInfo(url, QStringLiteral("jdupont"), QStringLiteral("secret"), QString());
    QVERIFY(verdict.value(QStringLiteral("errno")).toInt() > 0);
    QCOMPARE(verdict.value(QStringLiteral("msg")).toString(), MIRLClient::serviceUnreachableMessage());
    QVERIFY(eo::isEONull(connectionAnswer(url)));
    QVERIFY(clock.elapsed() < boundMs);
}

void TestDirectoryClients::absentMirlComponentAnswersNone()
{
    FakeMirlServer service;
    service.body = R"({"errno":3,"msg":"refus"})";
    ComponentRegistry::unregisterComponent(MIRLClientOC::componentName());
    QVERIFY(!ComponentRegistry::isRegistered(QStringLiteral("MIRLClient")));

    MIRLClientOC client;
    client.initClient(service.url());
    QVERIFY(!client.requestDecryptedUserInfo(QStringLiteral("jdupont"), QStringLiteral("x"), QString())
                 .isValid());
    QVERIFY(!client.requestDecryptedConnectionInfo(QStringLiteral("M1"), QString()).isValid());
    QVERIFY(!MIRLClientOC::toDictionary(QByteArray(R"({"serverId":"S"})")).isValid());
    QVERIFY(service.requests.isEmpty());

    ComponentRegistry::registerBuiltInComponents();
    QCOMPARE(userInfo(service.url(), QStringLiteral("jdupont"), QStringLiteral("x"), QString())
                 .value(QStringLiteral("errno"))
                 .toInt(),
             3);
}

void TestDirectoryClients::wrapperForwardsToTheComponentFoundByName()
{
    RecordingMirlClient::calls.clear();
    ComponentRegistry::registerComponent(QStringLiteral("MIRLClient"),
                                         [] { return std::make_unique<RecordingMirlClient>(); });
    MIRLClientOC client;
    client.initClient(QStringLiteral("https://mirl.univ.fr"));
    const QVariant answer = client.requestDecryptedConnectionInfo(QStringLiteral("M2"), QString());
    QCOMPARE(MIRLClientOC::toDictionary(answer).toMap().value(QStringLiteral("from")).toString(),
             QStringLiteral("answer"));
    QCOMPARE(client.requestDecryptedUserInfo(QStringLiteral("l"), QStringLiteral("p"), QStringLiteral("A"))
                 .toString(),
             QStringLiteral("verdict"));
    QCOMPARE(RecordingMirlClient::calls,
             QStringList({QStringLiteral("init https://mirl.univ.fr"),
                          QStringLiteral("connection M2 (absent)"), QStringLiteral("user l p A")}));

    // A component of that name that does not offer the client's interface is as good as absent.
    ComponentRegistry::registerComponent(QStringLiteral("MIRLClient"),
                                         [] { return std::make_unique<ComponentRegistry::Component>(); });
    MIRLClientOC other;
    other.initClient(QStringLiteral("https://mirl.univ.fr"));
    QVERIFY(!other.requestDecryptedConnectionInfo(QStringLiteral("M2"), QString()).isValid());
}

void TestDirectoryClients::launcherUser_data()
{
    QTest::addColumn<QString>("ticket");
    QTest::addColumn<QString>("expected");
    QTest::newRow("known ticket") << QStringLiteral("ST-42-abc") << QStringLiteral("jdupont");
    QTest::newRow("accented login") << QStringLiteral("ST-7") << QStringLiteral("josé.garcía");
    QTest::newRow("unknown ticket") << QStringLiteral("ST-0") << QString(QLatin1String(""));
}

void TestDirectoryClients::launcherUser()
{
    QFETCH(QString, ticket);
    QFETCH(QString, expected);
    FakeLauncher launcher;
    launcher.users.insert("ST-42-abc", "jdupont");
    launcher.users.insert("ST-7", QStringLiteral("josé.garcía").toUtf8());

    const QVariant user = QEBClientOC().getNetID(QString(), launcher.port(), ticket);
    QCOMPARE(user.metaType(), QMetaType::fromType<QString>());
    QCOMPARE(user.toString(), expected);
    QCOMPARE(launcher.received, QList<QByteArray>({"TICKET " + ticket.toUtf8()}));
}

void TestDirectoryClients::launcherWithoutUsableAnswer_data()
{
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("line with a carriage return")
        << QByteArray("USER jdupont\r\n") << QVariant(QStringLiteral("jdupont"));
    QTest::newRow("greeting") << QByteArray("HELLO\n") << QVariant();
    QTest::newRow("no end of line") << QByteArray("USER jdupont") << QVariant();
    QTest::newRow("nothing") << QByteArray() << QVariant();
    QTest::newRow("lower-case keyword") << QByteArray("user jdupont\n") << QVariant();
    QTest::newRow("control character in the login") << QByteArray("USER jdu\x01pont\n") << QVariant();
    QTest::newRow("endless line") << QByteArray(8192, 'U') << QVariant();
}

void TestDirectoryClients::launcherWithoutUsableAnswer()
{
    QFETCH(QByteArray, raw);
    QFETCH(QVariant, expected);
    FakeLauncher launcher;
    launcher.mode = FakeLauncher::Mode::Raw;
    launcher.raw = raw;
    QElapsedTimer clock;
    clock.start();
    const QVariant user = QEBClientOC().getNetID(QString(), launcher.port(), QStringLiteral("T"));
    QVERIFY(clock.elapsed() < boundMs);
    QCOMPARE(user.isValid(), expected.isValid());
    if (expected.isValid())
        QCOMPARE(user.toString(), expected.toString());
}

void TestDirectoryClients::launcherThatNeverAnswersIsBounded()
{
    FakeLauncher launcher;
    launcher.mode = FakeLauncher::Mode::Silent;
    QElapsedTimer clock;
    clock.start();
    const QVariant user = QEBClientOC().getNetID(QString(), launcher.port(), QStringLiteral("T"));
    const qint64 elapsed = clock.elapsed();
    QVERIFY(!user.isValid());
    QVERIFY2(elapsed >= shortTimeout.count() - 50, qPrintable(QString::number(elapsed)));
    QVERIFY2(elapsed < boundMs, qPrintable(QString::number(elapsed)));
    QCOMPARE(launcher.received.size(), 1);
}

void TestDirectoryClients::launcherNotListening()
{
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!QEBClientOC().getNetID(QString(), QString::number(closedPort()), QStringLiteral("T")).isValid());
    QVERIFY(clock.elapsed() < boundMs);
}

void TestDirectoryClients::launcherRequestsRefusedBeforeSending_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("ticket");
    QTest::newRow("line break in the ticket") << QString() << QStringLiteral("T\nTICKET other");
    QTest::newRow("empty ticket") << QString() << QString();
    QTest::newRow("port in letters") << QStringLiteral("abc") << QStringLiteral("T");
    QTest::newRow("port zero") << QStringLiteral("0") << QStringLiteral("T");
    QTest::newRow("port too large") << QStringLiteral("70000") << QStringLiteral("T");
    QTest::newRow("negative port") << QStringLiteral("-1") << QStringLiteral("T");
}

void TestDirectoryClients::launcherRequestsRefusedBeforeSending()
{
    QFETCH(QString, port);
    QFETCH(QString, ticket);
    FakeLauncher launcher;
    launcher.users.insert("T", "jdupont");
    launcher.users.insert("other", "admin");
    const QVariant user = QEBClientOC().getNetID(QString(), port.isNull() ? launcher.port() : port, ticket);
    QVERIFY(!user.isValid());
    QTest::qWait(50);
    QCOMPARE(launcher.connections, 0);
}

void TestDirectoryClients::absentLauncherComponentAnswersNone()
{
    FakeLauncher launcher;
    launcher.users.insert("T", "jdupont");
    ComponentRegistry::unregisterComponent(QEBClientOC::componentName());
    QVERIFY(!QEBClientOC().getNetID(QString(), launcher.port(), QStringLiteral("T")).isValid());
    QCOMPARE(launcher.connections, 0);
    ComponentRegistry::registerBuiltInComponents();
    QCOMPARE(QEBClientOC().getNetID(QString(), launcher.port(), QStringLiteral("T")).toString(),
             QStringLiteral("jdupont"));
}

QTEST_MAIN(TestDirectoryClients)
#include "tst_DirectoryClients.moc"
