#pragma once

#include <windows.h>

#include <optional>
#include <vector>

namespace trawlbox::platform {

// For as long as it lives, keeps mouse and keyboard input away from the program's windows and
// posts it again, in order, when it goes, so that no handler runs in the middle of a blocking
// transfer; painting, timers and a request to close the window (its close button, Alt+F4, WM_CLOSE,
// SC_CLOSE) still get through. Lives on the window's thread, on the stack of the blocking call.
class Win32InputHold {
 public:
  Win32InputHold() = default;
  // Posts the held input again, then a quit request seen meanwhile.
  ~Win32InputHold();
  Win32InputHold(const Win32InputHold&) = delete;
  Win32InputHold& operator=(const Win32InputHold&) = delete;

  // Takes the thread's pending input into the hold and handles every other pending message.
  // Returns at once when nothing is pending; any window handler may run nested inside.
  void PumpExceptInput();

 private:
  // Moves the pending messages in [first, last] into the hold, but hands a close request on.
  void HoldRange(UINT first, UINT last);

  std::vector<MSG> held_;
  // The exit code of a WM_QUIT taken from the queue, posted again when the hold ends.
  std::optional<int> quit_;
};

}  // namespace trawlbox::platform
