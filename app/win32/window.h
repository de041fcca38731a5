#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/timer.h"

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

// A window whose messages reach the methods of a derived class: a top-level window of the
// program's own class, or a control of one of Windows' classes, whose own procedure then gets
// what the methods leave. The window exists from the constructor on (Handle() is null when Windows
// refused it) until Windows destroys it or the object goes, whichever comes first; its child
// windows go with it.
class Window {
 public:
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Null once the window has been destroyed.
  [[nodiscard]] HWND Handle() const { return hwnd_; }

 protected:
  // A top-level window of the class `options` names, registered on first use.
  explicit Window(const WindowOptions& options);
  // Takes `control` over, a child window of one of Windows' classes (or null): its messages reach
  // the methods first. The object is found through the control's GWLP_USERDATA, which Windows'
  // classes leave to the program: comctl32's SetWindowSubclass would look it up with GetPropW at
  // every message, which under Wine is a trip to its server.
  explicit Window(HWND control);
  virtual ~Window();

  // The derived window is whole: its methods take the messages from now on. Until then, the
  // messages that building it sends (a child's notifications, a first font) get the class's own
  // handling, since the members the methods use are not there yet.
  void StartRouting() { routing_ = true; }
  // The derived window is going: what Windows sends from now on (its destruction) gets the
  // class's own handling.
  void StopRouting() { routing_ = false; }

  // The class's own handling of a message: Windows' default for a window of the program's class,
  // the control's own procedure for a control. 0 once the window has been destroyed.
  LRESULT Default(UINT message, WPARAM wparam, LPARAM lparam) const;

  // A single-shot timer run by this window's WM_TIMER, wherever the thread's messages are handled:
  // also inside a yield and a blocking download's wait. It must go before the window object does
  // (a member of the derived window), and calls nothing once the window has been destroyed.
  [[nodiscard]] std::unique_ptr<platform::Timer> MakeTimer();

  // A menu command, an accelerator or a child's notification; the class handles it afterwards.
  virtual void OnCommand(int /*id*/, int /*code*/) {}
  // A notice of a child that the child did not answer itself (OnOwnNotify); nothing: the class's
  // answer. The notice heads a larger structure, which some notices want written into.
  virtual std::optional<LRESULT> OnNotify(NMHDR& /*header*/) { return std::nullopt; }
  // A notice this window sent its parent, which the parent (a Window too) hands it first: a control
  // answers for itself what it asks. Nothing: the parent's answer.
  virtual std::optional<LRESULT> OnOwnNotify(NMHDR& /*header*/) { return std::nullopt; }
  // The close button, Alt+F4, or a WM_CLOSE of the program's own.
  virtual void OnClose() { static_cast<void>(Default(WM_CLOSE, 0, 0)); }
  // The window is being destroyed, its children still there; the class handles it afterwards.
  virtual void OnDestroy() {}
  // The window moved to a screen of another scale, or the scale changed: `suggested` is where
  // Windows proposes a top-level window should now stand.
  virtual void OnDpiChanged(UINT /*dpi*/, const RECT& /*suggested*/) {}
  // Any other message; nothing: the class's own handling.
  virtual std::optional<LRESULT> OnOtherMessage(UINT /*message*/, WPARAM /*wparam*/,
                                                LPARAM /*lparam*/) {
    return std::nullopt;
  }

 private:
  class OwnTimer;

  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  // The Window that takes `hwnd`'s messages now, or null.
  static Window* RoutingWindow(HWND hwnd);
  LRESULT Route(UINT message, WPARAM wparam, LPARAM lparam);
  // The window has been destroyed: it lets go of the object.
  LRESULT Detach(WPARAM wparam, LPARAM lparam);

  HWND hwnd_ = nullptr;
  // A control's own procedure; null for a window of the program's class.
  WNDPROC control_procedure_ = nullptr;
  bool routing_ = false;
  // The timers made by MakeTimer that still exist; the id of each is its address.
  std::vector<OwnTimer*> timers_;
};

}  // namespace trawlbox::app::win32
