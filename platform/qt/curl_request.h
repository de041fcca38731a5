#pragma once

#include <curl/curl.h>

#include <QTimer>
#include <cstddef>
#include <string>
#include <vector>

#include "platform/http/http_request.h"
#include "platform/http/transfer_clock.h"
#include "platform/qt/curl_multi_loop.h"

namespace trawlbox::platform {

// HttpRequest over libcurl, one exchange at a time on a CurlMultiLoop, whose connections and TLS
// sessions it shares: http and https only; a packed body (gzip, deflate, …) unpacked when asked
// for; proxies as the environment names them (http_proxy, https_proxy, no_proxy).
class CurlRequest : public HttpRequest, private CurlMultiLoop::Client {
 public:
  // `ca_file` names the certificate authorities trusted instead of the system's store (tests
  // only); `loop` must outlive the request.
  explicit CurlRequest(CurlMultiLoop& loop, std::string ca_file = {});
  ~CurlRequest() override;
  CurlRequest(const CurlRequest&) = delete;
  CurlRequest& operator=(const CurlRequest&) = delete;

  [[nodiscard]] bool Start(const std::string& url, const std::vector<std::string>& headers,
                           const RequestOptions& options, Receiver& receiver) override;
  void Cancel() override;

 private:
  static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* request);
  static std::size_t OnWrite(char* data, std::size_t size, std::size_t count, void* request);
  // Takes one line of the answer's head; false when the receiver refuses the answer.
  bool TakeHeaderLine(std::string_view line);
  void TransferEnded(CURLcode result) override;
  // Ends the request as timed out once a limit is reached, else looks again when the next could be.
  void CheckTime();

  CurlMultiLoop& loop_;
  std::string ca_file_;
  CURL* easy_;
  curl_slist* headers_ = nullptr;
  Receiver* receiver_ = nullptr;
  bool unpack_ = false;
  // The head being read, told to the receiver once its blank line has arrived.
  HttpAnswer answer_;
  bool answer_told_ = false;
  // curl's low-speed limit averages over time, which a trickle that never pauses can fail; the
  // stall rule is exact instead: the time since the last byte, checked when the timer runs out.
  QTimer timer_;
  TransferClock clock_{{}, {}};
};

}  // namespace trawlbox::platform
