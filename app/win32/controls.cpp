#include "app/win32/controls.h"

#include <commctrl.h>

#include "app/win32/handles.h"
#include "platform/files/wide_text.h"

namespace trawlbox::app::win32 {

namespace {

// The focusable controls each form a group of their own, so that the arrow keys stay with the
// control (a combo box's list, an edit's caret) rather than move between controls.
constexpr DWORD kFocusable = WS_TABSTOP | WS_GROUP;

HMENU ChildId(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

// The height of one line of `font`'s text, in pixels.
int LineHeight(HWND window, HFONT font) {
  const ClientDc dc(window);
  const HGDIOBJ old = SelectObject(dc.Get(), font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc.Get(), &metrics);
  SelectObject(dc.Get(), old);
  return metrics.tmHeight;
}

}  // namespace

ControlWindow::ControlWindow(HWND parent, int id, const wchar_t* class_name, DWORD style,
                             DWORD ex_style, std::string_view text)
    : Window(CreateWindowExW(ex_style, class_name, platform::Widen(text).c_str(),
                             WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent, ChildId(id),
                             GetModuleHandleW(nullptr), nullptr)) {}

std::string ControlWindow::Text() const {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(Handle())) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(Handle(), text.data(), static_cast<int>(text.size()))));
  return platform::Narrow(text);
}

void ControlWindow::SetText(std::string_view utf8) {
  SetWindowTextW(Handle(), platform::Widen(utf8).c_str());
}

void ControlWindow::SetEnabled(bool enabled) { EnableWindow(Handle(), enabled ? TRUE : FALSE); }

void ControlWindow::Place(const RECT& rect, HFONT font) {
  SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SetWindowPos(Handle(), nullptr, rect.left, rect.top, rect.right - rect.left,
               rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(Handle(), nullptr, TRUE);
}

PushButton::PushButton(HWND parent, int id, std::string_view caption)
    : ControlWindow(parent, id, WC_BUTTONW, BS_PUSHBUTTON | kFocusable, 0, caption) {}

CheckBox::CheckBox(HWND parent, int id, std::string_view caption)
    : ControlWindow(parent, id, WC_BUTTONW, BS_AUTOCHECKBOX | kFocusable, 0, caption) {}

bool CheckBox::Checked() const { return SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void CheckBox::SetChecked(bool checked) {
  SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

GroupBox::GroupBox(HWND parent, int id, std::string_view caption)
    : ControlWindow(parent, id, WC_BUTTONW, BS_GROUPBOX | WS_CLIPSIBLINGS, 0, caption) {}

Label::Label(HWND parent, int id, std::string_view caption)
    : ControlWindow(parent, id, WC_STATICW, SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, 0, caption) {}

ComboBox::ComboBox(HWND parent, int id)
    : ControlWindow(parent, id, WC_COMBOBOXW,
                    CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | kFocusable, 0, "") {}

void ComboBox::AddItem(std::string_view utf8) {
  SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platform::Widen(utf8).c_str()));
}

void ComboBox::Place(const RECT& rect, HFONT font) {
  const int height = rect.bottom - rect.top;
  const int line = LineHeight(Handle(), font);
  // Windows sizes the closed box from its font; the layout gives it its own height, which the
  // field's borders (3 pixels above and below) take their share of.
  RECT with_list = rect;
  with_list.bottom += line * 8;
  ControlWindow::Place(with_list, font);
  SendMessageW(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height - 6);
  SendMessageW(Handle(), CB_SETITEMHEIGHT, 0, line);
}

EditBox::EditBox(HWND parent, int id)
    : ControlWindow(parent, id, WC_EDITW, ES_AUTOHSCROLL | ES_LEFT | kFocusable, WS_EX_CLIENTEDGE,
                    "") {}

}  // namespace trawlbox::app::win32
