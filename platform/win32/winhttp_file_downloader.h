#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/download_receipt.h"
#include "platform/file_downloader.h"
#include "platform/transfer_limits.h"
#include "platform/win32/winhttp_loop.h"
#include "platform/win32/winhttp_request.h"

namespace trawlbox::platform {

// Downloads over HTTP(S) with WinHTTP, on the window's WinHttpLoop, blocking the caller while the
// window keeps repainting. Mouse and keyboard input that arrives during a transfer is held back
// and handed to the window again once the transfer has ended, so no handler runs in the middle of
// a transfer; a request to close the window is not held back.
class WinHttpFileDownloader : public FileDownloader, private WinHttpRequest::Receiver {
 public:
  // `ca_file` names the certificate authorities to trust instead of Windows' store (tests only);
  // `loop` must outlive the downloader.
  explicit WinHttpFileDownloader(WinHttpLoop& loop, DownloadLimits limits = {},
                                 const std::string& ca_file = {});
  ~WinHttpFileDownloader() override = default;
  WinHttpFileDownloader(const WinHttpFileDownloader&) = delete;
  WinHttpFileDownloader& operator=(const WinHttpFileDownloader&) = delete;

  // Ends the transfer in flight as kAborted (no file is written) and makes DownloadToFile return
  // promptly. Does nothing when no transfer is running. Meant for the window's close handler.
  void Abort();

  // Only http and https URLs are fetched (kNotWebUrl at once otherwise). The identity encoding is
  // asked for and the body is written exactly as received, into a temporary file beside `path`
  // that replaces `path` only when complete; a `path` the file cannot take fails with kCannotWrite
  // before anything is fetched. Redirects to http or https are followed up to the limit; a final
  // status other than 2xx, a certificate that does not verify, a body shorter than announced or
  // longer than the size limit, a stall or a transfer that takes too long fails. Returns a
  // DownloadResult, kSaved (0) for a saved file; a call made while one runs fails at once with
  // kBusy. Handles the window's messages, less its input, until the transfer has ended.
  [[nodiscard]] int DownloadToFile(const std::string& url, const std::string& path) override;

 private:
  bool OnHeaders(long status, std::optional<std::int64_t> announced_length) override;
  bool OnBody(std::string_view piece) override;
  void OnEnd(WinHttpRequest::End end) override;

  WinHttpLoop& loop_;
  std::int64_t max_file_bytes_;
  WinHttpRequestOptions options_;
  WinHttpRequest request_;
  // The receipt of the call in progress, null between calls.
  DownloadReceipt* receipt_ = nullptr;
};

}  // namespace trawlbox::platform
