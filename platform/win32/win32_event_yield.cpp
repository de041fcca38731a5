#include "platform/win32/win32_event_yield.h"

#include <chrono>
#include <optional>

namespace trawlbox::platform {

namespace {

// Bounds a wait that nothing else ends, so a caller waiting on a state change that arrives without
// a message of its own still looks again soon.
constexpr std::chrono::milliseconds kSafetyInterval{100};

}  // namespace

Win32EventYield::Win32EventYield(WinHttpLoop& loop, HWND dialog) : loop_(loop), pump_(dialog) {}

void Win32EventYield::YieldOnce() {
  loop_.Dispatch();
  if (const std::optional<int> quit = pump_.HandlePending()) PostQuitMessage(*quit);
}

// A wake by WinHTTP alone has been dispatched by the wait and brings no message to handle.
void Win32EventYield::YieldUntilEvent() {
  if (loop_.Wait(kSafetyInterval)) YieldOnce();
}

}  // namespace trawlbox::platform
