#pragma once

#include <functional>

#include "platform/blocking_wait.h"
#include "platform/win32/winhttp_loop.h"

namespace trawlbox::platform {

// BlockingWait in the WinHttpLoop's wait, the window's input held back by a Win32InputHold.
class Win32BlockingWait : public BlockingWait {
 public:
  // `loop` must outlive the wait.
  explicit Win32BlockingWait(WinHttpLoop& loop);

  void Until(const std::function<bool()>& done) override;

 private:
  WinHttpLoop& loop_;
};

}  // namespace trawlbox::platform
