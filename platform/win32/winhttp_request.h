#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/transfer_clock.h"
#include "platform/win32/ca_file_trust.h"
#include "platform/win32/winhttp_handle.h"
#include "platform/win32/winhttp_loop.h"

namespace trawlbox::platform {

// What one request may cost, whom it trusts and how it takes its body.
struct WinHttpRequestOptions {
  // A request that receives no byte for this long ends, however long it has run.
  std::chrono::milliseconds stall_timeout;
  // A request that has not ended after this long ends, however steadily it moves.
  std::chrono::milliseconds total_timeout;
  // A request redirected more often than this fails.
  int max_redirects;
  // True: WinHTTP is asked to unpack gzip and deflate bodies (Wine's WinHTTP cannot, and then no
  // packed body is asked for). False: the body arrives exactly as sent.
  bool unpack;
  // The certificate authorities trusted instead of Windows' store (tests only); null for Windows'
  // store, which the program always uses.
  std::shared_ptr<const CaFileTrust> trust;
};

// One GET request at a time over the WinHttpLoop, with the rules every request of the program
// keeps: http and https only, also along redirects, which are followed up to the limit in both
// directions between them; the given header lines are the only ones besides WinHTTP's own (the
// session's User-Agent is the program's, so a User-Agent given replaces it rather than adding a
// second); the server's certificate and name are always verified; no cookies, no authentication;
// HTTP/1.1. The stall and total limits are the request's own: WinHTTP's time-outs are not relied
// on.
class WinHttpRequest : private WinHttpLoop::Handler {
 public:
  // How a request has ended.
  enum class End {
    // The whole answer arrived.
    kComplete,
    // The receiver asked for no more.
    kRefused,
    // A stall or the total time.
    kTimedOut,
    // The body stopped short of the length the answer announced.
    kIncomplete,
    // Too many redirects, or one to something other than http or https.
    kBadRedirect,
    // Anything else: the network, the certificate, WinHTTP.
    kFailed,
  };

  // Takes the answer and the end of one request, on the window's thread; none of these may
  // dispatch the loop.
  class Receiver {
   public:
    // The final answer's status and the body length it announces (nothing when none, or when the
    // body arrives unpacked). False ends the request as kRefused before any body is read.
    virtual bool OnHeaders(long status, std::optional<std::int64_t> announced_length) = 0;
    // The next piece of the final answer's body. False ends the request as kRefused.
    virtual bool OnBody(std::string_view piece) = 0;
    // The request has ended; never after Cancel.
    virtual void OnEnd(End end) = 0;

   protected:
    virtual ~Receiver() = default;
  };

  explicit WinHttpRequest(WinHttpLoop& loop);
  ~WinHttpRequest() override;
  WinHttpRequest(const WinHttpRequest&) = delete;
  WinHttpRequest& operator=(const WinHttpRequest&) = delete;

  // Cancels any request in flight, then starts GET `url` (http or https, as WebUrl puts it on
  // the wire) with `headers` ("Name: value" lines) under `options`, telling `receiver` what
  // arrives. False, with nothing started and nothing to be told, when WinHTTP refuses the request.
  // Returns at once; the request moves on as the loop dispatches.
  [[nodiscard]] bool Start(const std::string& url, const std::vector<std::string>& headers,
                           const WinHttpRequestOptions& options, Receiver& receiver);
  // Ends the request in flight, telling nobody. Does nothing when none is.
  void Cancel();

  // The Content-Type of the last answer, empty when it had none.
  [[nodiscard]] const std::string& ContentType() const;

 private:
  void OnEvent(const WinHttpLoop::Event& event) override;
  void OnWake(WinHttpLoop::Clock::time_point now) override;
  [[nodiscard]] std::chrono::milliseconds UntilExpiry(
      WinHttpLoop::Clock::time_point now) const override;

  // Opens and sends a request to `url` with the request's headers and options; false when WinHTTP
  // refuses it.
  [[nodiscard]] bool Open(const std::string& url);
  // Sets what every request of the program keeps; false when WinHTTP refuses one of them.
  [[nodiscard]] bool Configure();
  // Goes on to where a redirect points, unless it leaves http and https or the limit is reached.
  void Follow(const std::string& location);
  void OnHeadersAvailable();
  void AskForData();
  void OnDataAvailable(DWORD size);
  void OnRead(DWORD size);
  // Closes the request and tells the receiver how it ended.
  void Finish(End end);

  WinHttpLoop& loop_;
  WinHttpHandle connection_;
  WinHttpHandle request_;
  // Non-null while a request is in flight.
  WinHttpLoop::Channel* channel_ = nullptr;
  Receiver* receiver_ = nullptr;
  std::vector<std::string> headers_;
  WinHttpRequestOptions options_{};
  // The URL of the request in flight, against which a relative redirect is resolved.
  std::string url_;
  int redirects_ = 0;
  TransferClock clock_{{}, {}};
  bool unpacking_ = false;
  std::optional<std::int64_t> announced_length_;
  std::int64_t received_ = 0;
  std::string content_type_;
};

}  // namespace trawlbox::platform
