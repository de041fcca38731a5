#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace trawlbox::app::win32 {

// How a top-level window is made.
struct WindowOptions {
  const wchar_t* class_name;
  DWORD style;
  DWORD ex_style;
  std::wstring title;
  // The menu bar, which the window takes over (Windows destroys it with the window); or null.
  HMENU menu;
};

// A top-level window whose messages reach the methods of a derived class. The window exists from
// the constructor on (Handle() is null when Windows refused it) until Windows destroys it or the
// object goes, whichever comes first; its child controls go with it.
class Window {
 public:
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Null once the window has been destroyed.
  [[nodiscard]] HWND Handle() const { return hwnd_; }

 protected:
  explicit Window(const WindowOptions& options);
  virtual ~Window();

  // The derived window is whole: its methods take the messages from now on. Until then, the
  // messages that building it sends (a child's notifications, a first font) get Windows' defaults,
  // since the members the methods use are not there yet.
  void StartRouting() { routing_ = true; }
  // The derived window is going: what Windows sends from now on (its destruction) gets the
  // defaults.
  void StopRouting() { routing_ = false; }

  // A control's notification, a menu command or an accelerator.
  virtual void OnCommand(int /*id*/, int /*code*/) {}
  // Nothing: Windows' default answer.
  virtual std::optional<LRESULT> OnNotify(const NMHDR& /*header*/) { return std::nullopt; }
  // The close button, Alt+F4, or a WM_CLOSE of the program's own.
  virtual void OnClose() { DestroyWindow(hwnd_); }
  virtual void OnDestroy() {}
  virtual void OnTimer(UINT_PTR /*timer*/) {}
  // The window moved to a screen of another scale, or the scale changed: `suggested` is where
  // Windows proposes the window should now stand.
  virtual void OnDpiChanged(UINT /*dpi*/, const RECT& /*suggested*/) {}
  // Any other message; nothing: Windows' default handling.
  virtual std::optional<LRESULT> OnOtherMessage(UINT /*message*/, WPARAM /*wparam*/,
                                                LPARAM /*lparam*/) {
    return std::nullopt;
  }

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Route(UINT message, WPARAM wparam, LPARAM lparam);

  HWND hwnd_ = nullptr;
  bool routing_ = false;
};

}  // namespace trawlbox::app::win32
