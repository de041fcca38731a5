#include "platform/qt/curl_http_transfer.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "collect/page_fetcher.h"
#include "collect/window_state.h"
#include "platform/qt/curl_multi_loop.h"
#include "platform/qt/qt_event_yield.h"
#include "tests/support/curl_test_main.h"
#include "tests/support/test_http_server.h"

Q_DECLARE_METATYPE(std::string)

namespace trawlbox::testing {
namespace {

using namespace std::chrono_literals;
using platform::CurlHttpTransfer;
using platform::CurlMultiLoop;
using platform::HttpTransferLimits;

constexpr char kUserAgent[] =
    "Mozilla/5.0 (Windows; U; Windows NT 5.1; ja; rv:1.9.0.6) Gecko/2009011913 Firefox/3.0.6";

// Limits short enough that a request left hanging fails within a fraction of a second.
HttpTransferLimits ShortLimits() {
  HttpTransferLimits limits;
  limits.stall_timeout = 300ms;
  limits.total_timeout = 5000ms;
  return limits;
}

// The window's yield, plus a hook that runs after each yield with the yield's kind.
class HookedYield : public platform::EventYield {
 public:
  void YieldOnce() override {
    inner_.YieldOnce();
    ++once_calls;
    if (after_once) after_once(once_calls);
  }
  void YieldUntilEvent() override {
    inner_.YieldUntilEvent();
    ++wait_calls;
    if (after_wait) after_wait(wait_calls);
  }

  std::function<void(int)> after_once;
  std::function<void(int)> after_wait;
  int once_calls = 0;
  int wait_calls = 0;

 private:
  platform::QtEventYield inner_;
};

// The engine's fetch over the real transfer.
struct Fetch {
  explicit Fetch(HttpTransferLimits limits = ShortLimits()) : transfer(loop, limits) {}
  QByteArray Page(const std::string& url) {
    return QByteArray::fromStdString(collect::FetchPage(url, transfer, yield, state));
  }

  CurlMultiLoop loop;
  CurlHttpTransfer transfer;
  HookedYield yield;
  collect::WindowState state;
};

QByteArray Letters(int length) {
  QByteArray body;
  for (int i = 0; i < length; ++i) body.append(static_cast<char>('a' + i % 26));
  return body;
}

bool IsValidUtf8(const QByteArray& text) {
  QStringDecoder decoder(QStringConverter::Utf8);
  const QString decoded = decoder.decode(text);
  return !decoder.hasError();
}

}  // namespace

class HttpTransferTest : public QObject {
  Q_OBJECT

 private slots:
  // With a resolver that blocks, every name look-up would freeze the window.
  void initTestCase() { QVERIFY(CurlMultiLoop::ResolvesAsynchronously()); }

  void SendsTheOneUserAgentExactlyAsGiven() {
    TestHttpServer server;
    server.Serve("/page1", {.body = "page"});
    Fetch fetch;

    QCOMPARE(fetch.Page(server.Url("/page1")), QByteArray("page"));

    const std::vector<RecordedRequest> requests = server.Requests();
    QCOMPARE(requests.size(), 1U);
    QCOMPARE(requests[0].method, QByteArray("GET"));
    QCOMPARE(requests[0].path, QByteArray("/page1"));
    int user_agents = 0;
    for (const auto& [name, value] : requests[0].headers) {
      if (name.compare("User-Agent", Qt::CaseInsensitive) == 0) {
        ++user_agents;
        QCOMPARE(value, QByteArray(kUserAgent));
      }
    }
    QCOMPARE(user_agents, 1);
  }

  // What one fetch returns: the whole body whatever the status, nothing when the transfer fails.
  // (The fault matrix meets every other way a server can misbehave.)
  void DeliversTheBodyOrNothing_data() {
    QTest::addColumn<TestReply>("reply");
    QTest::addColumn<QByteArray>("expected");
    for (const int length : {0, 4096, 10000}) {
      QTest::addRow("%d bytes", length) << TestReply{.body = Letters(length)} << Letters(length);
    }
    const QByteArray error_page = "<html><body>missing</body></html>";
    QTest::newRow("status 503") << TestReply{.status = 503, .body = error_page} << error_page;
    QTest::newRow("reset mid-body of an error page")
        << TestReply{.status = 404, .body = Letters(20000), .mode = TestReply::Mode::kResetMidBody}
        << QByteArray();
  }
  void DeliversTheBodyOrNothing() {
    QFETCH(TestReply, reply);
    QFETCH(QByteArray, expected);
    TestHttpServer server;
    server.Serve("/p", reply);
    Fetch fetch;

    QCOMPARE(fetch.Page(server.Url("/p")), expected);
  }

