#pragma once

#include <curl/curl.h>

#include <QTimer>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/qt/curl_multi_loop.h"
#include "platform/transfer_clock.h"

namespace trawlbox::platform {

// What one request may cost, whom it trusts and how it takes its body.
struct CurlRequestOptions {
  // A request that receives no byte for this long ends, however long it has run.
  std::chrono::milliseconds stall_timeout;
  // A request that has not ended after this long ends, however steadily it moves.
  std::chrono::milliseconds total_timeout;
  // A request redirected more often than this fails.
  long max_redirects;
  // True: any encoding curl can unpack is accepted, and the body arrives unpacked. False: the
  // identity encoding is asked for, and the body arrives exactly as sent.
  bool unpack;
  // An answer that announces a longer body fails at once; 0 for no such limit.
  curl_off_t max_announced_bytes;
  // A file of certificate authorities trusted instead of the system's store; empty for the
  // system's store, which the program always uses.
  std::string ca_file;
};

// One GET request at a time over a CurlMultiLoop, with the rules every request of the program
// keeps: http and https only, also along redirects, which are followed up to the limit; the given
// header lines are the only ones besides curl's own (so a User-Agent given is the only one); the
// server's certificate and name are always verified; no cookies; HTTP/1.1; proxies as the
// environment names them (http_proxy, https_proxy, no_proxy).
class CurlRequest : private CurlMultiLoop::Client {
 public:
  // Takes the body and the end of one request.
  class Receiver {
   public:
    // The next piece of the final answer's body. False ends the request, whose end then comes
    // with CURLE_WRITE_ERROR. Called inside a curl callback: it must not process events nor start
    // or stop a request.
    virtual bool OnBody(const char* data, std::size_t size) = 0;
    // The request has ended with `result`: CURLE_OK when the whole answer arrived,
    // CURLE_OPERATION_TIMEDOUT after a stall or the total time, another code for every other
    // failure. Called from the event loop; never after Cancel.
    virtual void OnEnd(CURLcode result) = 0;

   protected:
    virtual ~Receiver() = default;
  };

  explicit CurlRequest(CurlMultiLoop& loop);
  ~CurlRequest();
  CurlRequest(const CurlRequest&) = delete;
  CurlRequest& operator=(const CurlRequest&) = delete;

  // Cancels any request in flight, then starts GET `url` (http or https) with `headers` ("Name:
  // value" lines) under `options`, telling `receiver` what arrives. False, with nothing started,
  // when curl refuses the request.
  [[nodiscard]] bool Start(const std::string& url, const std::vector<std::string>& headers,
                           const CurlRequestOptions& options, Receiver& receiver);
  // Ends the request in flight, telling nobody. Does nothing when none is.
  void Cancel();

  // The status of the last answer received, 0 before one arrived.
  [[nodiscard]] long Status() const;
  // The Content-Type of the last answer received, empty when it had none.
  [[nodiscard]] std::string ContentType() const;
  // The body length the last answer announced, nothing when it announced none.
  [[nodiscard]] std::optional<std::int64_t> ContentLength() const;

 private:
  static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* request);
  static std::size_t OnWrite(char* data, std::size_t size, std::size_t count, void* request);
  void TransferEnded(CURLcode result) override;
  // Ends the request as timed out once a limit is reached, else looks again when the next could be.
  void CheckTime();

  CurlMultiLoop& loop_;
  CURL* easy_;
  curl_slist* headers_ = nullptr;
  Receiver* receiver_ = nullptr;
  // curl's low-speed limit averages over time, which a trickle that never pauses can fail; the
  // stall rule is exact instead: the time since the last byte, checked when the timer runs out.
  QTimer timer_;
  TransferClock clock_{{}, {}};
};

}  // namespace trawlbox::platform
