#include <windows.h>

#include <map>
#include <utility>

#include "platform/win32/win32_event_yield.h"
#include "platform/win32/win32_text_decoder.h"
#include "platform/win32/winhttp_file_downloader.h"
#include "platform/win32/winhttp_loop.h"
#include "platform/win32/winhttp_transfer.h"
#include "tests/platform/scratch_folder.h"
#include "tests/platform/transfer_rig.h"
#include "tests/support/remote_test_site.h"

namespace trawlbox::testing {

namespace {

class WinTransfer : public AbortableTransfer {
 public:
  WinTransfer(platform::WinHttpLoop& loop, const platform::TextDecoder& decoder,
              const platform::HttpTransferLimits& limits, const std::string& ca_file)
      : transfer_(loop, decoder, limits, ca_file) {}

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
  platform::WinHttpTransfer transfer_;
};

class WinDownloader : public AbortableDownloader {
 public:
  WinDownloader(platform::WinHttpLoop& loop, const platform::DownloadLimits& limits,
                const std::string& ca_file)
      : downloader_(loop, limits, ca_file) {}

  int DownloadToFile(const std::string& url, const std::string& path) override {
    return downloader_.DownloadToFile(url, path);
  }
  void Abort() override { downloader_.Abort(); }

 private:
  platform::WinHttpFileDownloader downloader_;
};

// Runs delayed actions from WM_TIMER, which every wait of the adapters dispatches.
class TimerWindow {
 public:
  TimerWindow() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = &TimerWindow::Procedure;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = kClassName;
    RegisterClassW(&window_class);
    window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~TimerWindow() { DestroyWindow(window_); }
  TimerWindow(const TimerWindow&) = delete;
  TimerWindow& operator=(const TimerWindow&) = delete;

  void After(std::chrono::milliseconds delay, std::function<void()> action) {
    const UINT_PTR id = next_id_++;
    actions_.emplace(id, std::move(action));
    SetTimer(window_, id, static_cast<UINT>(delay.count()), nullptr);
  }

 private:
  static constexpr const wchar_t* kClassName = L"TrawlboxTestTimers";

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<TimerWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message != WM_TIMER || self == nullptr)
      return DefWindowProcW(window, message, wparam, lparam);
    KillTimer(window, wparam);
    const auto found = self->actions_.find(wparam);
    if (found != self->actions_.end()) {
      const std::function<void()> action = std::move(found->second);
      self->actions_.erase(found);
      action();
    }
    return 0;
  }

  HWND window_ = nullptr;
  UINT_PTR next_id_ = 1;
  std::map<UINT_PTR, std::function<void()>> actions_;
};

}  // namespace

struct TransferRig::Impl {
  platform::WinHttpLoop loop;
  platform::Win32EventYield yield{loop};
  platform::Win32TextDecoder decoder;
  TimerWindow timers;
};

TransferRig::TransferRig() : impl_(std::make_unique<Impl>()) {}

TransferRig::~TransferRig() = default;

std::unique_ptr<AbortableTransfer> TransferRig::Transfer(const platform::HttpTransferLimits& limits,
                                                         const std::string& ca_file) {
  return std::make_unique<WinTransfer>(impl_->loop, impl_->decoder, limits, ca_file);
}

std::unique_ptr<AbortableDownloader> TransferRig::Downloader(const platform::DownloadLimits& limits,
                                                             const std::string& ca_file) {
  return std::make_unique<WinDownloader>(impl_->loop, limits, ca_file);
}

platform::EventYield& TransferRig::Events() { return impl_->yield; }

std::unique_ptr<TestSite> TransferRig::Site(TestScheme scheme) {
  return std::make_unique<RemoteTestSite>(scheme);
}

void LinkFolder(const std::filesystem::path& target, const std::filesystem::path& link) {
  RemoteTestSite::LinkOnHost(Utf8(target), Utf8(link));
}

void TransferRig::After(std::chrono::milliseconds delay, std::function<void()> action) {
  impl_->timers.After(delay, std::move(action));
}

}  // namespace trawlbox::testing
