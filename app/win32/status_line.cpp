#include "app/win32/status_line.h"

namespace trawlbox::app::win32 {

StatusLine::StatusLine(HWND parent, int id)
    : ControlWindow(parent, id, WC_STATICW, SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_CENTERIMAGE, 0,
                    ""),
      pacer_(MakeTimer(), [this] { SetStatus(held_text_); }) {
  StartRouting();
}

// A static control paints its new text as soon as it has it.
void StatusLine::SetStatus(std::string_view utf8) {
  if (pacer_.ShowNow()) {
    SetText(utf8);
  } else {
    held_text_.assign(utf8);
  }
}

}  // namespace trawlbox::app::win32
