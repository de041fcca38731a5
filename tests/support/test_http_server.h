#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace trawlbox::testing {

// How the test server answers one path.
struct TestReply {
  enum class Mode {
    kWhole,               // status line, headers, whole body
    kNeverAnswer,         // reads the request and never says a word
    kCloseBeforeHeaders,  // closes the connection before sending anything
    kResetMidBody,        // headers and the first half of the body, then a connection reset
    kTrickle,             // headers, then the body one byte every `trickle_interval_ms`
    kEndless,             // headers without a length, then body bytes until the client leaves
  };

  int status = 200;
  QByteArray body = {};
  // Extra response headers, sent as given after the status line.
  QList<std::pair<QByteArray, QByteArray>> headers = {};
  // The Content-Length announced; the body's own size when not set (not sent for kEndless).
  std::optional<qint64> content_length = {};
  int delay_before_headers_ms = 0;
  Mode mode = Mode::kWhole;
  int trickle_interval_ms = 1000;
};

struct RecordedRequest {
  QByteArray method;
  QByteArray path;
  // Header lines exactly as received, names and values unchanged, in order.
  QList<std::pair<QByteArray, QByteArray>> headers;

  // The value of the first header with this name (compared without case), empty when missing.
  [[nodiscard]] QByteArray Header(const QByteArray& name) const;
};

// The file of the certificate authority that signed the certificate of a server in
// kHttpsSignedByTestCa mode; no system trusts it.
[[nodiscard]] std::string TestCaFile();

// A real HTTP/1.1 server on 127.0.0.1, on a port the system picks, answering from its own thread
// so that a client that blocks the test's thread is still served. Paths not set up with Serve
// answer 404 with a short HTML body. Safe to call from any thread. A QCoreApplication must exist
// (QTEST_MAIN makes one): without it Qt runs no event loop, on this thread or any other.
class TestHttpServer {
 public:
  enum class Scheme {
    kHttp,
    // https, with a certificate for 127.0.0.1 signed by the authority in TestCaFile().
    kHttpsSignedByTestCa,
    // https, with a certificate for 127.0.0.1 that no authority signed.
    kHttpsSelfSigned,
  };

  explicit TestHttpServer(Scheme scheme = Scheme::kHttp);
  ~TestHttpServer();
  TestHttpServer(const TestHttpServer&) = delete;
  TestHttpServer& operator=(const TestHttpServer&) = delete;

  // "http://127.0.0.1:PORT" ("https://…" for https), no trailing slash.
  [[nodiscard]] std::string Root() const;
  // Root() followed by `path` ("/page1").
  [[nodiscard]] std::string Url(std::string_view path) const;

  // Answers requests whose target equals `path` exactly, query included ("/list?page=2"), with
  // `reply` from now on; replaces an earlier reply for the same path.
  void Serve(const QByteArray& path, TestReply reply);
  // Every request received so far, in order of arrival.
  [[nodiscard]] std::vector<RecordedRequest> Requests() const;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace trawlbox::testing

// Lets data-driven Qt tests take replies as a column.
Q_DECLARE_METATYPE(trawlbox::testing::TestReply)
