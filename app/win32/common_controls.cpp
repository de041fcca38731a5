#include "app/win32/common_controls.h"

#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>

namespace trawlbox::app::win32 {

void StartCommonControls() {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
}

}  // namespace trawlbox::app::win32
