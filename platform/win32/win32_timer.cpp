#include "platform/win32/win32_timer.h"

#include <utility>

namespace trawlbox::platform {

Win32Timer::Win32Timer(WinHttpLoop& loop) : loop_(loop) {}

Win32Timer::~Win32Timer() { Stop(); }

void Win32Timer::Start(std::chrono::milliseconds delay, std::function<void()> due) {
  due_at_ = WinHttpLoop::Clock::now() + delay;
  due_ = std::move(due);
  loop_.Watch(*this);
}

void Win32Timer::Stop() {
  loop_.Unwatch(*this);
  due_at_.reset();
  due_ = {};
}

void Win32Timer::OnEvent(const WinHttpLoop::Event& /*event*/) {}

// The call may start the timer again, so it is taken out before it runs.
void Win32Timer::OnWake(WinHttpLoop::Clock::time_point now) {
  if (!due_at_ || now < *due_at_) return;
  std::function<void()> due = std::exchange(due_, {});
  Stop();
  due();
}

std::chrono::milliseconds Win32Timer::UntilExpiry(WinHttpLoop::Clock::time_point now) const {
  if (!due_at_ || *due_at_ <= now) return std::chrono::milliseconds(0);
  return std::chrono::ceil<std::chrono::milliseconds>(*due_at_ - now);
}

}  // namespace trawlbox::platform
