#include <zlib.h>

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>
#include <chrono>
#include <string>

#include "collect/page_fetcher.h"
#include "collect/window_state.h"
#include "platform/qt/curl_file_downloader.h"
#include "platform/qt/curl_http_transfer.h"
#include "platform/qt/curl_multi_loop.h"
#include "platform/qt/qt_event_yield.h"
#include "tests/reliability/process_memory.h"
#include "tests/support/curl_test_main.h"
#include "tests/support/test_http_server.h"

namespace trawlbox::testing {
namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

// The program's limits, scaled down so that every row ends within a few seconds; what ends a
// transfer is the same as at full size.
constexpr qint64 kSizeLimit = 1024 * 1024;
constexpr auto kStall = 300ms;
constexpr auto kTotal = 2000ms;
constexpr int kRedirects = 10;
// However a row ends, it ends this soon after the total limit.
constexpr auto kHangMargin = 5000ms;
// How far one fetch or download may raise the resident memory above where it started: far above
// what the test itself needs, far below what a body held whole would take. Measured as growth, not
// as the process's total, because a sanitizer's allocator keeps what earlier rows freed.
constexpr qint64 kRowMemoryBound = 256 * 1024 * 1024;

// Starts measuring how far the resident memory rises; returns where it starts.
qint64 StartMemoryMeasure() {
  if (!ResetPeakMemory()) qFatal("the peak resident memory cannot be reset");
  return ResidentMemoryBytes();
}

QString GrowthText(qint64 start) {
  return QStringLiteral("resident memory rose by %1 MiB to %2")
      .arg((PeakMemoryBytes() - start) / (1024 * 1024))
      .arg(PeakMemoryText());
}

platform::HttpTransferLimits ScaledPageLimits() {
  return {.stall_timeout = kStall,
          .total_timeout = kTotal,
          .max_body_bytes = kSizeLimit,
          .max_redirects = kRedirects};
}

platform::DownloadLimits ScaledDownloadLimits() {
  return {.stall_timeout = kStall,
          .total_timeout = kTotal,
          .max_redirects = kRedirects,
          .max_file_bytes = kSizeLimit};
}

QByteArray Letters(qint64 length) {
  QByteArray body(length, Qt::Uninitialized);
  for (qint64 i = 0; i < length; ++i) body[i] = static_cast<char>('a' + i % 26);
  return body;
}

QByteArray Gzip(const QByteArray& data) {
  z_stream stream{};
  // 15 window bits plus 16: a gzip wrapper rather than a zlib one.
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY) !=
      Z_OK) {
    return {};
  }
  QByteArray packed(static_cast<qsizetype>(deflateBound(&stream, static_cast<uLong>(data.size()))),
                    Qt::Uninitialized);
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(packed.data());
  stream.avail_out = static_cast<uInt>(packed.size());
  const int result = deflate(&stream, Z_FINISH);
  packed.resize(static_cast<qsizetype>(stream.total_out));
  deflateEnd(&stream);
  return result == Z_STREAM_END ? packed : QByteArray();
}

bool IsValidUtf8(const QByteArray& text) {
  QStringDecoder decoder(QStringConverter::Utf8);
  const QString decoded = decoder.decode(text);
  return !decoder.hasError();
}

TestReply Whole(int status, QByteArray body) {
  TestReply reply;
  reply.status = status;
  reply.body = std::move(body);
  return reply;
}

TestReply With(TestReply reply, QByteArray name, QByteArray value) {
  reply.headers.append({std::move(name), std::move(value)});
  return reply;
}

TestReply InMode(TestReply reply, TestReply::Mode mode, int trickle_interval_ms = 1000) {
  reply.mode = mode;
  reply.trickle_interval_ms = trickle_interval_ms;
  return reply;
}

constexpr char kOldContent[] = "an older file";

}  // namespace

// Every way a server can misbehave, each met by the page fetch (FetchPage over CurlHttpTransfer)
// and by the download (CurlFileDownloader): what each delivers, that neither outlasts its time
// limits, that memory stays bounded, and that a failed download leaves the folder as it was.
class FaultMatrixTest : public QObject {
  Q_OBJECT

