#include "app/win32/status_line.h"

namespace trawlbox::app::win32 {

StatusLine::StatusLine(HWND parent, int id, UINT_PTR timer)
    : ControlWindow(parent, id, WC_STATICW, SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_CENTERIMAGE, 0,
                    ""),
      parent_(parent),
      timer_(timer) {}

// A static control paints its new text as soon as it has it.
void StatusLine::SetStatus(std::string_view utf8) {
  if (pacing_.PaintNow()) {
    SetText(utf8);
    SetTimer(parent_, timer_, kFrameMs, nullptr);
    return;
  }
  held_text_.assign(utf8);
}

// The timer repeats: it times the next frame, which showing the held text opens.
void StatusLine::OnFrameEnd() {
  if (!pacing_.FrameEnded()) {
    KillTimer(parent_, timer_);
    return;
  }
  static_cast<void>(pacing_.PaintNow());
  SetText(held_text_);
}

}  // namespace trawlbox::app::win32
