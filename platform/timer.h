#pragma once

#include <chrono>
#include <functional>

namespace trawlbox::platform {

// One single-shot timer on the window's thread, run by its event loop: also inside a yield and
// inside a blocking download's wait.
class Timer {
 public:
  virtual ~Timer() = default;

  // Calls `due` once, `delay` from now, from the event loop; replaces a call still pending.
  virtual void Start(std::chrono::milliseconds delay, std::function<void()> due) = 0;
  // Drops the pending call, if any.
  virtual void Stop() = 0;
};

}  // namespace trawlbox::platform
