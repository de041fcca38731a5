#pragma once

#include <QTimer>
#include <chrono>
#include <functional>

#include "platform/timer.h"

namespace trawlbox::platform {

// Timer over a precise single-shot QTimer of the thread that made it.
class QtTimer : public Timer {
 public:
  QtTimer();

  void Start(std::chrono::milliseconds delay, std::function<void()> due) override;
  void Stop() override;

 private:
  QTimer timer_;
  std::function<void()> due_;
};

}  // namespace trawlbox::platform
