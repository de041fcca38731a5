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

struct TransferRig::Impl {
  platform::CurlMultiLoop loop;
  platform::QtEventYield yield;
  QObject timers;
};

TransferRig::TransferRig() : impl_(std::make_unique<Impl>()) {}

TransferRig::~TransferRig() = default;

std::unique_ptr<AbortableTransfer> TransferRig::Transfer(const platform::HttpTransferLimits& limits,
                                                         const std::string& ca_file) {
  return std::make_unique<AbortableTransferOf<platform::CurlHttpTransfer>>(impl_->loop, limits,
                                                                           ca_file);
}

std::unique_ptr<AbortableDownloader> TransferRig::Downloader(const platform::DownloadLimits& limits,
                                                             const std::string& ca_file) {
  return std::make_unique<AbortableDownloaderOf<platform::CurlFileDownloader>>(impl_->loop, limits,
                                                                               ca_file);
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
