#pragma once

#include <windows.h>

#include "app/window_services.h"
#include "platform/win32/winhttp_loop.h"

namespace trawlbox::app::win32 {

// The Windows services of `window` (its boxes and dialogs stand over it), HTTP over WinHTTP on
// `loop`, which must outlive what is made.
[[nodiscard]] SystemServices Win32Services(HWND window, platform::WinHttpLoop& loop);

}  // namespace trawlbox::app::win32
