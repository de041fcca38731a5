#include "app/win32/window.h"

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

Window::Window(const WindowOptions& options) {
  RegisterOnce(options.class_name, &Window::Procedure);
  // Procedure sets hwnd_ at WM_NCCREATE, before any other message arrives.
  CreateWindowExW(options.ex_style, options.class_name, options.title.c_str(), options.style,
                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, options.menu,
                  GetModuleHandleW(nullptr), this);
  if (hwnd_ == nullptr && options.menu != nullptr) DestroyMenu(options.menu);
}

Window::~Window() {
  routing_ = false;
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* window =
        static_cast<Window*>(reinterpret_cast<const CREATESTRUCTW*>(lparam)->lpCreateParams);
    window->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
  }
  auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (window == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    window->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  if (!window->routing_) return DefWindowProcW(hwnd, message, wparam, lparam);
  return window->Route(message, wparam, lparam);
}

LRESULT Window::Route(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_NOTIFY:
      if (const std::optional<LRESULT> result = OnNotify(*reinterpret_cast<NMHDR*>(lparam))) {
        return *result;
      }
      break;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_TIMER:
      OnTimer(wparam);
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    default:
      if (const std::optional<LRESULT> result = OnOtherMessage(message, wparam, lparam)) {
        return *result;
      }
      break;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

}  // namespace trawlbox::app::win32
