#pragma once

#include <string>

#include "platform/clipboard.h"

// HWND without windows.h, whose macros would follow this header into every file that includes it.
struct HWND__;

namespace trawlbox::platform {

// The Windows clipboard, as Unicode text with Windows' CR LF line ends. While another program
// holds the clipboard open, it keeps what it held.
class Win32Clipboard : public Clipboard {
 public:
  // `owner` is the window that puts the text there (the main window); Windows may refuse text
  // from nullptr, which owns nothing.
  explicit Win32Clipboard(HWND__* owner);

  void SetText(const std::string& text) override;

 private:
  HWND__* owner_;
};

}  // namespace trawlbox::platform
