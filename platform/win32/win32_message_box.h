#pragma once

#include <string>

#include "platform/message_box.h"

// HWND without windows.h, whose macros would follow this header into every file that includes it.
struct HWND__;

namespace trawlbox::platform {

// Windows' message box with one OK button and the title "Trawlbox", modal to its owner.
class Win32MessageBox : public MessageBox {
 public:
  // `owner` is the window the box keeps disabled while it is shown (the main window), or nullptr
  // for a box of its own.
  explicit Win32MessageBox(HWND__* owner);

  void Show(MessageIcon icon, const std::string& text) override;

 private:
  HWND__* owner_;
};

}  // namespace trawlbox::platform
