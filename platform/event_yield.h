#pragma once

namespace trawlbox::platform {

// Lets the window handle its events in the middle of a long operation; any handler of the window
// may run nested inside these calls.
class EventYield {
 public:
  virtual ~EventYield() = default;

  // Handles the events that are pending and returns at once when there are none.
  virtual void YieldOnce() = 0;

  // Handles pending events, sleeping until at least one arrives (a short safety timer bounds the
  // sleep). Used while waiting on the network, so the wait keeps no processor core busy.
  virtual void YieldUntilEvent() = 0;
};

}  // namespace trawlbox::platform
