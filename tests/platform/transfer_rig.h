#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "platform/event_yield.h"
#include "platform/file_downloader.h"
#include "platform/http_transfer.h"
#include "platform/transfer_limits.h"
#include "tests/support/test_site.h"

namespace trawlbox::testing {

// The adapters, with the shutdown the window's close handler calls.
class AbortableTransfer : public platform::HttpTransfer {
 public:
  virtual void Abort() = 0;
};

class AbortableDownloader : public platform::FileDownloader {
 public:
  virtual void Abort() = 0;
};

// An adapter of either system behind those interfaces; `Args` are its constructor's.
template <typename Adapter>
class AbortableTransferOf : public AbortableTransfer {
 public:
  template <typename... Args>
  explicit AbortableTransferOf(Args&&... args) : adapter_(std::forward<Args>(args)...) {}

  bool Execute(const std::string& url, const std::string& operation,
               const std::string& request_header) override {
    return adapter_.Execute(url, operation, request_header);
  }
  bool StillExecuting() const override { return adapter_.StillExecuting(); }
  bool GetChunk(std::size_t max_bytes, std::string& chunk) override {
    return adapter_.GetChunk(max_bytes, chunk);
  }
  void Abort() override { adapter_.Abort(); }

 private:
  Adapter adapter_;
};

template <typename Adapter>
class AbortableDownloaderOf : public AbortableDownloader {
 public:
  template <typename... Args>
  explicit AbortableDownloaderOf(Args&&... args) : adapter_(std::forward<Args>(args)...) {}

  int DownloadToFile(const std::string& url, const std::string& path) override {
    return adapter_.DownloadToFile(url, path);
  }
  void Abort() override { adapter_.Abort(); }

 private:
  Adapter adapter_;
};

// The HTTP adapters of the system the tests run on (libcurl on Linux, WinHTTP on Windows), the
// event loop that drives them and the test server they talk to: the one place where the shared
// transfer tests differ between the two systems.
class TransferRig {
 public:
  TransferRig();
  ~TransferRig();
  TransferRig(const TransferRig&) = delete;
  TransferRig& operator=(const TransferRig&) = delete;

  // `ca_file` replaces the system's certificate store, as only tests may.
  [[nodiscard]] std::unique_ptr<AbortableTransfer> Transfer(
      const platform::HttpTransferLimits& limits, const std::string& ca_file = {});
  [[nodiscard]] std::unique_ptr<AbortableDownloader> Downloader(
      const platform::DownloadLimits& limits, const std::string& ca_file = {});
  [[nodiscard]] platform::EventYield& Events();
  // A fresh server: nothing served, nothing received.
  [[nodiscard]] std::unique_ptr<TestSite> Site(TestScheme scheme = TestScheme::kHttp);
  // Calls `action` once, `delay` from now, from the event loop: also inside a blocking download.
  void After(std::chrono::milliseconds delay, std::function<void()> action);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Makes a symbolic link at `link` to the folder `target`.
void LinkFolder(const std::filesystem::path& target, const std::filesystem::path& link);

}  // namespace trawlbox::testing
