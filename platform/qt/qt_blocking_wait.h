#pragma once

#include <functional>

#include "platform/blocking_wait.h"

namespace trawlbox::platform {

// BlockingWait on the GUI thread's Qt event loop, input held back by an InputHold.
class QtBlockingWait : public BlockingWait {
 public:
  void Until(const std::function<bool()>& done) override;
};

}  // namespace trawlbox::platform
