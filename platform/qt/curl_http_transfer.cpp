#include "platform/qt/curl_http_transfer.h"

#include <optional>
#include <string_view>
#include <utility>

#include "platform/web_url.h"

namespace trawlbox::platform {

namespace {

bool IsOneHeaderLine(const std::string& header) {
  const std::size_t split = header.find(": ");
  return split != std::string::npos && split != 0 &&
         header.find_first_of("\r\n") == std::string::npos;
}

}  // namespace

CurlHttpTransfer::CurlHttpTransfer(CurlMultiLoop& loop, HttpTransferLimits limits,
                                   std::string ca_file)
    : options_{.stall_timeout = limits.stall_timeout,
               .total_timeout = limits.total_timeout,
               .max_redirects = limits.max_redirects,
               .unpack = true,
               .max_announced_bytes = 0,
               .ca_file = std::move(ca_file)},
      request_(loop),
      receipt_(static_cast<std::size_t>(limits.max_body_bytes)) {}

bool CurlHttpTransfer::Execute(const std::string& url, const std::string& operation,
                               const std::string& request_header) {
  request_.Cancel();
  receipt_.Clear();
  if (shut_down_ || operation != "GET" || !IsOneHeaderLine(request_header)) return false;
  const std::optional<std::string> target = WebUrl(url);
  if (!target) return false;
  receipt_.Start();
  if (!request_.Start(*target, {request_header}, options_, *this)) {
    receipt_.Clear();
    return false;
  }
  return true;
}

bool CurlHttpTransfer::StillExecuting() const { return receipt_.Executing(); }

bool CurlHttpTransfer::GetChunk(std::size_t max_bytes, std::string& chunk) {
  return receipt_.GetChunk(max_bytes, chunk);
}

void CurlHttpTransfer::Abort() {
  shut_down_ = true;
  request_.Cancel();
  receipt_.Fail();
}

bool CurlHttpTransfer::OnBody(const char* data, std::size_t size) {
  return receipt_.Append(std::string_view(data, size));
}

void CurlHttpTransfer::OnEnd(CURLcode result) {
  receipt_.End(result == CURLE_OK, request_.ContentType(), decoder_);
}

}  // namespace trawlbox::platform
