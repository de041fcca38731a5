#pragma once

#include <curl/curl.h>

#include <cstddef>
#include <string>

#include "platform/http_transfer.h"
#include "platform/page_receipt.h"
#include "platform/qt/curl_multi_loop.h"
#include "platform/qt/curl_request.h"
#include "platform/qt/qt_text_decoder.h"
#include "platform/transfer_limits.h"

namespace trawlbox::platform {

// HttpTransfer over libcurl, driven by the window's CurlMultiLoop on the GUI thread. Sends GET
// requests to http and https URLs only, follows redirects to http and https URLs only, and sends
// the request header as the only User-Agent. A body may arrive packed (gzip, deflate, …) and is
// unpacked. The body is collected whole, then decoded to UTF-8 (see PageText). A response with an
// HTTP error status, or a redirect status without a Location, is a response like any other; a
// request that ends in a network failure, a certificate that does not verify, a time-out or a body
// shorter than announced delivers nothing.
class CurlHttpTransfer : public HttpTransfer, private CurlRequest::Receiver {
 public:
  // `ca_file` names the certificate authorities to trust instead of the system's store (tests
  // only); `loop` must outlive the transfer.
  explicit CurlHttpTransfer(CurlMultiLoop& loop, HttpTransferLimits limits = {},
                            std::string ca_file = {});
  ~CurlHttpTransfer() override = default;
  CurlHttpTransfer(const CurlHttpTransfer&) = delete;
  CurlHttpTransfer& operator=(const CurlHttpTransfer&) = delete;

  // False for any operation but "GET", a URL that is not a web URL (see WebUrl), a header that is
  // not one "Name: value" line, or after Abort.
  [[nodiscard]] bool Execute(const std::string& url, const std::string& operation,
                             const std::string& request_header) override;
  [[nodiscard]] bool StillExecuting() const override;
  // False, with an empty piece, when no body can be read: nothing was started, the request is
  // still under way, or it failed.
  [[nodiscard]] bool GetChunk(std::size_t max_bytes, std::string& chunk) override;

  // Shuts the transfer down for good, as the window closes: the request in flight ends as a failed
  // one (nothing delivered) and every later Execute is refused.
  void Abort();

 private:
  bool OnBody(const char* data, std::size_t size) override;
  void OnEnd(CURLcode result) override;

  CurlRequestOptions options_;
  CurlRequest request_;
  QtTextDecoder decoder_;
  PageReceipt receipt_;
  bool shut_down_ = false;
};

}  // namespace trawlbox::platform
