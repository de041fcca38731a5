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

#include "tests/support/test_http_server.h"

namespace trawlbox::testing {
namespace {

constexpr int kWaitMs = 10000;

quint16 Port(const TestHttpServer& server) {
  return static_cast<quint16>(QUrl(QString::fromStdString(server.Root())).port());
}

}  // namespace

// Only what would let another test pass wrongly: requests must be recorded exactly as sent (the
// user-agent test counts and compares header lines), a reset must really be a reset and a trickle
// really slow. A server that answers wrongly otherwise fails the tests that use it.
class TestHttpServerTest : public QObject {
  Q_OBJECT

 private slots:
  void RecordsRequestsAsReceived() {
    TestHttpServer server;
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, Port(server));
    socket.write(
        "GET /list?page=2 HTTP/1.1\r\n"
        "Host: 127.0.0.1\r\n"
        "User-Agent: Trawl Test/1.0 (X11; U; Linux; ja) Probe/2\r\n"
        "X-Odd-Case: a:b; c\r\n"
        "user-agent: second\r\n"
        "\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(server.Requests().size(), size_t{1}, kWaitMs);

    const RecordedRequest request = server.Requests().front();
    QCOMPARE(request.method, "GET");
    QCOMPARE(request.path, "/list?page=2");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Host", "127.0.0.1"},
        {"User-Agent", "Trawl Test/1.0 (X11; U; Linux; ja) Probe/2"},
        {"X-Odd-Case", "a:b; c"},
        {"user-agent", "second"}};
    QCOMPARE(request.headers, expected);
    QCOMPARE(request.Header("user-agent"), "Trawl Test/1.0 (X11; U; Linux; ja) Probe/2");
    QCOMPARE(request.Header("Accept"), "");
  }

  // The kernel tells a reset from an orderly close, which Qt reports alike.
  void ResetMidBodyIsAConnectionReset() {
    TestHttpServer server;
    server.Serve("/reset",
                 {.body = std::string(1000, 'r'), .mode = TestReply::Mode::kResetMidBody});

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
    QNetworkReply* reply =
        network.get(QNetworkRequest(QUrl(QString::fromStdString(server.Url("/slow")))));
    QList<QByteArray> chunks;
    connect(reply, &QNetworkReply::readyRead, this,
            [reply, &chunks] { chunks.append(reply->readAll()); });
    QTRY_VERIFY_WITH_TIMEOUT(reply->isFinished(), kWaitMs);
    QCOMPARE(reply->error(), QNetworkReply::NoError);
    QCOMPARE(chunks.join(), QByteArray("abcdef"));
    QVERIFY(chunks.size() > 1);
  }
};

}  // namespace trawlbox::testing

QTEST_MAIN(trawlbox::testing::TestHttpServerTest)
#include "test_http_server_test.moc"
