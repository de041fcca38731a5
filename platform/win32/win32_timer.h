#pragma once

#include <chrono>
#include <functional>
#include <optional>

#include "platform/timer.h"
#include "platform/win32/winhttp_loop.h"

namespace trawlbox::platform {

// Timer woken by the WinHttpLoop's waits, which every yield and every blocking wait of the
// program sleeps in: it bounds their sleep and runs its call when they wake. No window message of
// its own, so none is ever held back or left behind.
class Win32Timer : public Timer, private WinHttpLoop::Handler {
 public:
  // `loop` must outlive the timer.
  explicit Win32Timer(WinHttpLoop& loop);
  ~Win32Timer() override;
  Win32Timer(const Win32Timer&) = delete;
  Win32Timer& operator=(const Win32Timer&) = delete;

  void Start(std::chrono::milliseconds delay, std::function<void()> due) override;
  void Stop() override;

 private:
  void OnEvent(const WinHttpLoop::Event& event) override;
  void OnWake(WinHttpLoop::Clock::time_point now) override;
  [[nodiscard]] std::chrono::milliseconds UntilExpiry(
      WinHttpLoop::Clock::time_point now) const override;

  WinHttpLoop& loop_;
  std::optional<WinHttpLoop::Clock::time_point> due_at_;
  std::function<void()> due_;
};

}  // namespace trawlbox::platform
