#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/blocking_wait.h"
#include "platform/event_yield.h"
#include "platform/http/file_download.h"
#include "platform/http/hsts.h"
#include "platform/http/http_request.h"
#include "platform/http/page_transfer.h"
#include "platform/http/transfer_limits.h"
#include "platform/text_decoder.h"
#include "platform/timer.h"
#include "tests/support/test_site.h"

namespace trawlbox::testing {

// The page transfer and the downloader over the requests of the system the tests run on (libcurl
// on Linux, WinHTTP on Windows), the event loop that drives them and the test server they talk
// to: the one place where the shared transfer tests differ between the two systems. Everything a
// rig makes shares one HSTS store, as the window's transfer and downloader do.
class TransferRig {
 public:
  TransferRig();
  ~TransferRig();
  TransferRig(const TransferRig&) = delete;
  TransferRig& operator=(const TransferRig&) = delete;

  // `ca_file` replaces the system's certificate store, as only tests may.
  [[nodiscard]] std::unique_ptr<platform::PageTransfer> Transfer(
      const platform::HttpTransferLimits& limits, const std::string& ca_file = {}) {
    return std::make_unique<platform::PageTransfer>(Request(ca_file), MakeTimer(), hsts_, Decoder(),
                                                    limits);
  }
  [[nodiscard]] std::unique_ptr<platform::FileDownload> Downloader(
      const platform::DownloadLimits& limits, const std::string& ca_file = {}) {
    return std::make_unique<platform::FileDownload>(Request(ca_file), MakeTimer(), MakeWait(),
                                                    hsts_, limits);
  }
  [[nodiscard]] platform::EventYield& Events();
  // A fresh server: nothing served, nothing received.
  [[nodiscard]] std::unique_ptr<TestSite> Site(TestScheme scheme = TestScheme::kHttp);
  // Calls `action` once, `delay` from now, from the event loop: also inside a blocking download.
  void After(std::chrono::milliseconds delay, std::function<void()> action);

 private:
  struct Impl;

  // The system's pieces that the shared transfer and downloader are built from.
  [[nodiscard]] std::unique_ptr<platform::HttpRequest> Request(const std::string& ca_file);
  [[nodiscard]] std::unique_ptr<platform::Timer> MakeTimer();
  [[nodiscard]] std::unique_ptr<platform::BlockingWait> MakeWait();
  [[nodiscard]] const platform::TextDecoder& Decoder();

  std::unique_ptr<Impl> impl_;
  platform::HstsStore hsts_;
};

// Makes a symbolic link at `link` to the folder `target`.
void LinkFolder(const std::filesystem::path& target, const std::filesystem::path& link);

}  // namespace trawlbox::testing
