#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "app/main_window_dependencies.h"
#include "app/main_window_logic.h"
#include "app/win32/handles.h"
#include "app/win32/window.h"
#include "app/win32/window_controls.h"
#include "app/window_services.h"
#include "collect/site_roots.h"
#include "platform/win32/win32_event_yield.h"
#include "platform/win32/win32_message_box.h"
#include "platform/win32/winhttp_loop.h"

namespace trawlbox::app::win32 {

// The program's one window on the Windows API: the controls and the Windows services around the
// window's logic (MainWindowLogic), which owns the state, the grid and the handlers. It is built
// hidden; destroying it ends the program's message loop. The thread must have the common controls
// started (StartCommonControls) and be in a COM apartment for the folder dialog.
class MainWindow : public win32::Window, public MainWindowView {
 public:
  explicit MainWindow(MainWindowDependencies deps = {});
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Shows the window as the program was started to show it (nCmdShow), with the focus where it
  // starts.
  void Show(int show_command);

  // For tests to check what the handlers did.
  [[nodiscard]] const results::ResultGrid& Grid() const { return logic_.Grid(); }
  [[nodiscard]] results::ResultGrid& Grid() { return logic_.Grid(); }
  [[nodiscard]] const results::WindowState& State() const { return logic_.State(); }
  [[nodiscard]] HWND HandleOf(Control control) const { return ui_.HandleOf(control); }

  [[nodiscard]] std::string SubmitCaption() const override;
  void SetSubmitCaption(const std::string& caption) override;
  void SetListSaveEnabled(bool enabled) override;
  void SetStatus(const std::string& text) override;
  [[nodiscard]] std::string MaxCountText() const override;
  // False for an index other than 0 and 1.
  [[nodiscard]] bool TypeTicked(int type_index) const override;
  // Empty for an index other than 0 and 1.
  [[nodiscard]] std::string TypeCaption(int type_index) const override;
  [[nodiscard]] std::string SaveFolderText() const override;
  void SetSaveFolderText(const std::string& text) override;
  void ShowGridMenu() override;
  void AbortTransfers() override;
  // The window stays on screen, disabled, while an operation unwinds after a close request.
  void SetInputEnabled(bool enabled) override;
  void CloseNow() override;

 private:
  void OnCommand(int id, int code) override;
  // See MainWindowLogic::CloseRequested.
  void OnClose() override;
  void OnDestroy() override;
  void OnDpiChanged(UINT dpi, const RECT& suggested) override;
  std::optional<LRESULT> OnOtherMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

  // Sizes the window around its client area and sets its icons, at the window's scale.
  void FitToScale();
  // Shows at once what the frames hold back of the status line and the grid.
  void FlushFrames();

  // The page fetches and the downloads share its connections for as long as the window lives.
  platform::WinHttpLoop http_loop_;
  platform::Win32EventYield yield_;
  WindowServices services_;

  MainWindowLogic logic_;
  win32::WindowControls ui_;
  win32::UniqueMenu grid_menu_;
  win32::UniqueIcon small_icon_;
  win32::UniqueIcon big_icon_;
  // Where the pointer was when a mouse button came up over the grid: the menu pops up there.
  POINT grid_menu_position_{};
  // The control that had the focus when the window was last deactivated; it gets it back.
  HWND focus_ = nullptr;
};

}  // namespace trawlbox::app::win32
