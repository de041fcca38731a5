#include "app/win32/main_window.h"

#include <cstddef>
#include <memory>
#include <utility>

#include "app/main_window_layout.h"
#include "app/twips.h"
#include "app/win32/command_ids.h"
#include "app/win32/resources/resource_ids.h"
#include "app/win32/win32_services.h"
#include "platform/files/wide_text.h"

namespace trawlbox::app::win32 {

namespace {

using win32::ControlId;
using win32::GridCommandId;

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

win32::WindowOptions Options() {
  win32::UniqueMenu bar(CreateMenu());
  AppendMenuW(bar.get(), MF_STRING, win32::kEndCommand, platform::Widen(kEndMenuCaption).c_str());
  return {L"frmMain", kStyle, 0, platform::Widen(kWindowTitle), bar.release()};
}

win32::UniqueMenu GridMenu() {
  win32::UniqueMenu menu(CreatePopupMenu());
  for (std::size_t i = 0; i < kGridMenu.size(); ++i) {
    AppendMenuW(menu.get(), MF_STRING,
                static_cast<UINT_PTR>(GridCommandId(static_cast<GridCommand>(i))),
                platform::Widen(kGridMenu[i].caption).c_str());
  }
  return menu;
}

win32::UniqueIcon AppIcon(int metric, UINT dpi) {
  const int size = GetSystemMetricsForDpi(metric, dpi);
  return win32::UniqueIcon(
      static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP),
                                    IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

}  // namespace

MainWindow::MainWindow(MainWindowDependencies deps)
    : Window(Options()),
      yield_(http_loop_, Handle()),
      services_(deps, Win32Services(Handle(), http_loop_), [this] { FlushFrames(); }),
      logic_(*this, services_.ForLogic(yield_), std::move(deps.site_roots)),
      ui_(Handle(), logic_.Grid(),
          win32::GridView::Callbacks{[this](bool right_button, POINT screen) {
                                       grid_menu_position_ = screen;
                                       logic_.MSFlexGrid_MouseUp(right_button);
                                     },
                                     [this] { logic_.MSFlexGrid_DblClick(); }}),
      grid_menu_(GridMenu()),
      focus_(ui_.HandleOf(kFocusOrder.front())) {
  FitToScale();
  StartRouting();
  logic_.Form_Load();
}

// The controls show the grid and go with the window, before the grid does. A window destroyed
// here rather than closed ends no message loop.
MainWindow::~MainWindow() {
  StopRouting();
  if (Handle() != nullptr) DestroyWindow(Handle());
}

void MainWindow::Show(int show_command) {
  ShowWindow(Handle(), show_command);
  SetFocus(focus_);
  UpdateWindow(Handle());
}

void MainWindow::FitToScale() {
  const UINT dpi = GetDpiForWindow(Handle());
  RECT frame{0, 0, TwipsToPixels(kClientWidthTwips, static_cast<int>(dpi)),
             TwipsToPixels(kClientHeightTwips, static_cast<int>(dpi))};
  AdjustWindowRectExForDpi(&frame, kStyle, TRUE, 0, dpi);
  SetWindowPos(Handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The window keeps showing the icons it had until it has new ones.
  win32::UniqueIcon small_icon = AppIcon(SM_CXSMICON, dpi);
  win32::UniqueIcon big_icon = AppIcon(SM_CXICON, dpi);
  SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon.get()));
  SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon.get()));
  small_icon_ = std::move(small_icon);
  big_icon_ = std::move(big_icon);
}

void MainWindow::OnCommand(int id, int code) {
  if (id == win32::kEndCommand) {
    SendMessageW(Handle(), WM_CLOSE, 0, 0);
  } else if (id == GridCommandId(GridCommand::kOpen)) {
    logic_.mnuOpen_Click();
  } else if (id == GridCommandId(GridCommand::kCopy)) {
    logic_.mnuCopy_Click();
  } else if (id == GridCommandId(GridCommand::kRemove)) {
    logic_.mnuRemove_Click();
  } else if (id == GridCommandId(GridCommand::kClear)) {
    logic_.mnuClear_Click();
  } else if (code != BN_CLICKED) {
    return;
  } else if (id == ControlId(Control::kCmdSubmit)) {
    logic_.cmdSubmit_Click();
  } else if (id == ControlId(Control::kCmdListSave)) {
    logic_.cmdListSave_Click();
  } else if (id == ControlId(Control::kCmdBrowse)) {
    logic_.cmdBrowse_Click();
  }
}

void MainWindow::OnClose() {
  if (logic_.CloseRequested()) DestroyWindow(Handle());
}

void MainWindow::OnDestroy() {
  ui_.ClearAccessibleNames();
  PostQuitMessage(0);
}

void MainWindow::OnDpiChanged(UINT /*dpi*/, const RECT& suggested) {
  SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  ui_.Relayout();
  FitToScale();
}

std::optional<LRESULT> MainWindow::OnOtherMessage(UINT message, WPARAM wparam, LPARAM /*lparam*/) {
  // Windows gives an activated window the focus itself; the control that had it gets it back.
  if (message == WM_ACTIVATE && LOWORD(wparam) == WA_INACTIVE) {
    const HWND focus = GetFocus();
    if (focus != nullptr && IsChild(Handle(), focus)) focus_ = focus;
  } else if (message == WM_SETFOCUS && focus_ != nullptr && IsWindow(focus_)) {
    SetFocus(focus_);
    return 0;
  }
  return std::nullopt;
}

void MainWindow::ShowGridMenu() {
  TrackPopupMenuEx(grid_menu_.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON,
                   grid_menu_position_.x, grid_menu_position_.y, Handle(), nullptr);
}

void MainWindow::AbortTransfers() { services_.AbortTransfers(); }

void MainWindow::FlushFrames() {
  ui_.lblStatus.Flush();
  ui_.MSFlexGrid.Flush();
}

void MainWindow::SetInputEnabled(bool enabled) { EnableWindow(Handle(), enabled ? TRUE : FALSE); }

void MainWindow::CloseNow() {
  if (Handle() != nullptr) DestroyWindow(Handle());
}

std::string MainWindow::SubmitCaption() const { return ui_.cmdSubmit.Text(); }

void MainWindow::SetSubmitCaption(const std::string& caption) { ui_.cmdSubmit.SetText(caption); }

void MainWindow::SetListSaveEnabled(bool enabled) { ui_.cmdListSave.SetEnabled(enabled); }

void MainWindow::SetStatus(const std::string& text) { ui_.lblStatus.SetStatus(text); }

std::string MainWindow::MaxCountText() const { return ui_.cboMaxCount.Text(); }

bool MainWindow::TypeTicked(int type_index) const {
  if (type_index < 0 || type_index >= collect::kTypeBoxes) return false;
  return ui_.chkSEngines[static_cast<std::size_t>(type_index)].Checked();
}

std::string MainWindow::TypeCaption(int type_index) const {
  if (type_index < 0 || type_index >= collect::kTypeBoxes) return {};
  return ui_.chkSEngines[static_cast<std::size_t>(type_index)].Text();
}

std::string MainWindow::SaveFolderText() const { return ui_.txtReportPath.Text(); }

void MainWindow::SetSaveFolderText(const std::string& text) { ui_.txtReportPath.SetText(text); }

}  // namespace trawlbox::app::win32
