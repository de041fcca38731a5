#include "platform/qt/curl_file_downloader.h"

#include <QEventLoop>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/download_receipt.h"
#include "platform/qt/input_hold.h"
#include "platform/target_file.h"
#include "platform/user_agent.h"
#include "platform/web_url.h"

namespace trawlbox::platform {

namespace {

DownloadResult ResultOf(CURLcode failure) {
  switch (failure) {
    case CURLE_FILESIZE_EXCEEDED:
      return kTooLarge;
    case CURLE_TOO_MANY_REDIRECTS:
    case CURLE_UNSUPPORTED_PROTOCOL:
      return kBadRedirect;
    case CURLE_OPERATION_TIMEDOUT:
      return kTimedOut;
    case CURLE_PARTIAL_FILE:
      return kIncomplete;
    default:
      return kNetworkError;
  }
}

}  // namespace

// One call of DownloadToFile: the request, written into one target file while a nested event
// loop runs.
class CurlFileDownloader::Transfer : private CurlRequest::Receiver {
 public:
  Transfer(CurlRequest& request, std::int64_t max_bytes, TargetFile& file)
      : request_(request), receipt_(max_bytes, file) {}
  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;

  int Run(const std::string& url, const CurlRequestOptions& options) {
    if (!request_.Start(url, {kUserAgentHeader}, options, *this)) return kNetworkError;
    if (!receipt_.Result()) loop_.exec();
    return *receipt_.Result();
  }

  void Abort() {
    request_.Cancel();
    Finish(kAborted);
  }

 private:
  // curl drops the bodies of the redirects it follows, so the first piece of a body belongs to
  // the final answer, whose headers have all arrived by then.
  bool OnBody(const char* data, std::size_t size) override {
    return receipt_.OnHeaders(request_.Status(), request_.ContentLength()) &&
           receipt_.OnBody(std::string_view(data, size));
  }

  // An answer without a body reaches no OnBody, so its headers are judged here; a refusal decides
  // the result, which the failure passed on then cannot change.
  void OnEnd(CURLcode result) override {
    const bool whole =
        result == CURLE_OK && receipt_.OnHeaders(request_.Status(), request_.ContentLength());
    Finish(whole ? std::nullopt : std::optional<DownloadResult>(ResultOf(result)));
  }

  void Finish(std::optional<DownloadResult> failure) {
    receipt_.End(failure);
    loop_.quit();
  }

  CurlRequest& request_;
  DownloadReceipt receipt_;
  QEventLoop loop_;
};

CurlFileDownloader::CurlFileDownloader(CurlMultiLoop& loop, DownloadLimits limits,
                                       std::string ca_file)
    : options_{.stall_timeout = limits.stall_timeout,
               .total_timeout = limits.total_timeout,
               .max_redirects = limits.max_redirects,
               .unpack = false,
               .max_announced_bytes = limits.max_file_bytes,
               .ca_file = std::move(ca_file)},
      request_(loop) {}

CurlFileDownloader::~CurlFileDownloader() = default;

void CurlFileDownloader::Abort() {
  if (running_ != nullptr) running_->Abort();
}

int CurlFileDownloader::DownloadToFile(const std::string& url, const std::string& path) {
  if (running_ != nullptr) return kBusy;
  const std::optional<std::string> source = WebUrl(url);
  if (!source) return kNotWebUrl;
  TargetFile file(path);
  if (!file.Open()) return kCannotWrite;

  const InputHold input_hold;
  Transfer transfer(request_, options_.max_announced_bytes, file);
  running_ = &transfer;
  const int result = transfer.Run(*source, options_);
  running_ = nullptr;
  return result;
}

}  // namespace trawlbox::platform
