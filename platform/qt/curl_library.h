#pragma once

namespace trawlbox::platform {

// libcurl's process-wide set-up and tear-down. The program's main function (and each test's) holds
// exactly one for as long as it runs, made before any transfer and before any other thread starts,
// as libcurl asks.
class CurlLibrary {
 public:
  CurlLibrary();
  ~CurlLibrary();
  CurlLibrary(const CurlLibrary&) = delete;
  CurlLibrary& operator=(const CurlLibrary&) = delete;
};

}  // namespace trawlbox::platform
