#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include <commctrl.h>

#include "app/frame_pacing.h"
#include "app/win32/controls.h"

namespace trawlbox::app::win32 {

// The status line, which a collection run or a download walk rewrites at every yield, hundreds of
// times a second. It follows FramePacing, the control's text as well as its painting: Wine keeps
// a window's text in its server, so every new text would cost a trip there, thousands in a run.
// The latest text reaches the control at most one frame late, and is always the one on screen.
class StatusLine : public ControlWindow {
 public:
  // The frames are timed by `parent`'s timer `timer`, which the parent hands to OnFrameEnd.
  StatusLine(HWND parent, int id, UINT_PTR timer);

  void SetStatus(std::string_view utf8);
  // `parent`'s timer `timer` fired.
  void OnFrameEnd();

 private:
  HWND parent_;
  UINT_PTR timer_;
  FramePacing pacing_;
  // The latest text, while the frame holds it back.
  std::string held_text_;
};

}  // namespace trawlbox::app::win32
