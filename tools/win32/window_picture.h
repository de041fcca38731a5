#pragma once

#include <windows.h>

#include <string>

namespace trawlbox::tools::win32 {

// Saves what the screen shows of `window`, its frame, caption and menu bar included, to the PNG
// file `path`. False, with nothing left behind but perhaps a partial file, when it cannot. The
// thread must be in a COM apartment.
bool SaveWindowPicture(HWND window, const std::wstring& path);

}  // namespace trawlbox::tools::win32
