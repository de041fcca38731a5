#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include <commctrl.h>

#include "app/frame_pacer.h"
#include "app/win32/controls.h"

namespace trawlbox::app::win32 {

// The status line, which a collection run or a download walk rewrites at every yield, hundreds of
// times a second. Its frames, timed on the control itself, pace the control's text as well as its
// painting: Wine keeps a window's text in its server, so every new text would cost a trip there,
// thousands in a run. The latest text reaches the control at most one frame late, and is always
// the one on screen.
class StatusLine : public ControlWindow {
 public:
  StatusLine(HWND parent, int id);

  void SetStatus(std::string_view utf8);
  // Shows the text the frame holds back now, not at the frame's end.
  void Flush() { pacer_.Flush(); }

 private:
  FramePacer pacer_;
  // The latest text, while the frame holds it back.
  std::string held_text_;
};

}  // namespace trawlbox::app::win32
