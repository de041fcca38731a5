#include "platform/win32/win32_sleeper.h"

#include <windows.h>

namespace trawlbox::platform {

void Win32Sleeper::Sleep(int milliseconds) {
  if (milliseconds > 0) ::Sleep(static_cast<DWORD>(milliseconds));
}

}  // namespace trawlbox::platform
