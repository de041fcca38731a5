#include "platform/http/page_transfer.h"

#include <optional>
#include <utility>

#include "platform/http/web_url.h"

namespace trawlbox::platform {

namespace {

bool IsOneHeaderLine(const std::string& header) {
  const std::size_t split = header.find(": ");
  return split != std::string::npos && split != 0 &&
         header.find_first_of("\r\n") == std::string::npos;
}

}  // namespace

PageTransfer::PageTransfer(std::unique_ptr<HttpRequest> request, std::unique_ptr<Timer> timer,
                           HstsStore& hsts, const TextDecoder& decoder, HttpTransferLimits limits)
    : exchange_(std::move(request), std::move(timer), hsts),
      decoder_(decoder),
      options_{.stall_timeout = limits.stall_timeout,
               .total_timeout = limits.total_timeout,
               .max_redirects = limits.max_redirects,
               .unpack = true},
      receipt_(static_cast<std::size_t>(limits.max_body_bytes)) {}

PageTransfer::~PageTransfer() = default;

bool PageTransfer::Execute(const std::string& url, const std::string& operation,
                           const std::string& request_header) {
  exchange_.Cancel();
  receipt_.Clear();
  if (shut_down_ || operation != "GET" || !IsOneHeaderLine(request_header)) return false;
  const std::optional<std::string> wire_url = WebUrl(url);
  if (!wire_url) return false;
  content_type_.clear();
  receipt_.Start();
  if (!exchange_.Start(*wire_url, {request_header}, options_, *this)) {
    receipt_.Clear();
    return false;
  }
  return true;
}

bool PageTransfer::StillExecuting() const { return receipt_.Executing(); }

bool PageTransfer::GetChunk(std::size_t max_bytes, std::string& chunk) {
  return receipt_.GetChunk(max_bytes, chunk);
}

void PageTransfer::DropPendingRepeat() {
  if (!exchange_.AwaitingRepeat()) return;
  exchange_.Cancel();
  receipt_.Fail();
}

void PageTransfer::Abort() {
  shut_down_ = true;
  exchange_.Cancel();
  receipt_.Fail();
}

bool PageTransfer::OnHeaders(const HttpAnswer& answer) {
  content_type_ = answer.Header("Content-Type").value_or(std::string_view());
  return true;
}

// Past the size limit the request ends, and the receipt keeps the cut body as the page.
bool PageTransfer::OnBody(std::string_view piece) { return receipt_.Append(piece); }

void PageTransfer::OnEnd(RequestEnd end) {
  receipt_.End(end == RequestEnd::kComplete, content_type_, decoder_);
}

}  // namespace trawlbox::platform
