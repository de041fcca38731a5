#include "platform/win32/winhttp_file_downloader.h"

#include <chrono>
#include <memory>

#include "platform/target_file.h"
#include "platform/user_agent.h"
#include "platform/web_url.h"
#include "platform/win32/win32_input_hold.h"

namespace trawlbox::platform {

namespace {

// The wait needs no bound of its own: the request's time limits wake it.
constexpr std::chrono::milliseconds kUnbounded = std::chrono::milliseconds::max();

std::optional<DownloadResult> FailureOf(WinHttpRequest::End end) {
  switch (end) {
    case WinHttpRequest::End::kComplete:
      return std::nullopt;
    case WinHttpRequest::End::kTimedOut:
      return kTimedOut;
    case WinHttpRequest::End::kIncomplete:
      return kIncomplete;
    case WinHttpRequest::End::kBadRedirect:
      return kBadRedirect;
    case WinHttpRequest::End::kRefused:
      // The receipt refused, and has decided the result already.
    case WinHttpRequest::End::kFailed:
      return kNetworkError;
  }
  return kNetworkError;
}

}  // namespace

WinHttpFileDownloader::WinHttpFileDownloader(WinHttpLoop& loop, DownloadLimits limits,
                                             const std::string& ca_file)
    : loop_(loop),
      max_file_bytes_(limits.max_file_bytes),
      options_{.stall_timeout = limits.stall_timeout,
               .total_timeout = limits.total_timeout,
               .max_redirects = limits.max_redirects,
               .unpack = false,
               .trust = ca_file.empty() ? nullptr : std::make_shared<const CaFileTrust>(ca_file)},
      request_(loop) {}

void WinHttpFileDownloader::Abort() {
  if (receipt_ == nullptr) return;
  request_.Cancel();
  receipt_->End(kAborted);
}

int WinHttpFileDownloader::DownloadToFile(const std::string& url, const std::string& path) {
  if (receipt_ != nullptr) return kBusy;
  const std::optional<std::string> wire_url = WebUrl(url);
  if (!wire_url) return kNotWebUrl;
  TargetFile file(path);
  if (!file.Open()) return kCannotWrite;

  DownloadReceipt receipt(max_file_bytes_, file);
  receipt_ = &receipt;
  if (request_.Start(*wire_url, {kUserAgentHeader}, options_, *this)) {
    Win32InputHold input_hold;
    // Looking through the queue costs Wine a trip to its server for each kind of input held
    // back; a wake by WinHTTP alone, several in every download, brings no message to look at.
    while (!receipt.Result()) {
      if (loop_.Wait(kUnbounded)) input_hold.PumpExceptInput();
    }
  } else {
    receipt.End(kNetworkError);
  }
  receipt_ = nullptr;
  return *receipt.Result();
}

bool WinHttpFileDownloader::OnHeaders(long status, std::optional<std::int64_t> announced_length) {
  return receipt_->OnHeaders(status, announced_length);
}

bool WinHttpFileDownloader::OnBody(std::string_view piece) { return receipt_->OnBody(piece); }

void WinHttpFileDownloader::OnEnd(WinHttpRequest::End end) { receipt_->End(FailureOf(end)); }

}  // namespace trawlbox::platform
