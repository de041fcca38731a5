#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "app/win32/window.h"

namespace trawlbox::app::win32 {

// A standard Windows control, a child of the main window, which destroys it with itself. Texts are
// UTF-8 here and UTF-16 only towards Windows.
class ControlWindow : public Window {
 public:
  [[nodiscard]] std::string Text() const;
  void SetText(std::string_view utf8);
  void SetEnabled(bool enabled);
  // Moves the control to `rect`, in its parent's client coordinates, and draws it in `font`.
  void Place(const RECT& rect, HFONT font);

 protected:
  ControlWindow(HWND parent, int id, const wchar_t* class_name, DWORD style, DWORD ex_style,
                std::string_view text);
};

class PushButton : public ControlWindow {
 public:
  PushButton(HWND parent, int id, std::string_view caption);
};

class CheckBox : public ControlWindow {
 public:
  CheckBox(HWND parent, int id, std::string_view caption);
  [[nodiscard]] bool Checked() const;
  void SetChecked(bool checked);
};

// A frame around other controls, which stay the main window's own children (a group box passes
// no notification on) and lie above it: it paints only where they leave it room.
class GroupBox : public ControlWindow {
 public:
  GroupBox(HWND parent, int id, std::string_view caption);
};

// One line of text, vertically centred as a label of the Qt window is; "&" is shown as it is.
class Label : public ControlWindow {
 public:
  Label(HWND parent, int id, std::string_view caption);
};

// A box to type in, with a list of choices below it.
class ComboBox : public ControlWindow {
 public:
  ComboBox(HWND parent, int id);
  void AddItem(std::string_view utf8);
  // `rect` is the box as it shows closed; its list drops below that.
  void Place(const RECT& rect, HFONT font);
};

// One line to type in, scrolled sideways when the text is longer than the box.
class EditBox : public ControlWindow {
 public:
  EditBox(HWND parent, int id);
};

}  // namespace trawlbox::app::win32
