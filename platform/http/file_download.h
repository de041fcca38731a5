#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/blocking_wait.h"
#include "platform/file_downloader.h"
#include "platform/http/download_receipt.h"
#include "platform/http/hsts.h"
#include "platform/http/http_exchange.h"
#include "platform/http/http_request.h"
#include "platform/http/transfer_limits.h"
#include "platform/timer.h"

namespace trawlbox::platform {

// FileDownloader over a system's request, blocking the caller in `wait` (the window keeps
// repainting, its input is held back) until the transfer has ended.
class FileDownload : public FileDownloader, private HttpRequest::Receiver {
 public:
  // `hsts` must outlive the downloader.
  FileDownload(std::unique_ptr<HttpRequest> request, std::unique_ptr<Timer> timer,
               std::unique_ptr<BlockingWait> wait, HstsStore& hsts, DownloadLimits limits = {});
  ~FileDownload() override;
  FileDownload(const FileDownload&) = delete;
  FileDownload& operator=(const FileDownload&) = delete;

  // Only web URLs are fetched (kNotWebUrl at once otherwise), with the exchange's rules (see
  // HttpExchange). The identity encoding is asked for and the body is written exactly as received,
  // into a temporary file beside `path` that replaces `path` only when complete; a `path` the file
  // cannot take (no file name, something other than a regular file standing there) fails with
  // kCannotWrite before anything is fetched. A final status other than 2xx, a certificate that
  // does not verify, a bad redirect, a body shorter than announced or longer than the size limit,
  // a stall or a transfer that takes too long fails. Returns a DownloadResult, kSaved (0) for a
  // saved file; a call made while one runs fails at once with kBusy.
  [[nodiscard]] int DownloadToFile(const std::string& url, const std::string& path) override;

  // Ends the transfer in flight, or a repeat waiting to be sent, as kAborted (no file is written)
  // and makes DownloadToFile return promptly. Does nothing when none is running. Meant for the
  // window's close handler.
  void Abort();

 private:
  bool OnHeaders(const HttpAnswer& answer) override;
  bool OnBody(std::string_view piece) override;
  void OnEnd(RequestEnd end) override;

  std::unique_ptr<BlockingWait> wait_;
  HttpExchange exchange_;
  std::int64_t max_file_bytes_;
  RequestOptions options_;
  // The receipt of the call in progress, null between calls.
  DownloadReceipt* receipt_ = nullptr;
};

}  // namespace trawlbox::platform
