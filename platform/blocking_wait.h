#pragma once

#include <functional>

namespace trawlbox::platform {

// How a blocking download waits on the window's thread: the window's events are handled, so it
// keeps painting and a close request gets through, but its mouse and keyboard input is held back
// and handed to it again once the wait is over, so no handler runs in the middle of a transfer.
class BlockingWait {
 public:
  virtual ~BlockingWait() = default;

  // Handles events, less input, until `done` is true; sleeps while nothing happens.
  virtual void Until(const std::function<bool()>& done) = 0;
};

}  // namespace trawlbox::platform