 private slots:
  void EachFaultEndsAsStated_data() {
    QTest::addColumn<TestReply>("reply");
    // What the fetch returns: the body (cut at the size limit), or the empty text on failure.
    QTest::addColumn<QByteArray>("page");
    // Whether the download succeeds; on success the file holds the body exactly as sent.
    QTest::addColumn<bool>("saved");
    // Requests the server sees, the fetch's and the download's together: one each, unless a
    // redirect is followed.
    QTest::addColumn<int>("requests");
    // The page transfer's size limit, where the row needs another than the scaled-down one.
    QTest::addColumn<qint64>("page_limit");

    const QByteArray body = Letters(20000);
    TestReply late = Whole(200, "late");
    late.delay_before_headers_ms = 1500;
    QTest::newRow("delay before headers past the stall limit")
        << late << QByteArray() << false << 2 << kSizeLimit;
    QTest::newRow("one byte per interval, slower than the stall limit")
        << InMode(Whole(200, "abcdef"), TestReply::Mode::kTrickle, 600) << QByteArray() << false
        << 2 << kSizeLimit;
    QTest::newRow("trickle that never pauses as long as the stall limit")
        << InMode(Whole(200, Letters(10)), TestReply::Mode::kTrickle, 100) << Letters(10) << true
        << 2 << kSizeLimit;
    QTest::newRow("steady trickle past the total limit")
        << InMode(Whole(200, Letters(1000)), TestReply::Mode::kTrickle, 20) << QByteArray() << false
        << 2 << kSizeLimit;
    QTest::newRow("connection reset mid-body")
        << InMode(Whole(200, body), TestReply::Mode::kResetMidBody) << QByteArray() << false << 2
        << kSizeLimit;
    QTest::newRow("endless body") << InMode(Whole(200, "abcdefghijklmnopqrstuvwxyz"),
                                            TestReply::Mode::kEndless)
                                  << Letters(kSizeLimit) << false << 2 << kSizeLimit;
    QTest::newRow("body one byte over the size limit")
        << Whole(200, Letters(kSizeLimit + 1)) << Letters(kSizeLimit) << false << 2 << kSizeLimit;
    QTest::newRow("body at the size limit")
        << Whole(200, Letters(kSizeLimit)) << Letters(kSizeLimit) << true << 2 << kSizeLimit;
    QTest::newRow("gzip body inflating past the size limit")
        << With(Whole(200, Gzip(QByteArray(8 * kSizeLimit, 'a'))), "Content-Encoding", "gzip")
        << QByteArray(kSizeLimit, 'a') << true << 2 << kSizeLimit;
    // Unpacked however far it inflates, up to the size limit: here the program's own 64 MiB.
    QTest::newRow("gzip bomb under the program's own size limit")
        << With(Whole(200, Gzip(QByteArray(32 * 1024 * 1024, 'a'))), "Content-Encoding", "gzip")
        << QByteArray(32 * 1024 * 1024, 'a') << true << 2 << qint64{64 * 1024 * 1024};
    QTest::newRow("redirect loop") << With(Whole(302, "again"), "Location", "/p") << QByteArray()
                                   << false << 2 * (kRedirects + 1) << kSizeLimit;
    QTest::newRow("redirect to a local file")
        << With(Whole(302, "moved"), "Location", "file:///etc/hostname") << QByteArray() << false
        << 2 << kSizeLimit;
    QTest::newRow("redirect to another scheme")
        << With(Whole(301, "moved"), "Location", "ftp://127.0.0.1/p") << QByteArray() << false << 2
        << kSizeLimit;
    const QByteArray error_page = "<html><body>gone</body></html>";
    QTest::newRow("404 with a body")
        << Whole(404, error_page) << error_page << false << 2 << kSizeLimit;
    QTest::newRow("500 with a body")
        << Whole(500, error_page) << error_page << false << 2 << kSizeLimit;
    QTest::newRow("301 without a location, with a body")
        << Whole(301, error_page) << error_page << false << 2 << kSizeLimit;
    TestReply short_body = Whole(200, "0123456789");
    short_body.content_length = 5000;
    QTest::newRow("body shorter than its Content-Length")
        << short_body << QByteArray() << false << 2 << kSizeLimit;
    TestReply long_body = Whole(200, "0123456789");
    long_body.content_length = 4;
    QTest::newRow("body longer than its Content-Length")
        << long_body << QByteArray("0123") << true << 2 << kSizeLimit;
    QTest::newRow("connection closed before the headers")
        << InMode(Whole(200, "unsent"), TestReply::Mode::kCloseBeforeHeaders) << QByteArray()
        << false << 2 << kSizeLimit;
    // Each broken sequence becomes U+FFFD; a character left unfinished at the very end of the body
    // is dropped by the decoder.
    QTest::newRow("invalid utf-8")
        << With(Whole(200, "a\xff\xfe\xc3(b\xe3\x81"), "Content-Type", "text/html; charset=utf-8")
        << u"a\uFFFD\uFFFD\uFFFD(b"_s.toUtf8() << true << 2 << kSizeLimit;
    QStringEncoder sjis("Shift_JIS");
    QTest::newRow("body declared as Shift_JIS")
        << With(Whole(200, sjis.encode(u"移動平均線 EA"_s)), "Content-Type",
                "text/html; charset=Shift_JIS")
        << u"移動平均線 EA"_s.toUtf8() << true << 2 << kSizeLimit;
    QTest::newRow("Shift_JIS body cut inside a character")
        << With(Whole(200, "ab\x88"), "Content-Type", "text/html; charset=Shift_JIS")
        << QByteArray("ab") << true << 2 << kSizeLimit;
  }

