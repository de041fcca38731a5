#include "platform/http/file_download.h"

#include <optional>
#include <utility>

#include "platform/files/target_file.h"
#include "platform/http/user_agent.h"
#include "platform/http/web_url.h"

namespace trawlbox::platform {

namespace {

std::optional<DownloadResult> FailureOf(RequestEnd end) {
  switch (end) {
    case RequestEnd::kComplete:
      return std::nullopt;
    case RequestEnd::kTimedOut:
      return kTimedOut;
    case RequestEnd::kIncomplete:
      return kIncomplete;
    case RequestEnd::kBadRedirect:
      return kBadRedirect;
    case RequestEnd::kRefused:
      // The receipt refused, and has decided the result already.
    case RequestEnd::kFailed:
      return kNetworkError;
  }
  return kNetworkError;
}

}  // namespace

FileDownload::FileDownload(std::unique_ptr<HttpRequest> request, std::unique_ptr<Timer> timer,
                           std::unique_ptr<BlockingWait> wait, HstsStore& hsts,
                           DownloadLimits limits)
    : wait_(std::move(wait)),
      exchange_(std::move(request), std::move(timer), hsts),
      max_file_bytes_(limits.max_file_bytes),
      options_{.stall_timeout = limits.stall_timeout,
               .total_timeout = limits.total_timeout,
               .max_redirects = limits.max_redirects,
               .unpack = false} {}

FileDownload::~FileDownload() = default;

int FileDownload::DownloadToFile(const std::string& url, const std::string& path) {
  if (receipt_ != nullptr) return kBusy;
  const std::optional<std::string> wire_url = WebUrl(url);
  if (!wire_url) return kNotWebUrl;
  TargetFile file(path);
  if (!file.Open()) return kCannotWrite;

  DownloadReceipt receipt(max_file_bytes_, file);
  receipt_ = &receipt;
  if (exchange_.Start(*wire_url, {kUserAgentHeader}, options_, *this)) {
    wait_->Until([&receipt] { return receipt.Result().has_value(); });
  } else {
    receipt.End(kNetworkError);
  }
  receipt_ = nullptr;
  return *receipt.Result();
}

void FileDownload::Abort() {
  if (receipt_ == nullptr) return;
  exchange_.Cancel();
  receipt_->End(kAborted);
}

bool FileDownload::OnHeaders(const HttpAnswer& answer) {
  return receipt_->OnHeaders(answer.status, answer.AnnouncedLength());
}

bool FileDownload::OnBody(std::string_view piece) { return receipt_->OnBody(piece); }

void FileDownload::OnEnd(RequestEnd end) { receipt_->End(FailureOf(end)); }

}  // namespace trawlbox::platform