  void NeverSplitsACharacterAcrossPieces() {
    // "移" takes three bytes and straddles the 4096-byte boundary.
    const QByteArray body = QByteArray(4095, 'a') + QStringLiteral("移動平均").toUtf8();
    TestHttpServer server;
    server.Serve("/p", {.body = body, .headers = {{"Content-Type", "text/html; charset=utf-8"}}});
    CurlMultiLoop loop;
    CurlHttpTransfer transfer(loop, ShortLimits());
    platform::QtEventYield yield;

    QVERIFY(transfer.Execute(server.Url("/p"), "GET", std::string("User-Agent: ") + kUserAgent));
    while (transfer.StillExecuting()) yield.YieldUntilEvent();
    QList<QByteArray> pieces;
    std::string piece;
    while (transfer.GetChunk(4096, piece) && !piece.empty()) {
      pieces.append(QByteArray::fromStdString(piece));
    }

    QCOMPARE(pieces,
             (QList<QByteArray>{QByteArray(4095, 'a'), QStringLiteral("移動平均").toUtf8()}));
    for (const QByteArray& p : pieces) QVERIFY(IsValidUtf8(p));
  }

  void DecodesTheDeclaredCharset_data() {
    QTest::addColumn<QByteArray>("content_type");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("expected");

    const QString title = QStringLiteral("日本語のタイトル");
    QStringEncoder sjis("Shift_JIS");
    QStringEncoder euc("EUC-JP");
    QVERIFY(sjis.isValid() && euc.isValid());
    const QByteArray sjis_title = sjis.encode(title);
    const QByteArray utf8_title = title.toUtf8();

    QTest::newRow("quoted header charset")
        << QByteArray("text/html; Charset=\"shift_jis\"") << sjis_title << title;
    QTest::newRow("meta charset") << QByteArray("text/html")
                                  << QByteArray("<html><head><META CHARSET=\"Shift_JIS\">") +
                                         sjis_title
                                  << QStringLiteral("<html><head><META CHARSET=\"Shift_JIS\">") +
                                         title;
    QTest::newRow("meta http-equiv")
        << QByteArray()
        << QByteArray("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=euc-jp\">") +
               QByteArray(euc.encode(title))
        << QStringLiteral(
               "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=euc-jp\">") +
               title;
    QTest::newRow("header beats meta") << QByteArray("text/html; charset=utf-8")
                                       << QByteArray("<meta charset=\"shift_jis\">") + utf8_title
                                       << QStringLiteral("<meta charset=\"shift_jis\">") + title;
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    QTest::newRow("byte-order mark")
        << QByteArray("text/html") << QByteArray(utf16.encode(title)) << title;
    // Valid UTF-8 is passed on undecoded; its mark is dropped all the same.
    QTest::newRow("utf-8 byte-order mark")
        << QByteArray("text/html; charset=utf-8") << "\xEF\xBB\xBF" + utf8_title << title;
    QTest::newRow("no charset at all") << QByteArray() << utf8_title << title;
    QTest::newRow("unknown charset is utf-8")
        << QByteArray("text/html; charset=x-no-such-charset") << utf8_title << title;
    QTest::newRow("unknown charset gives way to the meta charset")
        << QByteArray("text/html; charset=x-no-such-charset")
        << QByteArray("<meta charset=\"shift_jis\">") + sjis_title
        << QStringLiteral("<meta charset=\"shift_jis\">") + title;
    QTest::newRow("invalid utf-8 replaced") << QByteArray("text/plain")
                                            << QByteArray(
                                                   "a\xff"
                                                   "b")
                                            << QStringLiteral("a\uFFFDb");
  }
  void DecodesTheDeclaredCharset() {
    QFETCH(QByteArray, content_type);
    QFETCH(QByteArray, body);
    QFETCH(QString, expected);
    TestHttpServer server;
    TestReply reply{.body = body};
    if (!content_type.isEmpty()) reply.headers = {{"Content-Type", content_type}};
    server.Serve("/p", reply);
    Fetch fetch;

    // As bytes: reading the page back as UTF-8 would hide a mark or a byte left undecoded.
    QCOMPARE(fetch.Page(server.Url("/p")), expected.toUtf8());
  }

