#pragma once

#include <QCloseEvent>
#include <QMainWindow>
#include <QPoint>
#include <string>

#include "app/main_window_dependencies.h"
#include "app/main_window_logic.h"
#include "app/qt/main_window_controls.h"
#include "app/qt/paint_pacer.h"
#include "app/window_services.h"
#include "collect/site_roots.h"
#include "platform/qt/curl_multi_loop.h"
#include "platform/qt/qt_event_yield.h"
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
  // Shows at once what the frames hold back of the window's painting and the grid's selection.
  void FlushFrames();

  platform::QtEventYield yield_;
  // The page fetches and the downloads share its connections for as long as the window lives.
  platform::CurlMultiLoop http_loop_;
  WindowServices services_;

  MainWindowLogic logic_;
  MainWindowControls ui_;
  PaintPacer pacer_;
  // Where the pointer was when a mouse button came up over the grid: the menu pops up there.
  QPoint grid_menu_position_;
};

}  // namespace trawlbox::app::qt
