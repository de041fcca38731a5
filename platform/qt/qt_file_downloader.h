#pragma once

#include <QNetworkAccessManager>
#include <QtGlobal>
#include <chrono>
#include <string>

#include "platform/file_downloader.h"

namespace trawlbox::platform {

struct QtDownloadLimits {
  // A transfer that receives nothing for this long fails.
  std::chrono::milliseconds stall_timeout{30000};
  // A transfer that has not ended after this long fails, however steadily it moves.
  std::chrono::milliseconds total_timeout{600000};
  int max_redirects = 10;
  // A longer body fails rather than fill the disk: an endless or oversized answer is no program
  // source.
  qint64 max_file_bytes = 64 * 1024 * 1024;
};

// Downloads over HTTP(S) on the GUI thread, blocking the caller while the window keeps
// repainting. Mouse and keyboard input that arrives during a transfer is held back and handed to
// the window again once the transfer has ended, so no handler runs in the middle of a transfer; a
// request to close the window is not held back.
class QtFileDownloader : public FileDownloader {
 public:
  explicit QtFileDownloader(QtDownloadLimits limits = {});
  ~QtFileDownloader() override;
  QtFileDownloader(const QtFileDownloader&) = delete;
  QtFileDownloader& operator=(const QtFileDownloader&) = delete;

  // Ends the transfer in flight as a failure (no file is written) and makes DownloadToFile return
  // promptly. Does nothing when no transfer is running. Meant for the window's close handler.
  void Abort();

  // Only http and https URLs are fetched, anything else fails at once. Redirects to http or https
  // are followed up to the limit; a status of 400 or above, a body shorter than announced or
  // longer than the size limit, a stall or a transfer that takes too long fails. The body is
  // written exactly as received, into a temporary file beside `path` that replaces `path` only when
  // complete. A `path` without a file name fails, and so does one where something other than a
  // regular file stands (a symbolic link, a folder, a pipe, …), before anything is fetched: nothing
  // is ever written through a link. Returns 0 on success, a non-zero code otherwise; a transfer
  // that is already running makes a further call fail at once.
  [[nodiscard]] int DownloadToFile(const std::string& url, const std::string& path) override;

 private:
  class Transfer;

  QtDownloadLimits limits_;
  QNetworkAccessManager network_;
  Transfer* running_ = nullptr;
};

}  // namespace trawlbox::platform
