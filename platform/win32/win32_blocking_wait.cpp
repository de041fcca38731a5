#include "platform/win32/win32_blocking_wait.h"

#include <chrono>

#include "platform/win32/win32_input_hold.h"

namespace trawlbox::platform {

namespace {

// The wait needs no bound of its own: the request's time limits and the timers wake it.
constexpr std::chrono::milliseconds kUnbounded = std::chrono::milliseconds::max();

}  // namespace

Win32BlockingWait::Win32BlockingWait(WinHttpLoop& loop) : loop_(loop) {}

// Looking through the queue costs Wine a trip to its server for each kind of input held back; a
// wake by WinHTTP alone, several in every download, brings no message to look at.
void Win32BlockingWait::Until(const std::function<bool()>& done) {
  Win32InputHold input_hold;
  while (!done()) {
    if (loop_.Wait(kUnbounded)) input_hold.PumpExceptInput();
  }
}

}  // namespace trawlbox::platform
