#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>

namespace trawlbox::platform {

// The one way the window's thread hands its messages to their windows: the program's loop, every
// yield, a blocking transfer's wait, the tools and the tests all go through it.
class MessagePump {
 public:
  // How RunUntil ended.
  enum class Ending { kDone, kQuit, kTimedOut };

  // `dialog`, when given, is the main window: Tab, Shift+Tab, the arrow keys and the mnemonics
  // move between its tab-stop controls, as in a dialog. It may be destroyed before the pump goes.
  explicit MessagePump(HWND dialog = nullptr) : dialog_(dialog) {}

  // Hands `message` to its window.
  void Handle(MSG& message) const;
  // Handles every message waiting, and returns without waiting for more. A WM_QUIT ends the call
  // and is taken from the queue: its exit code is returned.
  [[nodiscard]] std::optional<int> HandlePending() const;
  // Handles messages as they come until `done()` holds, a WM_QUIT arrives (taken from the queue)
  // or `limit` has passed. `done` is asked again at least every 10 ms, so that it may wait on
  // what sends no message; an empty `done` waits for the other two.
  [[nodiscard]] Ending RunUntil(std::chrono::milliseconds limit,
                                const std::function<bool()>& done = {}) const;
  // Handles messages as they come until a WM_QUIT, and returns its exit code; 1 when the queue
  // failed.
  [[nodiscard]] int RunUntilQuit() const;

 private:
  HWND dialog_;
};

}  // namespace trawlbox::platform
