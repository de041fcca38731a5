#pragma once

#include <cstdint>
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
  std::string body = {};
  // Extra response headers, sent as given after the status line.
  std::vector<std::pair<std::string, std::string>> headers = {};
  // The Content-Length announced; the body's own size when not set (not sent for kEndless).
  std::optional<std::int64_t> content_length = {};
  int delay_before_headers_ms = 0;
  Mode mode = Mode::kWhole;
  int trickle_interval_ms = 1000;
};

struct RecordedRequest {
  std::string method;
  std::string path;
  // Header lines exactly as received, names and values unchanged, in order.
  std::vector<std::pair<std::string, std::string>> headers;

  // The value of the first header with this name (compared without case), empty when missing.
  [[nodiscard]] std::string Header(std::string_view name) const;
};

enum class TestScheme {
  kHttp,
  // https, with a certificate for 127.0.0.1 and localhost signed by the authority in TestCaFile().
  kHttpsSignedByTestCa,
  // https, with a certificate that authority signed for another host name only.
  kHttpsSignedForAnotherName,
  // https, with a certificate for 127.0.0.1 and localhost that no authority signed.
  kHttpsSelfSigned,
};

// A real HTTP/1.1 server on this machine's loopback interface that a test sets up path by path.
// Paths not set up with Serve answer 404 with a short HTML body.
class TestSite {
 public:
  virtual ~TestSite() = default;

  // The scheme, host and port, then `path` ("/page1").
  [[nodiscard]] virtual std::string Url(std::string_view path) const = 0;
  // Answers requests whose target equals `path` exactly, query included ("/list?page=2"), with
  // `reply` from now on; replaces an earlier reply for the same path.
  virtual void Serve(const std::string& path, TestReply reply) = 0;
  // Every request received so far, in order of arrival.
  [[nodiscard]] virtual std::vector<RecordedRequest> Requests() const = 0;
};

// The file of the certificate authority that signed the certificates of the servers in
// kHttpsSignedByTestCa and kHttpsSignedForAnotherName; no system trusts it.
[[nodiscard]] std::string TestCaFile();

}  // namespace trawlbox::testing
