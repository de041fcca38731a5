#include "app/win32/status_line.h"

namespace trawlbox::app::win32 {

StatusLine::StatusLine(HWND parent, int id, UINT_PTR timer)
    : ControlWindow(parent, id, WC_STATICW, SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_CENTERIMAGE, 0,
                    ""),
      parent_(parent),
      timer_(timer) {}

void StatusLine::SetStatus(std::string_view utf8) {
  if (pacing_.PaintNow()) {
    // A static control paints its new text as soon as it has it.
    SetText(utf8);
    SetTimer(parent_, timer_, kFrameMs, nullptr);
    return;
  }
  // With redrawing off the control counts as hidden and paints nothing.
  SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
  SetText(utf8);
}

// The timer repeats: it times the next frame, which painting the held text opens.
void StatusLine::OnFrameEnd() {
  if (!pacing_.FrameEnded()) {
    KillTimer(parent_, timer_);
    return;
  }
  static_cast<void>(pacing_.PaintNow());
  SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
  RedrawWindow(Handle(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW);
}

}  // namespace trawlbox::app::win32