  void EachFaultEndsAsStated() {
    QFETCH(TestReply, reply);
    QFETCH(QByteArray, page);
    QFETCH(bool, saved);
    QFETCH(int, requests);
    QFETCH(qint64, page_limit);
    TestHttpServer server;
    server.Serve("/p", reply);
    const std::string url = server.Url("/p");
    platform::CurlMultiLoop loop;

    qint64 memory_start = StartMemoryMeasure();
    QElapsedTimer clock;
    clock.start();
    {
      platform::HttpTransferLimits limits = ScaledPageLimits();
      limits.max_body_bytes = page_limit;
      platform::CurlHttpTransfer transfer(loop, limits);
      platform::QtEventYield yield;
      const collect::WindowState state;
      const QByteArray fetched =
          QByteArray::fromStdString(collect::FetchPage(url, transfer, yield, state));
      QCOMPARE(fetched.size(), page.size());
      QCOMPARE(fetched, page);
      QVERIFY(IsValidUtf8(fetched));
    }
    QVERIFY(clock.elapsed() < (kTotal + kHangMargin).count());
    QVERIFY2(PeakMemoryBytes() - memory_start < kRowMemoryBound,
             qPrintable(GrowthText(memory_start)));

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString target = folder.filePath(u"ea.mq4"_s);
    {
      QFile old(target);
      QVERIFY(old.open(QIODevice::WriteOnly));
      QVERIFY(old.write(kOldContent) > 0);
    }
    memory_start = StartMemoryMeasure();
    clock.restart();
    platform::CurlFileDownloader downloader(loop, ScaledDownloadLimits());
    const int result = downloader.DownloadToFile(url, target.toStdString());
    QVERIFY(clock.elapsed() < (kTotal + kHangMargin).count());
    QVERIFY2(PeakMemoryBytes() - memory_start < kRowMemoryBound,
             qPrintable(GrowthText(memory_start)));

    QCOMPARE(result == 0, saved);
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray expected_file =
        saved ? reply.body.first(
                    std::min(reply.body.size(), reply.content_length.value_or(reply.body.size())))
              : QByteArray(kOldContent);
    QCOMPARE(file.readAll(), expected_file);
    QCOMPARE(QDir(folder.path())
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
             QStringList{u"ea.mq4"_s});
    QCOMPARE(static_cast<int>(server.Requests().size()), requests);
  }

  // https, to a server whose certificate the trusted authority signed, reached directly or through
  // a redirect from http, and to one whose certificate no authority signed.
  void HttpsDeliversOnlyFromAVerifiedServer_data() {
    QTest::addColumn<bool>("trusted");
    QTest::addColumn<bool>("via_http");
    QTest::newRow("signed by the trusted authority") << true << false;
    QTest::newRow("redirected there from http") << true << true;
    QTest::newRow("self-signed") << false << false;
  }

  void HttpsDeliversOnlyFromAVerifiedServer() {
    QFETCH(bool, trusted);
    QFETCH(bool, via_http);
    TestHttpServer https(trusted ? TestHttpServer::Scheme::kHttpsSignedByTestCa
                                 : TestHttpServer::Scheme::kHttpsSelfSigned);
    https.Serve("/p", Whole(200, "secure"));
    TestHttpServer http;
    http.Serve("/p",
               With(Whole(302, "moved"), "Location", QByteArray::fromStdString(https.Url("/p"))));
    const std::string url = (via_http ? http : https).Url("/p");
    platform::CurlMultiLoop loop;

    platform::CurlHttpTransfer transfer(loop, ScaledPageLimits(), TestCaFile());
    platform::QtEventYield yield;
    const collect::WindowState state;
    QCOMPARE(QByteArray::fromStdString(collect::FetchPage(url, transfer, yield, state)),
             trusted ? QByteArray("secure") : QByteArray());

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    platform::CurlFileDownloader downloader(loop, ScaledDownloadLimits(), TestCaFile());
    const int result = downloader.DownloadToFile(url, folder.filePath(u"ea.mq4"_s).toStdString());
    QCOMPARE(result == 0, trusted);
    QCOMPARE(QDir(folder.path())
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
             trusted ? QStringList{u"ea.mq4"_s} : QStringList{});
  }
};

}  // namespace trawlbox::testing

TRAWLBOX_CURL_TEST_MAIN(trawlbox::testing::FaultMatrixTest)
#include "fault_matrix_test.moc"
