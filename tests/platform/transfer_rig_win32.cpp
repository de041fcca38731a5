#include <windows.h>

#include <map>
#include <utility>

#include "platform/win32/win32_blocking_wait.h"
#include "platform/win32/win32_event_yield.h"
#include "platform/win32/win32_text_decoder.h"
#include "platform/win32/win32_timer.h"
#include "platform/win32/winhttp_loop.h"
#include "platform/win32/winhttp_request.h"
#include "tests/platform/scratch_folder.h"
#include "tests/platform/transfer_rig.h"
#include "tests/support/remote_test_site.h"

namespace trawlbox::testing {

namespace {

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

std::unique_ptr<platform::HttpRequest> TransferRig::Request(const std::string& ca_file) {
  return std::make_unique<platform::WinHttpRequest>(impl_->loop, ca_file);
}

std::unique_ptr<platform::Timer> TransferRig::MakeTimer() {
  return std::make_unique<platform::Win32Timer>(impl_->loop);
}

std::unique_ptr<platform::BlockingWait> TransferRig::MakeWait() {
  return std::make_unique<platform::Win32BlockingWait>(impl_->loop);
}

const platform::TextDecoder& TransferRig::Decoder() { return impl_->decoder; }

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
