#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTcpSocket>
#include <QTest>
#include <QUrl>
#include <cerrno>
#include <memory>

#include "tests/support/test_http_server.h"

namespace trawlbox::testing {
namespace {

constexpr int kWaitMs = 10000;

QNetworkReply* Get(QNetworkAccessManager& network, const std::string& url) {
  return network.get(QNetworkRequest(QUrl(QString::fromStdString(url))));
}

quint16 Port(const TestHttpServer& server) {
  return static_cast<quint16>(QUrl(QString::fromStdString(server.Root())).port());
}

// Everything a reply delivers, collected as it arrives so a test can see the pieces.
struct Collected {
  QList<QByteArray> chunks;
  qint64 size = 0;
};

std::shared_ptr<Collected> Collect(QNetworkReply* reply) {
  auto collected = std::make_shared<Collected>();
  QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, collected] {
    const QByteArray chunk = reply->readAll();
    collected->size += chunk.size();
    collected->chunks.append(chunk);
  });
  return collected;
}

}  // namespace

class TestHttpServerTest : public QObject {
  Q_OBJECT

 private slots:
  void AnswersServedPathsAndNotFoundElsewhere_data() {
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body_part");
    QTest::addColumn<QByteArray>("header_value");

    QTest::newRow("served page") << QByteArray("/page") << 200 << QByteArray("hello")
                                 << QByteArray("1");
    QTest::newRow("served error") << QByteArray("/busy") << 503 << QByteArray("busy")
                                  << QByteArray("2");
    QTest::newRow("query is part of the path")
        << QByteArray("/list?page=2") << 200 << QByteArray("second") << QByteArray("3");
    QTest::newRow("unknown path") << QByteArray("/missing") << 404 << QByteArray("Not Found")
                                  << QByteArray();
  }

