#pragma once

namespace trawlbox::app::win32 {

// Registers the common controls' window classes that the program's windows are made of (the list
// view among them) for the process, before its first window; a second call changes nothing.
void StartCommonControls();

}  // namespace trawlbox::app::win32
