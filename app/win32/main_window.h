#pragma once

#include <windows.h>

// Before anything that names the message box interface: windows.h would rename it.
#include "platform/win32/win32_message_box.h"

#include <memory>
#include <optional>
#include <string>

#include "app/main_window_dependencies.h"
#include "app/main_window_logic.h"
#include "app/win32/handles.h"
#include "app/win32/window.h"
#include "app/win32/window_controls.h"
#include "collect/site_roots.h"
#include "platform/http/file_download.h"
#include "platform/http/hsts.h"
#include "platform/http/page_transfer.h"
#include "platform/http/transfer_limits.h"
#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_event_yield.h"
#include "platform/win32/win32_folder_chooser.h"
#include "platform/win32/win32_message_box.h"
#include "platform/win32/win32_program_location.h"
#include "platform/win32/win32_sleeper.h"
#include "platform/win32/win32_text_decoder.h"
#include "platform/win32/win32_url_opener.h"
#include "platform/win32/winhttp_loop.h"

namespace trawlbox::app::win32 {

// The program's one window on the Windows API: the controls and the Windows services around the
// window's logic (MainWindowLogic), which owns the state, the grid and the handlers. It is built
// hidden; destroying it ends the program's message loop. The thread must have the common controls
// set up and be in a COM apartment for the folder dialog.
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
  std::optional<LRESULT> OnNotify(const NMHDR& header) override;
  // See MainWindowLogic::CloseRequested.
  void OnClose() override;
  void OnDestroy() override;
  void OnTimer(UINT_PTR timer) override;
  void OnDpiChanged(UINT dpi, const RECT& suggested) override;
  std::optional<LRESULT> OnOtherMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

  // Sizes the window around its client area and sets its icons, at the window's scale.
  void FitToScale();

  platform::Win32Sleeper own_sleeper_;
  platform::Win32MessageBox own_messages_;
  platform::Win32FolderChooser own_chooser_;
  platform::Win32UrlOpener own_opener_;
  platform::Win32Clipboard own_clipboard_;
  platform::Win32ProgramLocation own_location_;
  platform::Sleeper& sleeper_;
  platform::MessageBox& messages_;
  platform::FolderChooser& chooser_;
  platform::UrlOpener& opener_;
  platform::Clipboard& clipboard_;
  platform::ProgramLocation& location_;
  // The page fetches and the downloads share its connections for as long as the window lives.
  platform::WinHttpLoop http_loop_;
  platform::Win32EventYield yield_;
  platform::Win32TextDecoder decoder_;
  // What https answers taught of their hosts, for the page fetches and the downloads alike, for as
  // long as the program runs.
  platform::HstsStore hsts_;
  platform::PageTransfer transfer_;
  platform::FileDownload downloader_;

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
