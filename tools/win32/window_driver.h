#pragma once

#include <windows.h>

#include <string>

#include "app/main_window_layout.h"
#include "app/win32/command_ids.h"
#include "app/win32/main_window.h"

namespace trawlbox::tools::win32 {

// The site roots that gather from the MQL5 site at `mql5_root` only; the MQL4 slot is never asked
// for once its box is unticked.
inline collect::SiteRootPair Mql5Only(const std::string& mql5_root) {
  return {"http://127.0.0.1:9", mql5_root};
}

// Unticks the MQL4 box: its pause between listing pages is a fixed sleep, nothing to show or
// measure.
inline void UntickMql4(const app::win32::MainWindow& window) {
  SendMessageW(window.HandleOf(app::Control::kChkSEngines0), BM_SETCHECK, BST_UNCHECKED, 0);
}

// Presses `button` as a click does and returns once its handler has: a run or a walk yields to the
// thread's messages inside the handler, so it is over by then.
inline void Click(app::win32::MainWindow& window, app::Control button) {
  SendMessageW(window.Handle(), WM_COMMAND, MAKEWPARAM(app::win32::ControlId(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(window.HandleOf(button)));
}

}  // namespace trawlbox::tools::win32
