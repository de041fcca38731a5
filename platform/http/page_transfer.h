#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "platform/http/hsts.h"
#include "platform/http/http_exchange.h"
#include "platform/http/http_request.h"
#include "platform/http/page_receipt.h"
#include "platform/http/transfer_limits.h"
#include "platform/http_transfer.h"
#include "platform/text_decoder.h"
#include "platform/timer.h"

namespace trawlbox::platform {

// HttpTransfer over a system's request, driven by the window's event loop: the request moves on
// only while the window yields. Sends GET to web URLs only (see WebUrl) with the request header as
// the only User-Agent, the exchange's rules applied (see HttpExchange). A packed body is unpacked
// where the system can, then decoded to UTF-8 (see PageText). An answer with an HTTP error status,
// or a redirect without a Location, is a page like any other; a network failure, a certificate
// that does not verify, a time-out, a bad redirect or a body shorter than announced delivers
// nothing; a body longer than the size limit is cut there and delivered.
class PageTransfer : public HttpTransfer, private HttpRequest::Receiver {
 public:
  // `hsts` and `decoder` must outlive the transfer.
  PageTransfer(std::unique_ptr<HttpRequest> request, std::unique_ptr<Timer> timer, HstsStore& hsts,
               const TextDecoder& decoder, HttpTransferLimits limits = {});
  ~PageTransfer() override;
  PageTransfer(const PageTransfer&) = delete;
  PageTransfer& operator=(const PageTransfer&) = delete;

  // False for any operation but "GET", a URL that is not a web URL, a header that is not one
  // "Name: value" line, or after Abort.
  [[nodiscard]] bool Execute(const std::string& url, const std::string& operation,
                             const std::string& request_header) override;
  // Never waits: only the event loop moves the request on.
  [[nodiscard]] bool StillExecuting() const override;
  [[nodiscard]] bool GetChunk(std::size_t max_bytes, std::string& chunk) override;
  void DropPendingRepeat() override;

  // Shuts the transfer down for good, as the window closes: the request in flight, or a repeat
  // waiting to be sent, ends as a failed one (nothing delivered) and every later Execute is
  // refused.
  void Abort();

 private:
  bool OnHeaders(const HttpAnswer& answer) override;
  bool OnBody(std::string_view piece) override;
  void OnEnd(RequestEnd end) override;

  HttpExchange exchange_;
  const TextDecoder& decoder_;
  RequestOptions options_;
  PageReceipt receipt_;
  std::string content_type_;
  bool shut_down_ = false;
};

}  // namespace trawlbox::platform
