#pragma once

#include <QCloseEvent>
#include <QMainWindow>
#include <QPoint>
#include <string>

#include "app/main_window_dependencies.h"
#include "app/main_window_logic.h"
#include "app/qt/frame_pacer.h"
#include "app/qt/main_window_controls.h"
#include "collect/site_roots.h"
#include "platform/clipboard.h"
#include "platform/folder_chooser.h"
#include "platform/http/file_download.h"
#include "platform/http/hsts.h"
#include "platform/http/page_transfer.h"
#include "platform/message_box.h"
#include "platform/program_location.h"
#include "platform/qt/curl_multi_loop.h"
#include "platform/qt/qt_clipboard.h"
#include "platform/qt/qt_event_yield.h"
#include "platform/qt/qt_folder_chooser.h"
#include "platform/qt/qt_message_box.h"
#include "platform/qt/qt_program_location.h"
#include "platform/qt/qt_sleeper.h"
#include "platform/qt/qt_text_decoder.h"
#include "platform/qt/qt_url_opener.h"
#include "platform/sleeper.h"
#include "platform/url_opener.h"
#include "results/result_grid.h"
#include "results/window_state.h"

namespace trawlbox::app::qt {

// The program's one window in Qt: the controls and the Qt services around the window's logic
// (MainWindowLogic), which owns the state, the grid and the handlers. Closing it ends the program.
// Widgets are found by their object names (see MainWindowControls). libcurl must be set up (a live
// CurlLibrary) for as long as the window lives.
class MainWindow : public QMainWindow, public MainWindowView {
  Q_OBJECT

 public:
  explicit MainWindow(MainWindowDependencies deps = {});
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  [[nodiscard]] std::string ProgramFolder() const { return logic_.ProgramFolder(); }
  [[nodiscard]] bool MaximumReached() const { return logic_.MaximumReached(); }

  // For tests to check what the handlers did.
  [[nodiscard]] const results::ResultGrid& Grid() const { return logic_.Grid(); }
  [[nodiscard]] const results::WindowState& State() const { return logic_.State(); }

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
  void SetInputEnabled(bool enabled) override;
  void CloseNow() override;

 protected:
  // See MainWindowLogic::CloseRequested: during an operation the window stays on screen, taking
  // no input, until the operation has unwound.
  void closeEvent(QCloseEvent* event) override;

 private:
  void ConnectHandlers();

  platform::QtSleeper own_sleeper_;
  platform::QtMessageBox own_messages_;
  platform::QtFolderChooser own_chooser_;
  platform::QtUrlOpener own_opener_;
  platform::QtClipboard own_clipboard_;
  platform::QtProgramLocation own_location_;
  platform::Sleeper& sleeper_;
  platform::MessageBox& messages_;
  platform::FolderChooser& chooser_;
  platform::UrlOpener& opener_;
  platform::Clipboard& clipboard_;
  platform::ProgramLocation& location_;
  platform::QtEventYield yield_;
  // The page fetches and the downloads share its connections for as long as the window lives.
  platform::CurlMultiLoop http_loop_;
  // What https answers taught of their hosts, for the page fetches and the downloads alike, for as
  // long as the program runs.
  platform::HstsStore hsts_;
  platform::QtTextDecoder decoder_;
  platform::PageTransfer transfer_;
  platform::FileDownload downloader_;

  MainWindowLogic logic_;
  MainWindowControls ui_;
  FramePacer pacer_;
  // Where the pointer was when a mouse button came up over the grid: the menu pops up there.
  QPoint grid_menu_position_;
};

}  // namespace trawlbox::app::qt
