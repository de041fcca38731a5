#pragma once

namespace trawlbox::platform {

// A blocking wait: no event is handled while it lasts.
class Sleeper {
 public:
  virtual ~Sleeper() = default;
  virtual void Sleep(int milliseconds) = 0;
};

}  // namespace trawlbox::platform
