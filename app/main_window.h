#pragma once

#include <QCloseEvent>
#include <QMainWindow>
#include <QPoint>
#include <string>

#include "app/frame_pacer.h"
#include "app/main_window_controls.h"
#include "collect/collection_window.h"
#include "collect/collector.h"
#include "collect/site_roots.h"
#include "collect/window_state.h"
#include "platform/clipboard.h"
#include "platform/folder_chooser.h"
#include "platform/message_box.h"
#include "platform/program_location.h"
#include "platform/qt/curl_file_downloader.h"
#include "platform/qt/curl_http_transfer.h"
#include "platform/qt/curl_multi_loop.h"
#include "platform/qt/qt_clipboard.h"
#include "platform/qt/qt_event_yield.h"
#include "platform/qt/qt_folder_chooser.h"
#include "platform/qt/qt_message_box.h"
#include "platform/qt/qt_program_location.h"
#include "platform/qt/qt_sleeper.h"
#include "platform/qt/qt_url_opener.h"
#include "platform/sleeper.h"
#include "platform/url_opener.h"
#include "results/list_commands.h"
#include "results/result_grid.h"
#include "save/download_walk.h"
#include "save/save_window.h"

namespace trawlbox::app {

// What the window is built with. The defaults give the program: the real code-base sites and the
// Qt services. Tests replace any of them; an injected service must outlive the window.
struct MainWindowDependencies {
  collect::SiteRootPair site_roots;
  // Each service left null is the window's own Qt service.
  platform::Sleeper* sleeper = nullptr;
  platform::MessageBox* messages = nullptr;
  platform::FolderChooser* chooser = nullptr;
  platform::UrlOpener* opener = nullptr;
  platform::Clipboard* clipboard = nullptr;
  platform::ProgramLocation* location = nullptr;
  platform::HttpTransferLimits transfer_limits;
  platform::DownloadLimits download_limits;
};

// The program's one window: the controls, the window state, the result grid and the handlers
// that run the collection, the download, the save-folder browse and the list commands. Closing it
// ends the program. Widgets are found by their object names (see MainWindowControls). libcurl must
// be set up (a live CurlLibrary) for as long as the window lives.
class MainWindow : public QMainWindow, public collect::CollectionWindow, public save::SaveWindow {
  Q_OBJECT

 public:
  explicit MainWindow(MainWindowDependencies deps = {});
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // The folder that holds the program's executable file, ending in exactly one separator (a root
  // that already ends in one is returned unchanged). Asked afresh on every call.
  [[nodiscard]] std::string ProgramFolder() const;
  // True when the maximum box holds a number that the collected count has reached.
  [[nodiscard]] bool MaximumReached() const;

  // For tests to check what the handlers did.
  [[nodiscard]] const results::ResultGrid& Grid() const { return grid_; }
  [[nodiscard]] const collect::WindowState& State() const { return state_; }

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

 protected:
  // While a collection or a download runs inside a handler, closing tells the operation to end
  // (stop flag, closing flag, transfers aborted) and disables the window; the window closes, and
  // the program ends, once that handler has returned.
  void closeEvent(QCloseEvent* event) override;

 private:
  class BusyScope;

  void ConnectHandlers();
  void Form_Load();
  void cmdSubmit_Click();
  void cmdListSave_Click();
  void cmdBrowse_Click();
  void mnuEnd_Click();
  void MSFlexGrid_MouseUp(Qt::MouseButton button, QPoint global_position);
  void MSFlexGrid_DblClick();
  void mnuOpen_Click();
  void mnuCopy_Click();
  void mnuRemove_Click();
  void mnuClear_Click();

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
  platform::CurlHttpTransfer transfer_;
  platform::CurlFileDownloader downloader_;

  const collect::SiteRootPair site_roots_;
  collect::WindowState state_;
  results::ResultGrid grid_;
  MainWindowControls ui_;
  FramePacer pacer_;
  collect::Collector collector_;
  save::DownloadWalk walk_;
  results::ListCommands list_commands_;
  // How many handlers that run an operation are on the call stack.
  int busy_depth_ = 0;
};

}  // namespace trawlbox::app
