#include "platform/win32/win32_input_hold.h"

#include <algorithm>
#include <cstddef>

#include "platform/win32/message_pump.h"

namespace trawlbox::platform {

namespace {

// The window's close button and Alt+F4 reach the window as input; the default window procedure
// turns them into the close request that must not wait for the transfer.
bool AsksToClose(const MSG& message) {
  switch (message.message) {
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
      return message.wParam == HTCLOSE;
    case WM_SYSKEYDOWN:
      return message.wParam == VK_F4;
    default:
      return false;
  }
}

}  // namespace

Win32InputHold::~Win32InputHold() {
  for (const MSG& message : held_) {
    PostMessageW(message.hwnd, message.message, message.wParam, message.lParam);
  }
  if (quit_) PostQuitMessage(static_cast<int>(*quit_));
}

void Win32InputHold::PumpExceptInput() {
  const std::size_t earlier = held_.size();
  HoldRange(WM_KEYFIRST, WM_KEYLAST);
  HoldRange(WM_MOUSEFIRST, WM_MOUSELAST);
  HoldRange(WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK);
  HoldRange(WM_NCMOUSEHOVER, WM_MOUSELEAVE);
  // Touch and pen, which Windows turns into mouse input unless handled.
  HoldRange(WM_POINTERDEVICECHANGE, WM_POINTERROUTEDRELEASED);
  // Taken by kind, put back in the order they came, as far as the message time tells.
  std::stable_sort(held_.begin() + static_cast<std::ptrdiff_t>(earlier), held_.end(),
                   [](const MSG& a, const MSG& b) { return a.time < b.time; });

  // A quit request is the main loop's to act on, once the blocking call is over.
  if (const std::optional<int> quit = MessagePump().HandlePending()) quit_ = *quit;
}

void Win32InputHold::HoldRange(UINT first, UINT last) {
  MSG message;
  while (PeekMessageW(&message, nullptr, first, last, PM_REMOVE)) {
    if (AsksToClose(message)) {
      MessagePump().Handle(message);
    } else {
      held_.push_back(message);
    }
  }
}

}  // namespace trawlbox::platform
