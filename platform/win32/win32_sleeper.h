#pragma once

#include "platform/sleeper.h"

namespace trawlbox::platform {

// Blocks the calling thread, the window's included: no message is handled meanwhile.
class Win32Sleeper : public Sleeper {
 public:
  void Sleep(int milliseconds) override;
};

}  // namespace trawlbox::platform
