#pragma once

#include <QTimer>

#include "platform/event_yield.h"

namespace trawlbox::platform {

// Yields through the GUI thread's event dispatcher.
class QtEventYield : public EventYield {
 public:
  QtEventYield();

  void YieldOnce() override;
  void YieldUntilEvent() override;

 private:
  // Wakes a wait that no other event ends, so a caller waiting on a state change that arrives
  // without an event of its own still looks again soon.
  QTimer safety_timer_;
};

}  // namespace trawlbox::platform
