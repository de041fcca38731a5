#include "platform/win32/win32_event_yield.h"

#include <chrono>

namespace trawlbox::platform {

namespace {

// Bounds a wait that nothing else ends, so a caller waiting on a state change that arrives without
// a message of its own still looks again soon.
constexpr std::chrono::milliseconds kSafetyInterval{100};

}  // namespace

Win32EventYield::Win32EventYield(WinHttpLoop& loop, HWND dialog) : loop_(loop), dialog_(dialog) {}

void Win32EventYield::YieldOnce() {
  loop_.Dispatch();
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (dialog_ != nullptr && IsDialogMessageW(dialog_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// A wake by WinHTTP alone has been dispatched by the wait and brings no message to handle.
void Win32EventYield::YieldUntilEvent() {
  if (loop_.Wait(kSafetyInterval)) YieldOnce();
}

}  // namespace trawlbox::platform
