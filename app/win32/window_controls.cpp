#include "app/win32/window_controls.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "app/twips.h"
#include "app/win32/command_ids.h"
#include "app/win32/fonts.h"
#include "platform/files/wide_text.h"

namespace trawlbox::app::win32 {

namespace {

const char* Caption(Control control) { return LayoutOf(control).caption; }

UINT DpiOf(HWND window) {
  const UINT dpi = GetDpiForWindow(window);
  return dpi != 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

// `control`'s place in the main window's client area at `dpi`: twips to pixels at 96 dpi, as on
// the Qt window, then scaled.
RECT Pixels(Control control, UINT dpi) {
  const TwipsRect twips = ClientRect(control);
  const auto scaled = [dpi](int length) { return TwipsToPixels(length, static_cast<int>(dpi)); };
  const int left = scaled(twips.left);
  const int top = scaled(twips.top);
  return {left, top, left + scaled(twips.width), top + scaled(twips.height)};
}

// The layout was measured in a font a little narrower than some; a caption label may reach into
// the free room on its right rather than lose its last characters.
RECT GrownToCaption(const Label& label, RECT rect, HFONT font) {
  const std::wstring text = platform::Widen(label.Text());
  const ClientDc dc(label.Handle());
  const HGDIOBJ old = SelectObject(dc.Get(), font);
  SIZE extent{};
  GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
  SelectObject(dc.Get(), old);
  rect.right = std::max(rect.right, rect.left + extent.cx);
  return rect;
}

}  // namespace

WindowControls::WindowControls(HWND window, results::ResultGrid& grid,
                               GridView::Callbacks grid_callbacks)
    : window_(window),
      dpi_(DpiOf(window)),
      message_font_(MessageFont(dpi_)),
      grid_font_(GridFont(dpi_)),
      Frame2(window, ControlId(Control::kFrame2), Caption(Control::kFrame2)),
      chkSEngines{{
          CheckBox(window, ControlId(Control::kChkSEngines0), Caption(Control::kChkSEngines0)),
          CheckBox(window, ControlId(Control::kChkSEngines1), Caption(Control::kChkSEngines1)),
      }},
      LblMetaTrader4(window, ControlId(Control::kLblMetaTrader4),
                     Caption(Control::kLblMetaTrader4)),
      LblMetaTrader5(window, ControlId(Control::kLblMetaTrader5),
                     Caption(Control::kLblMetaTrader5)),
      Frame1(window, ControlId(Control::kFrame1), Caption(Control::kFrame1)),
      Label1(window, ControlId(Control::kLabel1), Caption(Control::kLabel1)),
      cboMaxCount(window, ControlId(Control::kCboMaxCount)),
      Label2(window, ControlId(Control::kLabel2), Caption(Control::kLabel2)),
      cmdSubmit(window, ControlId(Control::kCmdSubmit), Caption(Control::kCmdSubmit)),
      Frame3(window, ControlId(Control::kFrame3), Caption(Control::kFrame3)),
      txtReportPath(window, ControlId(Control::kTxtReportPath)),
      cmdBrowse(window, ControlId(Control::kCmdBrowse), Caption(Control::kCmdBrowse)),
      cmdListSave(window, ControlId(Control::kCmdListSave), Caption(Control::kCmdListSave)),
      fraResults(window, ControlId(Control::kFraResults), Caption(Control::kFraResults)),
      lblStatus(window, ControlId(Control::kLblStatus)),
      MSFlexGrid(window, ControlId(Control::kMSFlexGrid), grid, Pixels(Control::kMSFlexGrid, dpi_),
                 grid_font_.get(), std::move(grid_callbacks)) {
  chkSEngines[0].SetChecked(LayoutOf(Control::kChkSEngines0).checked);
  chkSEngines[1].SetChecked(LayoutOf(Control::kChkSEngines1).checked);
  for (const char* item : kMaxCountItems) cboMaxCount.AddItem(item);
  for (const ControlLayout& layout : kControls) {
    if (!layout.enabled) EnableWindow(HandleOf(layout.control), FALSE);
  }
  for (const NamedByCaption& named : kNamedByCaption) {
    static_cast<void>(names_.Name(HandleOf(named.control), Caption(named.caption_of)));
  }
  Stack();
  Relayout();
}

void WindowControls::Relayout() {
  dpi_ = DpiOf(window_);
  UniqueFont message_font = MessageFont(dpi_);
  UniqueFont grid_font = GridFont(dpi_);
  for (const ControlLayout& layout : kControls) {
    const RECT rect = Pixels(layout.control, dpi_);
    switch (layout.control) {
      case Control::kCboMaxCount:
        cboMaxCount.Place(rect, message_font.get());
        break;
      case Control::kLblMetaTrader4:
      case Control::kLblMetaTrader5:
      case Control::kLabel1:
      case Control::kLabel2: {
        Label& label = layout.control == Control::kLblMetaTrader4   ? LblMetaTrader4
                       : layout.control == Control::kLblMetaTrader5 ? LblMetaTrader5
                       : layout.control == Control::kLabel1         ? Label1
                                                                    : Label2;
        label.Place(GrownToCaption(label, rect, message_font.get()), message_font.get());
        break;
      }
      case Control::kMSFlexGrid:
        MSFlexGrid.Relayout(rect, grid_font.get(), static_cast<int>(dpi_));
        break;
      default:
        SendMessageW(HandleOf(layout.control), WM_SETFONT,
                     reinterpret_cast<WPARAM>(message_font.get()), FALSE);
        SetWindowPos(HandleOf(layout.control), nullptr, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
        break;
    }
  }
  // The controls draw in the new fonts from now on; the old ones may go.
  message_font_ = std::move(message_font);
  grid_font_ = std::move(grid_font);
  InvalidateRect(window_, nullptr, TRUE);
}

HWND WindowControls::HandleOf(Control control) const {
  switch (control) {
    case Control::kFrame2:
      return Frame2.Handle();
    case Control::kChkSEngines0:
      return chkSEngines[0].Handle();
    case Control::kLblMetaTrader4:
      return LblMetaTrader4.Handle();
    case Control::kChkSEngines1:
      return chkSEngines[1].Handle();
    case Control::kLblMetaTrader5:
      return LblMetaTrader5.Handle();
    case Control::kFrame1:
      return Frame1.Handle();
    case Control::kLabel1:
      return Label1.Handle();
    case Control::kCboMaxCount:
      return cboMaxCount.Handle();
    case Control::kLabel2:
      return Label2.Handle();
    case Control::kCmdSubmit:
      return cmdSubmit.Handle();
    case Control::kFrame3:
      return Frame3.Handle();
    case Control::kTxtReportPath:
      return txtReportPath.Handle();
    case Control::kCmdBrowse:
      return cmdBrowse.Handle();
    case Control::kCmdListSave:
      return cmdListSave.Handle();
    case Control::kFraResults:
      return fraResults.Handle();
    case Control::kMSFlexGrid:
      return MSFlexGrid.Handle();
    case Control::kLblStatus:
      return lblStatus.Handle();
    case Control::kClientArea:
      break;
  }
  return nullptr;
}

void WindowControls::Stack() const {
  const auto to_bottom = [](HWND control) {
    SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  };
  for (const Control control : kFocusOrder) to_bottom(HandleOf(control));
  for (const ControlLayout& layout : kControls) {
    if (layout.kind == ControlKind::kFrame) to_bottom(HandleOf(layout.control));
  }
}

}  // namespace trawlbox::app::win32
