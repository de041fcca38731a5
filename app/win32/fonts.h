#pragma once

#include <windows.h>

#include "app/win32/handles.h"

namespace trawlbox::app::win32 {

// The system's message font at `dpi`, which the standard controls are drawn in.
[[nodiscard]] UniqueFont MessageFont(UINT dpi);

// The grid's font at `dpi`: "ＭＳ Ｐゴシック" at 9 points, as on the Qt window, or the first of
// Windows' later Japanese interface fonts that the system has when it lacks that one.
[[nodiscard]] UniqueFont GridFont(UINT dpi);

}  // namespace trawlbox::app::win32
