#include "platform/win32/message_pump.h"

namespace trawlbox::platform {

namespace {

// How long RunUntil sleeps at most between two looks at its condition.
constexpr DWORD kPollMs = 10;

}  // namespace

void MessagePump::Handle(MSG& message) const {
  if (dialog_ != nullptr && IsWindow(dialog_) && IsDialogMessageW(dialog_, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

std::optional<int> MessagePump::HandlePending() const {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
    Handle(message);
  }
  return std::nullopt;
}

MessagePump::Ending MessagePump::RunUntil(std::chrono::milliseconds limit,
                                          const std::function<bool()>& done) const {
  const ULONGLONG give_up = GetTickCount64() + static_cast<ULONGLONG>(limit.count());
  for (;;) {
    if (done && done()) return Ending::kDone;
    if (HandlePending()) return Ending::kQuit;
    const ULONGLONG now = GetTickCount64();
    if (now >= give_up) return Ending::kTimedOut;
    const auto left = static_cast<DWORD>(give_up - now);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, left < kPollMs ? left : kPollMs, QS_ALLINPUT);
  }
}

int MessagePump::RunUntilQuit() const {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) Handle(message);
  return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 1;
}

}  // namespace trawlbox::platform
