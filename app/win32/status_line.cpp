#include "app/win32/status_line.h"

namespace trawlbox::app::win32 {

namespace {

constexpr UINT kFrameMs = 16;

}  // namespace

StatusLine::StatusLine(HWND parent, int id, UINT_PTR timer)
    : ControlWindow(parent, id, WC_STATICW, SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_CENTERIMAGE, 0,
                    ""),
      parent_(parent),
      timer_(timer) {}

void StatusLine::SetStatus(std::string_view utf8) {
  if (!frame_open_) {
    // A static control paints its new text as soon as it has it.
    SetText(utf8);
    frame_open_ = SetTimer(parent_, timer_, kFrameMs, nullptr) != 0;
    return;
  }
  // With redrawing off the control counts as hidden and paints nothing.
  if (!held_) SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
  SetText(utf8);
  held_ = true;
}

void StatusLine::OnFrameEnd() {
  if (held_) {
    held_ = false;
    SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
    RedrawWindow(Handle(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW);
    return;
  }
  KillTimer(parent_, timer_);
  frame_open_ = false;
}

}  // namespace trawlbox::app::win32