  void FollowsRedirectsToWebUrlsOnly_data() {
    QTest::addColumn<int>("hops");
    QTest::addColumn<QByteArray>("final_location");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("requests");
    QTest::newRow("one hop") << 1 << QByteArray() << QByteArray("arrived") << 2;
    QTest::newRow("relative location") << 1 << QByteArray("/hop1") << QByteArray("arrived") << 2;
    QTest::newRow("at the limit") << 3 << QByteArray() << QByteArray("arrived") << 4;
    QTest::newRow("beyond the limit") << 4 << QByteArray() << QByteArray() << 4;
  }
  void FollowsRedirectsToWebUrlsOnly() {
    QFETCH(int, hops);
    QFETCH(QByteArray, final_location);
    QFETCH(QByteArray, expected);
    QFETCH(int, requests);
    TestHttpServer server;
    for (int hop = 0; hop < hops; ++hop) {
      const QByteArray next =
          hop + 1 < hops || final_location.isEmpty()
              ? QByteArray::fromStdString(server.Url("/hop" + std::to_string(hop + 1)))
              : final_location;
      server.Serve("/hop" + QByteArray::number(hop),
                   {.status = 302, .headers = {{"Location", next}}});
    }
    server.Serve("/hop" + QByteArray::number(hops), {.body = "arrived"});
    HttpTransferLimits limits = ShortLimits();
    limits.max_redirects = 3;
    Fetch fetch(limits);

    QCOMPARE(fetch.Page(server.Url("/hop0")), expected);
    QCOMPARE(server.Requests().size(), static_cast<std::size_t>(requests));
  }

  void RefusesAnythingButWebUrlsAndGet_data() {
    QTest::addColumn<std::string>("url");
    QTest::addColumn<std::string>("operation");
    QTest::addColumn<std::string>("header");
    const std::string header = std::string("User-Agent: ") + kUserAgent;
    QTest::newRow("file") << std::string("file:///etc/hostname") << std::string("GET") << header;
    QTest::newRow("ftp") << std::string("ftp://127.0.0.1/x") << std::string("GET") << header;
    QTest::newRow("blank in url") << std::string("http://127.0.0.1/a b") << std::string("GET")
                                  << header;
    QTest::newRow("post") << std::string("http://127.0.0.1/") << std::string("POST") << header;
    QTest::newRow("header with line end")
        << std::string("http://127.0.0.1/") << std::string("GET") << header + "\r\nX-Evil: 1";
  }
  void RefusesAnythingButWebUrlsAndGet() {
    QFETCH(std::string, url);
    QFETCH(std::string, operation);
    QFETCH(std::string, header);
    CurlMultiLoop loop;
    CurlHttpTransfer transfer(loop, ShortLimits());
    std::string piece = "left over";

    QVERIFY(!transfer.Execute(url, operation, header));
    QVERIFY(!transfer.StillExecuting());
    QVERIFY(!transfer.GetChunk(4096, piece));
    QVERIFY(piece.empty());
  }

  void StopWhileWaitingLetsTheTransferFinishThenReturnsEmpty() {
    TestHttpServer server;
    server.Serve(
        "/slow",
        {.body = Letters(10), .mode = TestReply::Mode::kTrickle, .trickle_interval_ms = 10});
    server.Serve("/next", {.body = "next"});
    Fetch fetch;
    fetch.yield.after_wait = [&fetch](int) { fetch.state.StopRequested = true; };

    QCOMPARE(fetch.Page(server.Url("/slow")), QByteArray());
    QVERIFY(!fetch.transfer.StillExecuting());
    QCOMPARE(server.Requests().size(), 1U);

    fetch.yield.after_wait = nullptr;
    fetch.state.StopRequested = false;
    QCOMPARE(fetch.Page(server.Url("/next")), QByteArray("next"));
  }

  void StopWhileReadingKeepsThePiecesReadSoFar() {
    TestHttpServer server;
    server.Serve("/p", {.body = Letters(10000)});
    Fetch fetch;
    fetch.yield.after_once = [&fetch](int call) {
      if (call == 2) fetch.state.StopRequested = true;
    };

    QCOMPARE(fetch.Page(server.Url("/p")), Letters(8192));
  }

  void AbortEndsTheRequestAndRefusesLaterOnes() {
    TestHttpServer server;
    server.Serve("/hang", {.mode = TestReply::Mode::kNeverAnswer});
    server.Serve("/p", {.body = "page"});
    HttpTransferLimits limits;  // long time-outs: only the abort can end the wait
    Fetch fetch(limits);
    // As the window does when it is closed during a run.
    fetch.yield.after_wait = [&fetch](int) {
      fetch.state.StopRequested = true;
      fetch.state.Closing = true;
      fetch.transfer.Abort();
    };

    QCOMPARE(fetch.Page(server.Url("/hang")), QByteArray());
    QVERIFY(!fetch.transfer.StillExecuting());
    std::string piece;
    QVERIFY(!fetch.transfer.GetChunk(4096, piece));
    QVERIFY(!fetch.transfer.Execute(server.Url("/p"), "GET", std::string("User-Agent: x")));
  }
};

}  // namespace trawlbox::testing

TRAWLBOX_CURL_TEST_MAIN(trawlbox::testing::HttpTransferTest)
#include "http_transfer_test.moc"
