#include <QObject>
#include <QTimer>
#include <utility>

#include "platform/qt/curl_multi_loop.h"
#include "platform/qt/curl_request.h"
#include "platform/qt/qt_blocking_wait.h"
#include "platform/qt/qt_event_yield.h"
#include "platform/qt/qt_text_decoder.h"
#include "platform/qt/qt_timer.h"
#include "tests/platform/transfer_rig.h"
#include "tests/support/test_http_server.h"

namespace trawlbox::testing {

struct TransferRig::Impl {
  platform::CurlMultiLoop loop;
  platform::QtEventYield yield;
  platform::QtTextDecoder decoder;
  QObject timers;
};

TransferRig::TransferRig() : impl_(std::make_unique<Impl>()) {}

TransferRig::~TransferRig() = default;

std::unique_ptr<platform::HttpRequest> TransferRig::Request(const std::string& ca_file) {
  return std::make_unique<platform::CurlRequest>(impl_->loop, ca_file);
}

std::unique_ptr<platform::Timer> TransferRig::MakeTimer() {
  return std::make_unique<platform::QtTimer>();
}

std::unique_ptr<platform::BlockingWait> TransferRig::MakeWait() {
  return std::make_unique<platform::QtBlockingWait>();
}

const platform::TextDecoder& TransferRig::Decoder() { return impl_->decoder; }

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
