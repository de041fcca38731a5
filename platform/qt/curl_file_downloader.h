#pragma once

#include <string>

#include "platform/file_downloader.h"
#include "platform/qt/curl_multi_loop.h"
#include "platform/qt/curl_request.h"
#include "platform/transfer_limits.h"

namespace trawlbox::platform {

// Downloads over HTTP(S) with libcurl, driven by the window's CurlMultiLoop on the GUI thread,
// blocking the caller while the window keeps repainting. Mouse and keyboard input that arrives
// during a transfer is held back and handed to the window again once the transfer has ended, so no
// handler runs in the middle of a transfer; a request to close the window is not held back.
class CurlFileDownloader : public FileDownloader {
 public:
  // `ca_file` names the certificate authorities to trust instead of the system's store (tests
  // only); `loop` must outlive the downloader.
  explicit CurlFileDownloader(CurlMultiLoop& loop, DownloadLimits limits = {},
                              std::string ca_file = {});
  ~CurlFileDownloader() override;
  CurlFileDownloader(const CurlFileDownloader&) = delete;
  CurlFileDownloader& operator=(const CurlFileDownloader&) = delete;

  // Ends the transfer in flight as a failure (no file is written) and makes DownloadToFile return
  // promptly. Does nothing when no transfer is running. Meant for the window's close handler.
  void Abort();

  // Only web URLs (see WebUrl) are fetched, anything else fails at once. The identity encoding is
  // asked for. Redirects to http or https are followed up to the limit; a final status other than
  // 2xx, a certificate that does not verify, a body shorter than announced or longer than the size
  // limit, a stall or a transfer that takes too long fails. The body is written exactly as
  // received, into a temporary file beside `path` that replaces `path` only when complete. A
  // `path` without a file name fails, and so does one where something other than a regular file
  // stands (a symbolic link, a folder, a pipe, …), before anything is fetched: nothing is ever
  // written through a link. Returns 0 on success, a non-zero code otherwise; a transfer that is
  // already running makes a further call fail at once.
  [[nodiscard]] int DownloadToFile(const std::string& url, const std::string& path) override;

 private:
  class Transfer;

  CurlRequestOptions options_;
  CurlRequest request_;
  Transfer* running_ = nullptr;
};

}  // namespace trawlbox::platform