  void AnswersServedPathsAndNotFoundElsewhere() {
    QFETCH(QByteArray, path);
    QFETCH(int, status);
    QFETCH(QByteArray, body_part);
    QFETCH(QByteArray, header_value);

    TestHttpServer server;
    server.Serve("/page", {.body = "hello", .headers = {{"X-Served", "1"}}});
    server.Serve("/busy", {.status = 503, .body = "busy", .headers = {{"X-Served", "2"}}});
    server.Serve("/list?page=2", {.body = "second", .headers = {{"X-Served", "3"}}});
    server.Serve("/list", {.body = "first"});

    QNetworkAccessManager network;
    QNetworkReply* reply = Get(network, server.Url(path.toStdString()));
    QTRY_VERIFY_WITH_TIMEOUT(reply->isFinished(), kWaitMs);
    QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), status);
    QVERIFY(reply->readAll().contains(body_part));
    QCOMPARE(reply->rawHeader("X-Served"), header_value);
  }

  void RecordsRequestsAsReceived() {
    TestHttpServer server;
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, Port(server));
    socket.write(
        "GET /list?page=2 HTTP/1.1\r\n"
        "Host: 127.0.0.1\r\n"
        "User-Agent: Trawl Test/1.0 (X11; U; Linux; ja) Probe/2\r\n"
        "X-Odd-Case: a:b; c\r\n"
        "\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(server.Requests().size(), size_t{1}, kWaitMs);

    const RecordedRequest request = server.Requests().front();
    QCOMPARE(request.method, QByteArray("GET"));
    QCOMPARE(request.path, QByteArray("/list?page=2"));
    const QList<std::pair<QByteArray, QByteArray>> expected = {
        {"Host", "127.0.0.1"},
        {"User-Agent", "Trawl Test/1.0 (X11; U; Linux; ja) Probe/2"},
        {"X-Odd-Case", "a:b; c"}};
    QCOMPARE(request.headers, expected);
    QCOMPARE(request.Header("user-agent"),
             QByteArray("Trawl Test/1.0 (X11; U; Linux; ja) Probe/2"));
    QCOMPARE(request.Header("Accept"), QByteArray());
  }

  void KeepsTheConnectionUntilTheClientClosesIt() {
    TestHttpServer server;
    server.Serve("/one", {.body = "first"});
    server.Serve("/two", {.body = "second"});
    QTcpSocket socket;
    QByteArray received;
    connect(&socket, &QTcpSocket::readyRead, &socket, [&] { received += socket.readAll(); });
    socket.connectToHost(QHostAddress::LocalHost, Port(server));

    socket.write("GET /one HTTP/1.1\r\nHost: a\r\n\r\nGET /two HTTP/1.1\r\nHost: a\r\n\r\n");
    QTRY_VERIFY_WITH_TIMEOUT(received.endsWith("\r\n\r\nsecond"), kWaitMs);
    QVERIFY(received.contains("Content-Length: 5\r\n\r\nfirstHTTP/1.1 200 OK\r\n"));
    QCOMPARE(socket.state(), QAbstractSocket::ConnectedState);

    socket.write("GET /one HTTP/1.1\r\nHost: a\r\nConnection: close\r\n\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QAbstractSocket::UnconnectedState, kWaitMs);
    QCOMPARE(received.count("HTTP/1.1 200 OK\r\n"), 3);
    QVERIFY(received.endsWith("Connection: close\r\n\r\nfirst"));
    QCOMPARE(server.Requests().size(), size_t{3});
  }

  void BrokenAnswersReachTheClientAsErrors_data() {
    QTest::addColumn<TestReply>("reply");
    const QByteArray body(64 * 1024, 'b');
    QTest::newRow("reset mid body")
        << TestReply{.body = body, .mode = TestReply::Mode::kResetMidBody};
    QTest::newRow("closed before headers")
        << TestReply{.body = body, .mode = TestReply::Mode::kCloseBeforeHeaders};
    QTest::newRow("shorter than announced")
        << TestReply{.body = body, .content_length = body.size() + 1};
  }

  void BrokenAnswersReachTheClientAsErrors() {
    QFETCH(TestReply, reply);
    TestHttpServer server;
    server.Serve("/broken", reply);

    QNetworkAccessManager network;
    QNetworkReply* network_reply = Get(network, server.Url("/broken"));
    const std::shared_ptr<Collected> collected = Collect(network_reply);
    QTRY_VERIFY_WITH_TIMEOUT(network_reply->isFinished(), kWaitMs);
    QVERIFY(network_reply->error() != QNetworkReply::NoError);
    QVERIFY(collected->size < reply.content_length.value_or(reply.body.size()));
  }

  // The kernel tells a reset from an orderly close, which Qt reports alike.
  void ResetMidBodyIsAConnectionReset() {
    TestHttpServer server;
    server.Serve("/reset", {.body = QByteArray(1000, 'r'), .mode = TestReply::Mode::kResetMidBody});

    const int client = socket(AF_INET, SOCK_STREAM, 0);
    QVERIFY(client >= 0);
    timeval timeout{};
    timeout.tv_sec = kWaitMs / 1000;
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &timeout, static_cast<socklen_t>(sizeof timeout));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(Port(server));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QCOMPARE(::connect(client, reinterpret_cast<const sockaddr*>(&address),
                       static_cast<socklen_t>(sizeof address)),
             0);
    const QByteArray request = "GET /reset HTTP/1.1\r\nHost: a\r\n\r\n";
    QCOMPARE(send(client, request.constData(), static_cast<size_t>(request.size()), 0),
             static_cast<ssize_t>(request.size()));

    QByteArray received;
    char buffer[4096];
    ssize_t count = 0;
    while ((count = recv(client, buffer, sizeof buffer, 0)) > 0) {
      received.append(buffer, static_cast<qsizetype>(count));
    }
    const int error = errno;
    ::close(client);
    QCOMPARE(count, ssize_t{-1});
    QCOMPARE(error, ECONNRESET);
    QVERIFY(received.contains("Content-Length: 1000\r\n"));
    QVERIFY(received.endsWith("\r\n\r\n" + QByteArray(500, 'r')));
  }

  void TrickleDeliversTheBodyInPieces() {
    TestHttpServer server;
    server.Serve("/slow",
                 {.body = "abcdef", .mode = TestReply::Mode::kTrickle, .trickle_interval_ms = 20});

    QNetworkAccessManager network;
    QNetworkReply* reply = Get(network, server.Url("/slow"));
    const std::shared_ptr<Collected> collected = Collect(reply);
    QTRY_VERIFY_WITH_TIMEOUT(reply->isFinished(), kWaitMs);
    QCOMPARE(reply->error(), QNetworkReply::NoError);
    QCOMPARE(collected->chunks.join(), QByteArray("abcdef"));
    QVERIFY(collected->chunks.size() > 1);
  }

  void EndsOpenConnectionsWhenDestroyed() {
    auto server = std::make_unique<TestHttpServer>();
    server->Serve("/never", {.mode = TestReply::Mode::kNeverAnswer});
    server->Serve("/endless", {.body = "0123456789", .mode = TestReply::Mode::kEndless});
    server->Serve("/slow", {.body = QByteArray(100, 's'), .mode = TestReply::Mode::kTrickle});
    server->Serve("/late", {.body = "late", .delay_before_headers_ms = 60000});

    QNetworkAccessManager network;
    QList<QNetworkReply*> replies;
    for (const char* path : {"/never", "/endless", "/slow", "/late"})
      replies.append(Get(network, server->Url(path)));
    const std::shared_ptr<Collected> endless = Collect(replies[1]);
    // Far more than the server keeps buffered, so it must have refilled as the client read.
    QTRY_VERIFY_WITH_TIMEOUT(endless->size > 4 * 1024 * 1024, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(server->Requests().size(), size_t{4}, kWaitMs);
    QVERIFY(endless->chunks.join().startsWith("0123456789012345678901234567890123456789"));

    server.reset();
    for (QNetworkReply* reply : replies) QTRY_VERIFY_WITH_TIMEOUT(reply->isFinished(), kWaitMs);
    for (const int cut_short : {0, 2, 3}) {
      QVERIFY(replies[cut_short]->error() != QNetworkReply::NoError);
    }
  }
};

}  // namespace trawlbox::testing

QTEST_MAIN(trawlbox::testing::TestHttpServerTest)
#include "test_http_server_test.moc"
