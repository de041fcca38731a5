#include "app/win32/window.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <utility>

namespace trawlbox::app::win32 {

namespace {

// Each class is registered once a process; a second window of the class finds it there.
void RegisterOnce(const wchar_t* class_name, WNDPROC procedure) {
  WNDCLASSEXW window_class{};
  if (GetClassInfoExW(GetModuleHandleW(nullptr), class_name, &window_class)) return;
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  // The colour that buttons, frames and labels paint their own background in.
  window_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  window_class.lpszClassName = class_name;
  RegisterClassExW(&window_class);
}

}  // namespace

// A SetTimer timer of the window, with the timer object's address as its id, which no class's own
// timer has.
class Window::OwnTimer : public platform::Timer {
 public:
  explicit OwnTimer(Window& window) : window_(window) { window_.timers_.push_back(this); }
  ~OwnTimer() override {
    Stop();
    std::erase(window_.timers_, this);
  }
  OwnTimer(const OwnTimer&) = delete;
  OwnTimer& operator=(const OwnTimer&) = delete;

  void Start(std::chrono::milliseconds delay, std::function<void()> due) override {
    due_ = std::move(due);
    if (window_.hwnd_ != nullptr) {
      SetTimer(window_.hwnd_, Id(), static_cast<UINT>(delay.count()), nullptr);
    }
  }

  // A timer costs Wine a trip to its server to kill: one that is not running is left alone.
  void Stop() override {
    if (due_ && window_.hwnd_ != nullptr) KillTimer(window_.hwnd_, Id());
    due_ = {};
  }

  // WM_TIMER repeats until killed. The call may start the timer again, so it is taken out first.
  void Fire() {
    std::function<void()> due = std::exchange(due_, {});
    KillTimer(window_.hwnd_, Id());
    if (due) due();
  }

  [[nodiscard]] UINT_PTR Id() const { return reinterpret_cast<UINT_PTR>(this); }

 private:
  Window& window_;
  std::function<void()> due_;
};

Window::Window(const WindowOptions& options) {
  RegisterOnce(options.class_name, &Window::Procedure);
  // Procedure sets hwnd_ at WM_NCCREATE, before any other message arrives.
  CreateWindowExW(options.ex_style, options.class_name, options.title.c_str(), options.style,
                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, options.menu,
                  GetModuleHandleW(nullptr), this);
  if (hwnd_ == nullptr && options.menu != nullptr) DestroyMenu(options.menu);
}

Window::Window(HWND control) : hwnd_(control) {
  if (hwnd_ == nullptr) return;
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  control_procedure_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::Procedure)));
}

Window::~Window() {
  routing_ = false;
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

LRESULT Window::Default(UINT message, WPARAM wparam, LPARAM lparam) const {
  if (hwnd_ == nullptr) return 0;
  if (control_procedure_ != nullptr) {
    return CallWindowProcW(control_procedure_, hwnd_, message, wparam, lparam);
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

std::unique_ptr<platform::Timer> Window::MakeTimer() { return std::make_unique<OwnTimer>(*this); }

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* window =
        static_cast<Window*>(reinterpret_cast<const CREATESTRUCTW*>(lparam)->lpCreateParams);
    window->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
  }
  auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (window == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
  if (message == WM_NCDESTROY) return window->Detach(wparam, lparam);
  if (!window->routing_) return window->Default(message, wparam, lparam);
  return window->Route(message, wparam, lparam);
}

Window* Window::RoutingWindow(HWND hwnd) {
  if (hwnd == nullptr ||
      reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) != &Window::Procedure) {
    return nullptr;
  }
  auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return window != nullptr && window->routing_ ? window : nullptr;
}

LRESULT Window::Route(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      break;
    case WM_NOTIFY: {
      NMHDR& header = *reinterpret_cast<NMHDR*>(lparam);
      Window* const from = RoutingWindow(header.hwndFrom);
      std::optional<LRESULT> answer;
      if (from != nullptr && from != this) answer = from->OnOwnNotify(header);
      if (!answer) answer = OnNotify(header);
      if (answer) return *answer;
      break;
    }
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_DESTROY:
      OnDestroy();
      break;
    case WM_TIMER: {
      const auto timer =
          std::find_if(timers_.begin(), timers_.end(),
                       [wparam](const OwnTimer* own) { return own->Id() == wparam; });
      if (timer == timers_.end()) break;
      (*timer)->Fire();
      return 0;
    }
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    default:
      if (const std::optional<LRESULT> answer = OnOtherMessage(message, wparam, lparam)) {
        return *answer;
      }
      break;
  }
  return Default(message, wparam, lparam);
}

// The control's own procedure frees what it holds of the window at this message.
LRESULT Window::Detach(WPARAM wparam, LPARAM lparam) {
  const HWND hwnd = hwnd_;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
  if (control_procedure_ != nullptr) {
    return CallWindowProcW(control_procedure_, hwnd, WM_NCDESTROY, wparam, lparam);
  }
  return DefWindowProcW(hwnd, WM_NCDESTROY, wparam, lparam);
}

}  // namespace trawlbox::app::win32
