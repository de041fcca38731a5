#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include <commctrl.h>

#include "app/frame_pacing.h"
#include "app/win32/controls.h"
#include "platform/timer.h"

namespace trawlbox::app::win32 {

// The status line, which a collection run or a download walk rewrites at every yield, hundreds of
// times a second. It follows FramePacing, the control's text as well as its painting: Wine keeps
// a window's text in its server, so every new text would cost a trip there, thousands in a run.
// The latest text reaches the control at most one frame late, and is always the one on screen.
class StatusLine : public ControlWindow {
 public:
  StatusLine(HWND parent, int id);

  void SetStatus(std::string_view utf8);
  // Shows the text the frame holds back now, not at the frame's end.
  void Flush();

 private:
  void OnFrameEnd();

  std::unique_ptr<platform::Timer> frame_timer_;
  FramePacing pacing_;
  // The latest text, while the frame holds it back.
  std::string held_text_;
};

}  // namespace trawlbox::app::win32
