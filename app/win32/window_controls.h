#pragma once

#include <windows.h>

#include <array>

#include "app/main_window_layout.h"
#include "app/win32/accessible_names.h"
#include "app/win32/controls.h"
#include "app/win32/grid_view.h"
#include "app/win32/handles.h"
#include "app/win32/status_line.h"
#include "collect/collection_window.h"
#include "results/result_grid.h"

namespace trawlbox::app::win32 {

// The main window's controls, built from the shared layout (main_window_layout.h) as children of
// the main window itself, the frames' contents included, at the window's scale. Windows walks the
// focusable ones with Tab in their Z order, which follows kFocusOrder; the frames lie beneath
// everything.
class WindowControls {
 public:
  // `window` is the main window, `grid` the grid the list shows; both must outlive the controls.
  WindowControls(HWND window, results::ResultGrid& grid, GridView::Callbacks grid_callbacks);
  WindowControls(const WindowControls&) = delete;
  WindowControls& operator=(const WindowControls&) = delete;

  // Places and sizes every control, and chooses its fonts, for the window's current scale.
  void Relayout();
  // Null for kClientArea.
  [[nodiscard]] HWND HandleOf(Control control) const;
  // Takes the names given to the uncaptioned controls back; the window calls it as it is
  // destroyed, before its children are.
  void ClearAccessibleNames() { names_.Clear(); }

 private:
  // Before the controls: the grid is built in the fonts made for the window's scale at the time.
  HWND window_;
  UINT dpi_;
  UniqueFont message_font_;
  UniqueFont grid_font_;

 public:
  GroupBox Frame2;
  std::array<CheckBox, collect::kTypeBoxes> chkSEngines;
  Label LblMetaTrader4;
  Label LblMetaTrader5;
  GroupBox Frame1;
  Label Label1;
  ComboBox cboMaxCount;
  Label Label2;
  PushButton cmdSubmit;
  GroupBox Frame3;
  EditBox txtReportPath;
  PushButton cmdBrowse;
  PushButton cmdListSave;
  GroupBox fraResults;
  StatusLine lblStatus;
  GridView MSFlexGrid;

 private:
  // After the controls, so that it lets go of their names while they still exist.
  AccessibleNames names_;

  // Puts the focusable controls into kFocusOrder's Z order, the frames beneath them all.
  void Stack() const;
};

}  // namespace trawlbox::app::win32
