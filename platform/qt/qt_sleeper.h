#pragma once

#include "platform/sleeper.h"

namespace trawlbox::platform {

// Blocks the calling thread, the GUI thread included: the window handles no event meanwhile.
class QtSleeper : public Sleeper {
 public:
  void Sleep(int milliseconds) override;
};

}  // namespace trawlbox::platform
