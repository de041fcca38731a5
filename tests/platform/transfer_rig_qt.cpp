#include <QObject>
#include <QTimer>
#include <utility>

#include "platform/qt/curl_file_downloader.h"
#include "platform/qt/curl_http_transfer.h"
#include "platform/qt/curl_multi_loop.h"
#include "platform/qt/qt_event_yield.h"
#include "tests/platform/transfer_rig.h"
#include "tests/support/test_http_server.h"

namespace trawlbox::testing {

namespace {

class CurlTransfer : public AbortableTransfer {
 public:
  CurlTransfer(platform::CurlMultiLoop& loop, const platform::HttpTransferLimits& limits,
               const std::string& ca_file)
      : transfer_(loop, limits, ca_file) {}

  bool Execute(const std::string& url, const std::string& operation,
               const std::string& request_header) override {
    return transfer_.Execute(url, operation, request_header);
  }
  bool StillExecuting() const override { return transfer_.StillExecuting(); }
  bool GetChunk(std::size_t max_bytes, std::string& chunk) override {
    return transfer_.GetChunk(max_bytes, chunk);
  }
  void Abort() override { transfer_.Abort(); }

 private:
  platform::CurlHttpTransfer transfer_;
};

class CurlDownloader : public AbortableDownloader {
 public:
  CurlDownloader(platform::CurlMultiLoop& loop, const platform::DownloadLimits& limits,
                 const std::string& ca_file)
      : downloader_(loop, limits, ca_file) {}

  int DownloadToFile(const std::string& url, const std::string& path) override {
    return downloader_.DownloadToFile(url, path);
  }
  void Abort() override { downloader_.Abort(); }

 private:
  platform::CurlFileDownloader downloader_;
};

}  // namespace

struct TransferRig::Impl {
  platform::CurlMultiLoop loop;
  platform::QtEventYield yield;
  QObject timers;
};

TransferRig::TransferRig() : impl_(std::make_unique<Impl>()) {}

TransferRig::~TransferRig() = default;

std::unique_ptr<AbortableTransfer> TransferRig::Transfer(const platform::HttpTransferLimits& limits,
                                                         const std::string& ca_file) {
  return std::make_unique<CurlTransfer>(impl_->loop, limits, ca_file);
}

std::unique_ptr<AbortableDownloader> TransferRig::Downloader(const platform::DownloadLimits& limits,
                                                             const std::string& ca_file) {
  return std::make_unique<CurlDownloader>(impl_->loop, limits, ca_file);
}

platform::EventYield& TransferRig::Events() { return impl_->yield; }

std::unique_ptr<TestSite> TransferRig::Site(TestScheme scheme) {
  return std::make_unique<TestHttpServer>(scheme);
}

void LinkFolder(const std::filesystem::path& target, const std::filesystem::path& link) {
  std::filesystem::create_directory_symlink(target, link);
}

void TransferRig::After(std::chrono::milliseconds delay, std::function<void()> action) {
  QTimer::singleShot(delay, &impl_->timers, std::move(action));
}

}  // namespace trawlbox::testing
