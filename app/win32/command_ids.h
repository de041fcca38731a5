#pragma once

#include <windows.h>

#include "app/main_window_layout.h"

namespace trawlbox::app::win32 {

// The ids the main window's controls and menu entries send their WM_COMMAND with. None is IDOK (1)
// or IDCANCEL (2), which the dialog keys send for Enter and Esc: neither does anything here.
constexpr int ControlId(Control control) { return 100 + static_cast<int>(control); }
inline constexpr int kEndCommand = 200;
constexpr int GridCommandId(GridCommand command) { return 201 + static_cast<int>(command); }

}  // namespace trawlbox::app::win32
