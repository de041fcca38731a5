#pragma once

#include <string>

namespace trawlbox::platform {

// Fetches one URL into one file, the way the download walk needs it.
class FileDownloader {
 public:
  virtual ~FileDownloader() = default;

  // Writes the body that `url` delivers to `path` and returns 0, only when the whole body was
  // written there; any other value is a failure that leaves no file behind and an existing file
  // of that name untouched. Returns only when the transfer has ended.
  [[nodiscard]] virtual int DownloadToFile(const std::string& url, const std::string& path) = 0;
};

}  // namespace trawlbox::platform
