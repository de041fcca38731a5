#include "platform/qt/qt_timer.h"

#include <utility>

namespace trawlbox::platform {

QtTimer::QtTimer() {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  // The call may start the timer again, so it is taken out before it runs.
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { std::exchange(due_, {})(); });
}

void QtTimer::Start(std::chrono::milliseconds delay, std::function<void()> due) {
  due_ = std::move(due);
  timer_.start(delay);
}

void QtTimer::Stop() {
  timer_.stop();
  due_ = {};
}

}  // namespace trawlbox::platform
