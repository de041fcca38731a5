#include "platform/win32/winhttp_transfer.h"

#include <memory>

#include "platform/web_url.h"

namespace trawlbox::platform {

namespace {

bool IsHeaderLine(const std::string& header) {
  const std::size_t split = header.find(": ");
  return split != std::string::npos && split != 0 &&
         header.find_first_of("\r\n") == std::string::npos;
}

}  // namespace

WinHttpTransfer::WinHttpTransfer(WinHttpLoop& loop, const TextDecoder& decoder,
                                 HttpTransferLimits limits, const std::string& ca_file)
    : decoder_(decoder),
      options_{.stall_timeout = limits.stall_timeout,
               .total_timeout = limits.total_timeout,
               .max_redirects = limits.max_redirects,
               .unpack = true,
               .trust = ca_file.empty() ? nullptr : std::make_shared<const CaFileTrust>(ca_file)},
      request_(loop),
      receipt_(static_cast<std::size_t>(limits.max_body_bytes)) {}

bool WinHttpTransfer::Execute(const std::string& url, const std::string& operation,
                              const std::string& request_header) {
  request_.Cancel();
  receipt_.Clear();
  if (shut_down_ || operation != "GET" || !IsHeaderLine(request_header)) return false;
  const std::optional<std::string> wire_url = WebUrl(url);
  if (!wire_url) return false;
  receipt_.Start();
  if (!request_.Start(*wire_url, {request_header}, options_, *this)) {
    receipt_.Clear();
    return false;
  }
  return true;
}

bool WinHttpTransfer::StillExecuting() const { return receipt_.Executing(); }

bool WinHttpTransfer::GetChunk(std::size_t max_bytes, std::string& chunk) {
  return receipt_.GetChunk(max_bytes, chunk);
}

void WinHttpTransfer::Abort() {
  shut_down_ = true;
  request_.Cancel();
  receipt_.Fail();
}

bool WinHttpTransfer::OnHeaders(long /*status*/, std::optional<std::int64_t> /*announced*/) {
  return true;
}

// Past the size limit the request is closed, and the receipt keeps the cut body as the page.
bool WinHttpTransfer::OnBody(std::string_view piece) { return receipt_.Append(piece); }

void WinHttpTransfer::OnEnd(WinHttpRequest::End end) {
  receipt_.End(end == WinHttpRequest::End::kComplete, request_.ContentType(), decoder_);
}

}  // namespace trawlbox::platform
