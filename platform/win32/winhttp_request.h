#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/http/http_request.h"
#include "platform/http/transfer_clock.h"
#include "platform/win32/ca_file_trust.h"
#include "platform/win32/winhttp_handle.h"
#include "platform/win32/winhttp_loop.h"

namespace trawlbox::platform {

// HttpRequest over WinHTTP, one exchange at a time on the WinHttpLoop, whose session it shares:
// WinHTTP follows no redirect itself, and the session's User-Agent is the program's, so a
// User-Agent given replaces it rather than adding a second. The stall and total limits are the
// request's own: WinHTTP's time-outs are not relied on (Wine ignores the receive time-out).
class WinHttpRequest : public HttpRequest, private WinHttpLoop::Handler {
 public:
  // `ca_file` names the certificate authorities trusted instead of Windows' store (tests only);
  // `loop` must outlive the request.
  explicit WinHttpRequest(WinHttpLoop& loop, const std::string& ca_file = {});
  ~WinHttpRequest() override;
  WinHttpRequest(const WinHttpRequest&) = delete;
  WinHttpRequest& operator=(const WinHttpRequest&) = delete;

  [[nodiscard]] bool Start(const std::string& url, const std::vector<std::string>& headers,
                           const RequestOptions& options, Receiver& receiver) override;
  void Cancel() override;

 private:
  void OnEvent(const WinHttpLoop::Event& event) override;
  void OnWake(WinHttpLoop::Clock::time_point now) override;
  [[nodiscard]] std::chrono::milliseconds UntilExpiry(
      WinHttpLoop::Clock::time_point now) const override;

  // Sets what every request of the program keeps; false when WinHTTP refuses one of them.
  [[nodiscard]] bool Configure(const std::vector<std::string>& headers, bool unpack);
  void OnHeadersAvailable();
  void AskForData();
  void OnDataAvailable(DWORD size);
  void OnRead(DWORD size);
  // Closes the request and tells the receiver how it ended.
  void Finish(RequestEnd end);

  WinHttpLoop& loop_;
  std::shared_ptr<const CaFileTrust> trust_;
  WinHttpHandle connection_;
  WinHttpHandle request_;
  // Non-null while a request is in flight.
  WinHttpLoop::Channel* channel_ = nullptr;
  Receiver* receiver_ = nullptr;
  TransferClock clock_{{}, {}};
  bool unpacking_ = false;
  std::optional<std::int64_t> announced_length_;
  std::int64_t received_ = 0;
};

}  // namespace trawlbox::platform
