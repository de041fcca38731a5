#include "app/win32/status_line.h"

#include <chrono>

namespace trawlbox::app::win32 {

StatusLine::StatusLine(HWND parent, int id)
    : ControlWindow(parent, id, WC_STATICW, SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_CENTERIMAGE, 0,
                    ""),
      frame_timer_(MakeTimer()) {
  StartRouting();
}

// A static control paints its new text as soon as it has it.
void StatusLine::SetStatus(std::string_view utf8) {
  if (pacing_.PaintNow()) {
    SetText(utf8);
    frame_timer_->Start(std::chrono::milliseconds(kFrameMs), [this] { OnFrameEnd(); });
    return;
  }
  held_text_.assign(utf8);
}

// Showing the held text opens the next frame.
void StatusLine::OnFrameEnd() {
  if (pacing_.FrameEnded()) SetStatus(held_text_);
}

void StatusLine::Flush() {
  frame_timer_->Stop();
  if (pacing_.FrameEnded()) SetText(held_text_);
}

}  // namespace trawlbox::app::win32
