#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/http_transfer.h"
#include "platform/page_receipt.h"
#include "platform/text_decoder.h"
#include "platform/transfer_limits.h"
#include "platform/win32/winhttp_loop.h"
#include "platform/win32/winhttp_request.h"

namespace trawlbox::platform {

// HttpTransfer over WinHTTP, driven by the window's WinHttpLoop on the window's thread: the
// request moves on only while the loop is dispatched (the event yield does it). Sends GET
// requests to http and https URLs only, follows redirects between them, and sends the request
// header as the only User-Agent. A packed body is unpacked where WinHTTP can (Windows 8.1 on);
// elsewhere none is asked for. A response with an HTTP error status, or a redirect status without
// a Location, is a response like any other; a network failure, a certificate that does not
// verify, a time-out or a body shorter than announced delivers nothing.
class WinHttpTransfer : public HttpTransfer, private WinHttpRequest::Receiver {
 public:
  // `decoder` reads the charsets pages are written in and must outlive the transfer, as must
  // `loop`; `ca_file` names the certificate authorities to trust instead of Windows' store (tests
  // only).
  WinHttpTransfer(WinHttpLoop& loop, const TextDecoder& decoder, HttpTransferLimits limits = {},
                  const std::string& ca_file = {});
  ~WinHttpTransfer() override = default;
  WinHttpTransfer(const WinHttpTransfer&) = delete;
  WinHttpTransfer& operator=(const WinHttpTransfer&) = delete;

  // False for any operation but "GET", a URL that is not a valid http or https URL, a header that
  // is not one "Name: value" line, or after Abort.
  [[nodiscard]] bool Execute(const std::string& url, const std::string& operation,
                             const std::string& request_header) override;
  // Never waits: only a dispatch of the loop moves the request on.
  [[nodiscard]] bool StillExecuting() const override;
  // False, with an empty piece, when no body can be read: nothing was started, the request is
  // still under way, or it failed.
  [[nodiscard]] bool GetChunk(std::size_t max_bytes, std::string& chunk) override;

  // Shuts the transfer down for good, as the window closes: the request in flight ends as a failed
  // one (nothing delivered) and every later Execute is refused.
  void Abort();

 private:
  bool OnHeaders(long status, std::optional<std::int64_t> announced_length) override;
  bool OnBody(std::string_view piece) override;
  void OnEnd(WinHttpRequest::End end) override;

  const TextDecoder& decoder_;
  WinHttpRequestOptions options_;
  WinHttpRequest request_;
  PageReceipt receipt_;
  bool shut_down_ = false;
};

}  // namespace trawlbox::platform
