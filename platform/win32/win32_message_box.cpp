// The one file that shows Windows' message box, which every other leaves out of windows.h (NOMB).
// Its header comes first: windows.h's MessageBox macro would rename the interface after it.
#undef NOMB
#include "platform/win32/win32_message_box.h"

#include <windows.h>

#include "platform/files/wide_text.h"

namespace trawlbox::platform {

Win32MessageBox::Win32MessageBox(HWND__* owner) : owner_(owner) {}

void Win32MessageBox::Show(MessageIcon icon, const std::string& text) {
  const UINT icon_style = icon == MessageIcon::kWarning ? MB_ICONWARNING : MB_ICONINFORMATION;
  ::MessageBoxW(owner_, Widen(text).c_str(), L"Trawlbox", MB_OK | MB_APPLMODAL | icon_style);
}

}  // namespace trawlbox::platform
