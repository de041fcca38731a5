#pragma once

#include <windows.h>

#include "platform/event_yield.h"
#include "platform/win32/message_pump.h"
#include "platform/win32/winhttp_loop.h"

namespace trawlbox::platform {

// Yields to the window's thread's message queue and to the WinHTTP requests of `loop`, which move
// on only here (and in a blocking download's own wait).
class Win32EventYield : public EventYield {
 public:
  // `dialog`, when given, is the main window, whose tab-stop controls Tab and the arrow keys then
  // move between. Both must outlive the yield.
  explicit Win32EventYield(WinHttpLoop& loop, HWND dialog = nullptr);

  // Dispatches the loop, then handles every pending message. A WM_QUIT is posted again, and ends
  // the call, so that the main loop still sees it.
  void YieldOnce() override;
  // Sleeps until a WinHTTP request moves, a message arrives, a request's time runs out or 100 ms
  // pass, then does what YieldOnce does.
  void YieldUntilEvent() override;

 private:
  WinHttpLoop& loop_;
  MessagePump pump_;
};

}  // namespace trawlbox::platform
