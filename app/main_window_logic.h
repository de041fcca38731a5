#pragma once

#include <string>

#include "collect/collection_window.h"
#include "collect/collector.h"
#include "collect/site_roots.h"
#include "platform/clipboard.h"
#include "platform/event_yield.h"
#include "platform/file_downloader.h"
#include "platform/folder_chooser.h"
#include "platform/http_transfer.h"
#include "platform/message_box.h"
#include "platform/program_location.h"
#include "platform/sleeper.h"
#include "platform/url_opener.h"
#include "results/list_commands.h"
#include "results/result_grid.h"
#include "results/window_state.h"
#include "save/download_walk.h"
#include "save/save_window.h"

namespace trawlbox::app {

// What the window's logic asks of the window on screen, beyond the controls a run and a save read
// and write.
class MainWindowView : public collect::CollectionWindow, public save::SaveWindow {
 public:
  // Pops the grid's menu ("開く", "コピー", "行削除", "全て消去") up at the pointer.
  virtual void ShowGridMenu() = 0;
  // Ends the page fetch and the download in flight at once, each as a failed one, and refuses
  // every later one: the window is closing.
  virtual void AbortTransfers() = 0;
  // False while an operation unwinds after a close request: the window takes no more input.
  virtual void SetInputEnabled(bool enabled) = 0;
  // Closes the window for good, which ends the program.
  virtual void CloseNow() = 0;
};

// The services the handlers use; each must outlive the logic.
struct MainWindowServices {
  platform::HttpTransfer& transfer;
  platform::FileDownloader& downloader;
  platform::EventYield& yield;
  platform::Sleeper& sleeper;
  platform::MessageBox& messages;
  platform::FolderChooser& chooser;
  platform::UrlOpener& opener;
  platform::Clipboard& clipboard;
  const platform::ProgramLocation& location;
};

// The main window's state, its grid and its handlers, written once for every toolkit: each window
// turns its controls' events into these calls and shows what they change. A collection run and a
// download walk yield to the window's events at fixed places, so a handler may run nested inside
// another; a close request in the middle of one tells it to end and closes the window once the
// outermost handler has returned, so nothing of the operation is left to touch it.
class MainWindowLogic {
 public:
  // `view` and the services must outlive the logic.
  MainWindowLogic(MainWindowView& view, MainWindowServices services,
                  collect::SiteRootPair site_roots);
  MainWindowLogic(const MainWindowLogic&) = delete;
  MainWindowLogic& operator=(const MainWindowLogic&) = delete;

  // The window has been built: the site roots, the start-up save folder and the grid's headings
  // and column widths are set.
  void Form_Load();

  void cmdSubmit_Click();
  void cmdListSave_Click();
  void cmdBrowse_Click();
  // A mouse button came up over the grid: the right one pops its menu up over a row with an entry.
  void MSFlexGrid_MouseUp(bool right_button);
  // A double click on the grid opens the current row's entry.
  void MSFlexGrid_DblClick();
  void mnuOpen_Click();
  void mnuCopy_Click();
  void mnuRemove_Click();
  void mnuClear_Click();

  // The user or the system asks the window to close. True when it may close now; false while an
  // operation runs: the operation is told to end (stop flag, closing flag, transfers aborted), the
  // window takes no more input, and it closes once the operation's handler has returned.
  [[nodiscard]] bool CloseRequested();

  // The folder that holds the program's executable file, ending in exactly one separator (a root
  // keeps its own). Asked afresh on every call.
  [[nodiscard]] std::string ProgramFolder() const;
  // True when the maximum box holds a number that the collected count has reached.
  [[nodiscard]] bool MaximumReached() const;

  [[nodiscard]] results::ResultGrid& Grid() { return grid_; }
  [[nodiscard]] const results::ResultGrid& Grid() const { return grid_; }
  [[nodiscard]] const results::WindowState& State() const { return state_; }

 private:
  class BusyScope;

  MainWindowView& view_;
  MainWindowServices services_;
  const collect::SiteRootPair site_roots_;
  results::WindowState state_;
  results::ResultGrid grid_;
  collect::Collector collector_;
  save::DownloadWalk walk_;
  results::ListCommands list_commands_;
  // How many handlers that run an operation are on the call stack.
  int busy_depth_ = 0;
};

}  // namespace trawlbox::app
